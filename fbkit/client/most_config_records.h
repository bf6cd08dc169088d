// Configuration records of FBlock-side and controller-side functions. Equal
// records are shared between functions by the per-thread configuration
// manager, which keeps their use counts.
#ifndef FBKIT_CLIENT_MOST_CONFIG_RECORDS_H
#define FBKIT_CLIENT_MOST_CONFIG_RECORDS_H

#include <cstdint>
#include <tuple>

// Record of an FBlock-side function: how a failed report is repeated.
class CZvFunctionBaseConfig {
 public:
  CZvFunctionBaseConfig() = default;
  CZvFunctionBaseConfig(uint32_t timeout, int32_t tryMax)
      : transmissionTimeout(timeout), transmissionTryMax(tryMax) {}
  CZvFunctionBaseConfig(const CZvFunctionBaseConfig&) = default;
  CZvFunctionBaseConfig& operator=(const CZvFunctionBaseConfig&) = default;
  virtual ~CZvFunctionBaseConfig() = default;

  bool operator==(const CZvFunctionBaseConfig& o) const {
    return transmissionTimeout == o.transmissionTimeout &&
           transmissionTryMax == o.transmissionTryMax;
  }
  bool operator!=(const CZvFunctionBaseConfig& o) const { return !(*this == o); }
  bool operator<(const CZvFunctionBaseConfig& o) const {
    return std::tie(transmissionTimeout, transmissionTryMax) <
           std::tie(o.transmissionTimeout, o.transmissionTryMax);
  }

  uint32_t transmissionTimeout = 0;
  int32_t transmissionTryMax = 0;
  int32_t useCount = 0;  // maintained by CZvMOSTConfigManager
};

// The 35 values of a controller-side record, in their fixed order:
// X(type, name).
#define ZV_LOGFUNC_CONFIG_FIELDS(X)                                              \
  X(uint32_t, notificationTimeout) X(int32_t, notificationTryMax)                \
  X(uint32_t, statusTimeout) X(uint32_t, resultTimeout)                          \
  X(uint32_t, busyTimeout) X(int32_t, busyTryMax)                                \
  X(uint32_t, notAvailableTimeout) X(int32_t, notAvailableTryMax)                \
  X(uint32_t, processingErrorTimeout) X(int32_t, processingErrorTryMax)          \
  X(uint32_t, paramNotAvailableTimeout) X(int32_t, paramNotAvailableTryMax)      \
  X(uint32_t, paramWrongTimeout) X(int32_t, paramWrongTryMax)                    \
  X(uint32_t, transmissionTimeout) X(int32_t, transmissionTryMax)                \
  X(uint32_t, processingTimeout) X(uint32_t, processing2Timeout)                 \
  X(uint32_t, getTimeout) X(int32_t, getTryMax)                                  \
  X(uint32_t, opTypeTimeout) X(int32_t, opTypeTryMax)                            \
  X(uint32_t, lengthTimeout) X(int32_t, lengthTryMax)                            \
  X(uint32_t, segmentationTimeout) X(int32_t, segmentationTryMax)                \
  X(uint32_t, highProtocolTimeout) X(int32_t, highProtocolTryMax)                \
  X(uint32_t, fktIdNotAvailableTimeout) X(int32_t, fktIdNotAvailableTryMax)      \
  X(uint32_t, funcSpecificTimeout) X(int32_t, funcSpecificTryMax)                \
  X(uint32_t, abortTimeout) X(int32_t, abortTryMax) X(int32_t, resultTryMax)

// Record of a controller-side function: time-outs and try maximums of every
// supervised case.
class CZvLogFuncBaseConfig {
#define ZV_REF(type, name) name,
  auto tied() const { return std::tie(ZV_LOGFUNC_CONFIG_FIELDS(ZV_REF) useCountless_); }
#undef ZV_REF
  // Terminator of the tie list; always equal, so the use count never takes
  // part in comparisons.
  static constexpr int useCountless_ = 0;

 public:
#define ZV_FIELD(type, name) type name = 0;
  ZV_LOGFUNC_CONFIG_FIELDS(ZV_FIELD)
#undef ZV_FIELD
  int32_t useCount = 0;  // maintained by CZvMOSTConfigManager

  CZvLogFuncBaseConfig() = default;
#define ZV_PARAM(type, name) type name##_,
  // The 35 values in field order (the trailing dummy closes the list).
  CZvLogFuncBaseConfig(ZV_LOGFUNC_CONFIG_FIELDS(ZV_PARAM) int /*unused*/ = 0);
#undef ZV_PARAM
  CZvLogFuncBaseConfig(const CZvLogFuncBaseConfig&) = default;
  CZvLogFuncBaseConfig& operator=(const CZvLogFuncBaseConfig&) = default;
  virtual ~CZvLogFuncBaseConfig() = default;

  bool operator==(const CZvLogFuncBaseConfig& o) const { return tied() == o.tied(); }
  bool operator!=(const CZvLogFuncBaseConfig& o) const { return !(*this == o); }
  // Compares the values one after another in field order.
  bool operator<(const CZvLogFuncBaseConfig& o) const { return tied() < o.tied(); }

};

#endif  // FBKIT_CLIENT_MOST_CONFIG_RECORDS_H
