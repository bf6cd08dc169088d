// Process-wide MOST configuration: every time-out, retry count and
// behaviour switch of the framework, with compiled-in defaults in
// CZvMOSTConfig and the project's overrides in CZvMOSTPrjConfig.
#ifndef FBKIT_CLIENT_MOST_CONFIG_H
#define FBKIT_CLIENT_MOST_CONFIG_H

#include <cstdint>
#include <vector>

class CZvMOSTErrorHandler;

namespace ZvMOSTTypes {

// Who takes care of Processing reports. The FBlock side can send them by
// itself, the controller side can supervise them, or both.
enum eAutoProcessingMode {
  AUTO_PROCESSING_NONE = 0,
  AUTO_PROCESSING_SEND = 1,
  AUTO_PROCESSING_CHECK = 2,
  AUTO_PROCESSING_SEND_AND_CHECK = 3,
};

// True when the FBlock side sends Processing reports by itself (1 and 3).
bool isSendProcessingEnabled(eAutoProcessingMode mode);
// True when the controller side supervises Processing reports (2 and 3).
bool isCheckProcessingEnabled(eAutoProcessingMode mode);

}  // namespace ZvMOSTTypes

// Times are milliseconds. A try maximum of 0 or a time-out of 0 switches the
// retry for that case off. The virtual operations keep a fixed order because
// applications derive their own configurations from these classes.
class CZvMOSTConfig {
 public:
  static constexpr uint32_t DEFAULT_NOTIFICATION_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_NOTIFICATION_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_STATUS_REQUIRED_TIMEOUT = 5000;
  static constexpr uint32_t DEFAULT_RESULT_REQUIRED_TIMEOUT = 10000;
  static constexpr uint32_t DEFAULT_PROCESSING_2_TIMEOUT = 100;
  static constexpr uint32_t DEFAULT_SEND_PROCESSING_2_TIMEOUT = 90;
  static constexpr uint32_t DEFAULT_GET_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_GET_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_GET_BUSY_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_GET_BUSY_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_ABORT_TIMEOUT = 1000;
  static constexpr uint32_t DEFAULT_NOT_AVAILABLE_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_NOT_AVAILABLE_TRY_MAX = 4;
  static constexpr uint32_t DEFAULT_PROCESSING_ERROR_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_PROCESSING_ERROR_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_PARAM_NOT_AVAILABLE_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_PARAM_NOT_AVAILABLE_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_PARAM_WRONG_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_PARAM_WRONG_TRYMAX = 4;
  static constexpr uint32_t DEFAULT_TRANSMISSION_CONTROL_TIMEOUT = 1000;
  static constexpr int32_t DEFAULT_TRANSMISSION_CONTROL_TRYMAX = 4;

  CZvMOSTConfig() = default;
  virtual ~CZvMOSTConfig();

  virtual uint32_t getNotificationTimeOut() const;
  virtual int32_t getNotificationTryMax() const;
  virtual uint32_t getStatusRequiredTimeOut() const;
  virtual uint32_t getResultRequiredTimeOut() const;
  virtual uint32_t getProcessingTimeOut() const;
  virtual uint32_t getProcessing2TimeOut() const;
  virtual uint32_t getSendProcessingTimeOut() const;
  virtual uint32_t getSendProcessing2TimeOut() const;
  // 1: a command to instance ID 0 reaches every instance of the FBlock.
  virtual int32_t getInstAnyHandling() const;
  virtual uint32_t getBusyTimeOut() const;
  virtual int32_t getBusyTryMax() const;
  virtual uint32_t getNotAvailableTimeOut() const;
  virtual int32_t getNotAvailableTryMax() const;
  virtual uint32_t getProcessingErrorTimeOut() const;
  virtual int32_t getProcessingErrorTryMax() const;
  virtual uint32_t getParamNotAvailableTimeOut() const;
  virtual int32_t getParamNotAvailableTryMax() const;
  virtual uint32_t getParamWrongTimeOut() const;
  virtual int32_t getParamWrongTryMax() const;
  virtual uint32_t getTransmissionTimeOut() const;
  virtual int32_t getTransmissionTryMax() const;
  virtual uint32_t getGetTimeOut() const;
  virtual int32_t getGetTryMax() const;
  virtual bool getSendMessageToUnconnectedLogdev() const;
  // 0: a parameter read from a message also becomes its value for sending.
  virtual int32_t getParameterHandling() const;
  virtual bool destroyInternalArrayWindowsOnNetOff() const;
  virtual bool activateDeviceOnIncomingMessage() const;
  virtual uint32_t getOPtypeTimeOut() const;
  virtual int32_t getOPtypeTryMax() const;
  virtual uint32_t getLengthTimeOut() const;
  virtual int32_t getLengthTryMax() const;
  virtual uint32_t getSegmentationTimeOut() const;
  virtual int32_t getSegmentationTryMax() const;
  virtual uint32_t getFktIdNotAvailableTimeOut() const;
  virtual int32_t getFktIdNotAvailableTryMax() const;
  virtual uint32_t getFuncSpecificTimeOut() const;
  virtual int32_t getFuncSpecificTryMax() const;
  virtual uint32_t getAbortTimeOut() const;
  virtual int32_t getAbortTryMax() const;
  virtual int32_t getResultTryMax() const;
  virtual uint32_t getWaitForAbort() const;
  virtual int32_t getMOSTSpecVersion() const;
  virtual ZvMOSTTypes::eAutoProcessingMode getAutoProcessingMode() const;
  // Functions an FBlock neither answers nor notifies.
  virtual bool isUnwantedFunktion(uint8_t fblockID, uint16_t functionID) const;

  // Error handlers that see every report routed to the controller side, in
  // registration order (defined in most_error_handler.cpp). The list is
  // process-wide; it owns the handlers still registered at process end.
  void addErrorHandler(CZvMOSTErrorHandler* handler) const;
  void removeErrorHandler(CZvMOSTErrorHandler* handler) const;
  std::vector<CZvMOSTErrorHandler*> getErrorHandlers() const;

 private:
  CZvMOSTConfig(const CZvMOSTConfig&) = delete;
  CZvMOSTConfig& operator=(const CZvMOSTConfig&) = delete;
};

// The configuration the process runs with: the base defaults with the
// project's notification, processing and busy settings.
class CZvMOSTPrjConfig : public CZvMOSTConfig {
 public:
  CZvMOSTPrjConfig() = default;
  ~CZvMOSTPrjConfig() override;

  uint32_t getNotificationTimeOut() const override;
  int32_t getNotificationTryMax() const override;
  uint32_t getProcessingTimeOut() const override;
  uint32_t getSendProcessingTimeOut() const override;
  int32_t getInstAnyHandling() const override;
  uint32_t getBusyTimeOut() const override;
  int32_t getBusyTryMax() const override;
  int32_t getMOSTSpecVersion() const override;

  // Non-const forms of the overridden time-outs and try maximums; they
  // answer the same values as the const ones.
  virtual uint32_t getNotificationTimeOut();
  virtual int32_t getNotificationTryMax();
  virtual uint32_t getProcessingTimeOut();
  virtual uint32_t getSendProcessingTimeOut();
  virtual uint32_t getBusyTimeOut();
  virtual int32_t getBusyTryMax();
};

namespace ZvSystemConfig {

// The process-wide configuration: the installed one, else the built-in
// CZvMOSTPrjConfig.
const CZvMOSTConfig& getMOSTConfig();

// Installs an application's own configuration (not owned; it must outlive
// its use), or restores the built-in one when given null. Meant for start-up
// before any framework thread runs, and for tests.
void setMOSTConfig(const CZvMOSTConfig* config);

}  // namespace ZvSystemConfig

#endif  // FBKIT_CLIENT_MOST_CONFIG_H
