#include "fbkit/client/most_config.h"

#include <atomic>

namespace ZvMOSTTypes {

bool isSendProcessingEnabled(eAutoProcessingMode mode) {
  return mode == AUTO_PROCESSING_SEND || mode == AUTO_PROCESSING_SEND_AND_CHECK;
}

bool isCheckProcessingEnabled(eAutoProcessingMode mode) {
  return mode == AUTO_PROCESSING_CHECK || mode == AUTO_PROCESSING_SEND_AND_CHECK;
}

}  // namespace ZvMOSTTypes

CZvMOSTConfig::~CZvMOSTConfig() = default;

uint32_t CZvMOSTConfig::getNotificationTimeOut() const { return DEFAULT_NOTIFICATION_TIMEOUT; }
int32_t CZvMOSTConfig::getNotificationTryMax() const { return DEFAULT_NOTIFICATION_TRYMAX; }
uint32_t CZvMOSTConfig::getStatusRequiredTimeOut() const { return DEFAULT_STATUS_REQUIRED_TIMEOUT; }
uint32_t CZvMOSTConfig::getResultRequiredTimeOut() const { return DEFAULT_RESULT_REQUIRED_TIMEOUT; }
uint32_t CZvMOSTConfig::getProcessingTimeOut() const { return 100; }
uint32_t CZvMOSTConfig::getProcessing2TimeOut() const { return DEFAULT_PROCESSING_2_TIMEOUT; }
uint32_t CZvMOSTConfig::getSendProcessingTimeOut() const { return 90; }
uint32_t CZvMOSTConfig::getSendProcessing2TimeOut() const { return DEFAULT_SEND_PROCESSING_2_TIMEOUT; }
int32_t CZvMOSTConfig::getInstAnyHandling() const { return 0; }
uint32_t CZvMOSTConfig::getBusyTimeOut() const { return DEFAULT_GET_BUSY_TIMEOUT; }
int32_t CZvMOSTConfig::getBusyTryMax() const { return DEFAULT_GET_BUSY_TRYMAX; }
uint32_t CZvMOSTConfig::getNotAvailableTimeOut() const { return DEFAULT_NOT_AVAILABLE_TIMEOUT; }
int32_t CZvMOSTConfig::getNotAvailableTryMax() const { return DEFAULT_NOT_AVAILABLE_TRY_MAX; }
uint32_t CZvMOSTConfig::getProcessingErrorTimeOut() const { return DEFAULT_PROCESSING_ERROR_TIMEOUT; }
int32_t CZvMOSTConfig::getProcessingErrorTryMax() const { return DEFAULT_PROCESSING_ERROR_TRYMAX; }
uint32_t CZvMOSTConfig::getParamNotAvailableTimeOut() const {
  return DEFAULT_PARAM_NOT_AVAILABLE_TIMEOUT;
}
int32_t CZvMOSTConfig::getParamNotAvailableTryMax() const {
  return DEFAULT_PARAM_NOT_AVAILABLE_TRYMAX;
}
uint32_t CZvMOSTConfig::getParamWrongTimeOut() const { return DEFAULT_PARAM_WRONG_TIMEOUT; }
int32_t CZvMOSTConfig::getParamWrongTryMax() const { return DEFAULT_PARAM_WRONG_TRYMAX; }
uint32_t CZvMOSTConfig::getTransmissionTimeOut() const {
  return DEFAULT_TRANSMISSION_CONTROL_TIMEOUT;
}
int32_t CZvMOSTConfig::getTransmissionTryMax() const { return DEFAULT_TRANSMISSION_CONTROL_TRYMAX; }
uint32_t CZvMOSTConfig::getGetTimeOut() const { return DEFAULT_GET_TIMEOUT; }
int32_t CZvMOSTConfig::getGetTryMax() const { return DEFAULT_GET_TRYMAX; }
bool CZvMOSTConfig::getSendMessageToUnconnectedLogdev() const { return false; }
int32_t CZvMOSTConfig::getParameterHandling() const { return 0; }
bool CZvMOSTConfig::destroyInternalArrayWindowsOnNetOff() const { return true; }
bool CZvMOSTConfig::activateDeviceOnIncomingMessage() const { return true; }
uint32_t CZvMOSTConfig::getOPtypeTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getOPtypeTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getLengthTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getLengthTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getSegmentationTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getSegmentationTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getFktIdNotAvailableTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getFktIdNotAvailableTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getFuncSpecificTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getFuncSpecificTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getAbortTimeOut() const { return 0; }
int32_t CZvMOSTConfig::getAbortTryMax() const { return 0; }
int32_t CZvMOSTConfig::getResultTryMax() const { return 0; }
uint32_t CZvMOSTConfig::getWaitForAbort() const { return 0; }
int32_t CZvMOSTConfig::getMOSTSpecVersion() const { return 1; }

ZvMOSTTypes::eAutoProcessingMode CZvMOSTConfig::getAutoProcessingMode() const {
  return ZvMOSTTypes::AUTO_PROCESSING_NONE;
}

bool CZvMOSTConfig::isUnwantedFunktion(uint8_t /*fblockID*/, uint16_t /*functionID*/) const {
  return false;
}

CZvMOSTPrjConfig::~CZvMOSTPrjConfig() = default;

uint32_t CZvMOSTPrjConfig::getNotificationTimeOut() const { return 2500; }
int32_t CZvMOSTPrjConfig::getNotificationTryMax() const { return 3; }
uint32_t CZvMOSTPrjConfig::getProcessingTimeOut() const { return 1000; }
uint32_t CZvMOSTPrjConfig::getSendProcessingTimeOut() const { return 100; }
int32_t CZvMOSTPrjConfig::getInstAnyHandling() const { return 1; }
uint32_t CZvMOSTPrjConfig::getBusyTimeOut() const { return 200; }
int32_t CZvMOSTPrjConfig::getBusyTryMax() const { return 3; }
int32_t CZvMOSTPrjConfig::getMOSTSpecVersion() const { return 0; }

uint32_t CZvMOSTPrjConfig::getNotificationTimeOut() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getNotificationTimeOut();
}
int32_t CZvMOSTPrjConfig::getNotificationTryMax() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getNotificationTryMax();
}
uint32_t CZvMOSTPrjConfig::getProcessingTimeOut() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getProcessingTimeOut();
}
uint32_t CZvMOSTPrjConfig::getSendProcessingTimeOut() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getSendProcessingTimeOut();
}
uint32_t CZvMOSTPrjConfig::getBusyTimeOut() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getBusyTimeOut();
}
int32_t CZvMOSTPrjConfig::getBusyTryMax() {
  return static_cast<const CZvMOSTPrjConfig*>(this)->getBusyTryMax();
}

namespace ZvSystemConfig {
namespace {

std::atomic<const CZvMOSTConfig*> sInstalledConfig{nullptr};

// Constructed on first use so that objects built during static
// initialisation of other files can already ask for it.
const CZvMOSTConfig& builtInConfig() {
  static const CZvMOSTPrjConfig sBuiltInConfig;
  return sBuiltInConfig;
}

// Creates the configuration while the library loads, before any thread of
// the framework runs.
[[maybe_unused]] const CZvMOSTConfig& sLoadTimeConfig = builtInConfig();

}  // namespace

const CZvMOSTConfig& getMOSTConfig() {
  const CZvMOSTConfig* installed = sInstalledConfig.load(std::memory_order_acquire);
  return installed ? *installed : builtInConfig();
}

void setMOSTConfig(const CZvMOSTConfig* config) {
  sInstalledConfig.store(config, std::memory_order_release);
}

}  // namespace ZvSystemConfig
