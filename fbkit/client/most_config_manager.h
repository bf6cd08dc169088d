// Per-thread store of shared function configuration records. Functions with
// equal settings share one record; the manager counts its users and deletes
// it with the last one. When no record of either kind is left the manager
// deletes itself, and the next getCurrent() on the thread makes a new one.
#ifndef FBKIT_CLIENT_MOST_CONFIG_MANAGER_H
#define FBKIT_CLIENT_MOST_CONFIG_MANAGER_H

#include <cstddef>
#include <cstdint>
#include <set>

#include "fbkit/client/most_config_records.h"

class CZvMOSTConfigManager {
 public:
  // The calling thread's manager, created on first use.
  static CZvMOSTConfigManager* getCurrent();
  // The calling thread's manager or null, without creating one.
  static CZvMOSTConfigManager* peekCurrent();

  // Shared record equal to the values; each call adds one user.
  const CZvFunctionBaseConfig* createFunctionConfig(uint32_t timeout, int32_t tryMax);
  const CZvLogFuncBaseConfig* createConfig(const CZvLogFuncBaseConfig& values);

  const CZvFunctionBaseConfig* getDefaultDevicePropertyConfig();
  const CZvFunctionBaseConfig* getDefaultDeviceMethodConfig(bool flag);
  const CZvLogFuncBaseConfig* getDefaultPropertyConfig();
  const CZvLogFuncBaseConfig* getDefaultMethodConfig(bool withParamRetry);

  // Drop one user of *record and point it at the shared record equal to values.
  void replaceFunctionConfig(const CZvFunctionBaseConfig& values,
                             const CZvFunctionBaseConfig*& record);
  void replacConfig(const CZvLogFuncBaseConfig& values, const CZvLogFuncBaseConfig*& record);

  // Drop one user; may delete the record and then the manager itself, so the
  // caller must not touch the manager afterwards.
  void releaseFunctionConfig(const CZvFunctionBaseConfig* record);
  void releaseConfig(const CZvLogFuncBaseConfig* record);

  // FBlock-side record: its transmission (error) time-out.
  void setDeviceTransmissionErrorTimeout(const CZvFunctionBaseConfig*& record, uint32_t value);
  // Controller-side records: one time-out each. An unchanged value keeps the record.
  void setNotificationTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setStatusTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setResultTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setBusyTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setNotAvailableTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setProcessingErrorTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setParamNotAvailableTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setParamWrongTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setTransmissionErrorTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setGetTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setOpTypeTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setLengthTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setSegmentationTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setHighProtocolTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setFktIdNotAvailableTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setFuncSpecificTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);
  void setAbortTimeout(const CZvLogFuncBaseConfig*& record, uint32_t value);

  size_t functionConfigCount() const { return functionConfigs_.size(); }
  size_t logFuncConfigCount() const { return logFuncConfigs_.size(); }

  CZvMOSTConfigManager(const CZvMOSTConfigManager&) = delete;
  CZvMOSTConfigManager& operator=(const CZvMOSTConfigManager&) = delete;

 private:
  CZvMOSTConfigManager() = default;
  ~CZvMOSTConfigManager();

  template <typename Record>
  struct DerefLess {
    bool operator()(const Record* a, const Record* b) const { return *a < *b; }
  };

  // Both return true when the record was the last of either kind and the
  // manager has deleted itself.
  bool dropFunctionUser(const CZvFunctionBaseConfig* record);
  bool dropLogFuncUser(const CZvLogFuncBaseConfig* record);
  void deleteSelfWhenEmpty();
  void setLogFuncTimeout(const CZvLogFuncBaseConfig*& record,
                         uint32_t CZvLogFuncBaseConfig::*field, uint32_t value);

  std::set<CZvFunctionBaseConfig*, DerefLess<CZvFunctionBaseConfig>> functionConfigs_;
  std::set<CZvLogFuncBaseConfig*, DerefLess<CZvLogFuncBaseConfig>> logFuncConfigs_;
};

#endif  // FBKIT_CLIENT_MOST_CONFIG_MANAGER_H
