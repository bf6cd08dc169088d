#include "fbkit/client/most_config_manager.h"

#include "fbkit/client/most_config.h"

namespace {

thread_local CZvMOSTConfigManager* tCurrentManager = nullptr;

const CZvMOSTConfig& mostConfig() { return ZvSystemConfig::getMOSTConfig(); }

}  // namespace

CZvMOSTConfigManager* CZvMOSTConfigManager::getCurrent() {
  if (tCurrentManager == nullptr) tCurrentManager = new CZvMOSTConfigManager();
  return tCurrentManager;
}

CZvMOSTConfigManager* CZvMOSTConfigManager::peekCurrent() { return tCurrentManager; }

CZvMOSTConfigManager::~CZvMOSTConfigManager() {
  for (auto* record : functionConfigs_) delete record;
  for (auto* record : logFuncConfigs_) delete record;
  if (tCurrentManager == this) tCurrentManager = nullptr;
}

const CZvFunctionBaseConfig* CZvMOSTConfigManager::createFunctionConfig(uint32_t timeout,
                                                                        int32_t tryMax) {
  CZvFunctionBaseConfig key(timeout, tryMax);
  auto it = functionConfigs_.find(&key);
  CZvFunctionBaseConfig* record = nullptr;
  if (it != functionConfigs_.end()) {
    record = *it;
  } else {
    record = new CZvFunctionBaseConfig(timeout, tryMax);
    functionConfigs_.insert(record);
  }
  ++record->useCount;
  return record;
}

const CZvLogFuncBaseConfig* CZvMOSTConfigManager::createConfig(
    const CZvLogFuncBaseConfig& values) {
  CZvLogFuncBaseConfig key(values);
  auto it = logFuncConfigs_.find(&key);
  CZvLogFuncBaseConfig* record = nullptr;
  if (it != logFuncConfigs_.end()) {
    record = *it;
  } else {
    record = new CZvLogFuncBaseConfig(values);
    record->useCount = 0;
    logFuncConfigs_.insert(record);
  }
  ++record->useCount;
  return record;
}

const CZvFunctionBaseConfig* CZvMOSTConfigManager::getDefaultDevicePropertyConfig() {
  const CZvMOSTConfig& c = mostConfig();
  return createFunctionConfig(c.getTransmissionTimeOut(), c.getTransmissionTryMax());
}

const CZvFunctionBaseConfig* CZvMOSTConfigManager::getDefaultDeviceMethodConfig(bool) {
  return getDefaultDevicePropertyConfig();
}

const CZvLogFuncBaseConfig* CZvMOSTConfigManager::getDefaultPropertyConfig() {
  const CZvMOSTConfig& c = mostConfig();
  CZvLogFuncBaseConfig v;
  v.notificationTimeout = c.getNotificationTimeOut();
  v.notificationTryMax = c.getNotificationTryMax();
  v.statusTimeout = c.getStatusRequiredTimeOut();
  v.resultTimeout = c.getResultRequiredTimeOut();
  v.busyTimeout = c.getBusyTimeOut();
  v.busyTryMax = c.getBusyTryMax();
  v.notAvailableTimeout = c.getNotAvailableTimeOut();
  v.notAvailableTryMax = c.getNotAvailableTryMax();
  v.processingErrorTimeout = c.getProcessingErrorTimeOut();
  v.processingErrorTryMax = c.getProcessingErrorTryMax();
  v.paramNotAvailableTimeout = c.getParamNotAvailableTimeOut();
  v.paramNotAvailableTryMax = c.getParamNotAvailableTryMax();
  v.paramWrongTimeout = c.getParamWrongTimeOut();
  v.paramWrongTryMax = c.getParamWrongTryMax();
  v.transmissionTimeout = c.getTransmissionTimeOut();
  v.transmissionTryMax = c.getTransmissionTryMax();
  v.getTimeout = c.getGetTimeOut();
  v.getTryMax = c.getGetTryMax();
  v.opTypeTimeout = c.getOPtypeTimeOut();
  v.opTypeTryMax = c.getOPtypeTryMax();
  v.lengthTimeout = c.getLengthTimeOut();
  v.lengthTryMax = c.getLengthTryMax();
  v.segmentationTimeout = c.getSegmentationTimeOut();
  v.segmentationTryMax = c.getSegmentationTryMax();
  v.fktIdNotAvailableTimeout = c.getFktIdNotAvailableTimeOut();
  v.fktIdNotAvailableTryMax = c.getFktIdNotAvailableTryMax();
  v.funcSpecificTimeout = c.getFuncSpecificTimeOut();
  v.funcSpecificTryMax = c.getFuncSpecificTryMax();
  // processing, processing2, high protocol, abort and result retries stay 0:
  // a property has none of them.
  return createConfig(v);
}

const CZvLogFuncBaseConfig* CZvMOSTConfigManager::getDefaultMethodConfig(bool withParamRetry) {
  const CZvMOSTConfig& c = mostConfig();
  const CZvLogFuncBaseConfig* property = getDefaultPropertyConfig();
  CZvLogFuncBaseConfig v(*property);
  // The property record only served as a template; give its user back.
  dropLogFuncUser(property);
  v.processingTimeout = c.getProcessingTimeOut();
  v.processing2Timeout = c.getProcessing2TimeOut();
  v.abortTimeout = c.getAbortTimeOut();
  v.abortTryMax = c.getAbortTryMax();
  v.resultTryMax = c.getResultTryMax();
  if (!withParamRetry) {
    v.paramNotAvailableTimeout = 0;
    v.paramNotAvailableTryMax = 0;
    v.paramWrongTimeout = 0;
    v.paramWrongTryMax = 0;
    v.processingTimeout = 0;
    v.processing2Timeout = 0;
  }
  return createConfig(v);
}

bool CZvMOSTConfigManager::dropFunctionUser(const CZvFunctionBaseConfig* record) {
  if (record == nullptr) return false;
  auto it = functionConfigs_.find(const_cast<CZvFunctionBaseConfig*>(record));
  if (it == functionConfigs_.end() || *it != record) return false;  // not ours
  if (--(*it)->useCount <= 0) {
    delete *it;
    functionConfigs_.erase(it);
  }
  return true;
}

bool CZvMOSTConfigManager::dropLogFuncUser(const CZvLogFuncBaseConfig* record) {
  if (record == nullptr) return false;
  auto it = logFuncConfigs_.find(const_cast<CZvLogFuncBaseConfig*>(record));
  if (it == logFuncConfigs_.end() || *it != record) return false;  // not ours
  if (--(*it)->useCount <= 0) {
    CZvLogFuncBaseConfig* doomed = *it;
    logFuncConfigs_.erase(it);
    delete doomed;
  }
  return true;
}

void CZvMOSTConfigManager::deleteSelfWhenEmpty() {
  if (functionConfigs_.empty() && logFuncConfigs_.empty()) delete this;
}

void CZvMOSTConfigManager::replaceFunctionConfig(const CZvFunctionBaseConfig& values,
                                                 const CZvFunctionBaseConfig*& record) {
  // values may be the very record that is about to be dropped.
  const CZvFunctionBaseConfig copy(values);
  dropFunctionUser(record);
  record = createFunctionConfig(copy.transmissionTimeout, copy.transmissionTryMax);
}

void CZvMOSTConfigManager::replacConfig(const CZvLogFuncBaseConfig& values,
                                        const CZvLogFuncBaseConfig*& record) {
  const CZvLogFuncBaseConfig copy(values);
  dropLogFuncUser(record);
  record = createConfig(copy);
}

void CZvMOSTConfigManager::releaseFunctionConfig(const CZvFunctionBaseConfig* record) {
  dropFunctionUser(record);
  deleteSelfWhenEmpty();
}

void CZvMOSTConfigManager::releaseConfig(const CZvLogFuncBaseConfig* record) {
  dropLogFuncUser(record);
  deleteSelfWhenEmpty();
}

void CZvMOSTConfigManager::setDeviceTransmissionErrorTimeout(
    const CZvFunctionBaseConfig*& record, uint32_t value) {
  if (record == nullptr || record->transmissionTimeout == value) return;
  CZvFunctionBaseConfig changed(*record);
  changed.transmissionTimeout = value;
  replaceFunctionConfig(changed, record);
}

void CZvMOSTConfigManager::setLogFuncTimeout(const CZvLogFuncBaseConfig*& record,
                                             uint32_t CZvLogFuncBaseConfig::*field,
                                             uint32_t value) {
  if (record == nullptr || record->*field == value) return;
  CZvLogFuncBaseConfig changed(*record);
  changed.*field = value;
  replacConfig(changed, record);
}

#define ZV_TIMEOUT_SETTER(setter, field)                                                \
  void CZvMOSTConfigManager::setter(const CZvLogFuncBaseConfig*& record, uint32_t value) { \
    setLogFuncTimeout(record, &CZvLogFuncBaseConfig::field, value);                     \
  }
ZV_TIMEOUT_SETTER(setNotificationTimeout, notificationTimeout)
ZV_TIMEOUT_SETTER(setStatusTimeout, statusTimeout)
ZV_TIMEOUT_SETTER(setResultTimeout, resultTimeout)
ZV_TIMEOUT_SETTER(setBusyTimeout, busyTimeout)
ZV_TIMEOUT_SETTER(setNotAvailableTimeout, notAvailableTimeout)
ZV_TIMEOUT_SETTER(setProcessingErrorTimeout, processingErrorTimeout)
ZV_TIMEOUT_SETTER(setParamNotAvailableTimeout, paramNotAvailableTimeout)
ZV_TIMEOUT_SETTER(setParamWrongTimeout, paramWrongTimeout)
ZV_TIMEOUT_SETTER(setTransmissionErrorTimeout, transmissionTimeout)
ZV_TIMEOUT_SETTER(setGetTimeout, getTimeout)
ZV_TIMEOUT_SETTER(setOpTypeTimeout, opTypeTimeout)
ZV_TIMEOUT_SETTER(setLengthTimeout, lengthTimeout)
ZV_TIMEOUT_SETTER(setSegmentationTimeout, segmentationTimeout)
ZV_TIMEOUT_SETTER(setHighProtocolTimeout, highProtocolTimeout)
ZV_TIMEOUT_SETTER(setFktIdNotAvailableTimeout, fktIdNotAvailableTimeout)
ZV_TIMEOUT_SETTER(setFuncSpecificTimeout, funcSpecificTimeout)
ZV_TIMEOUT_SETTER(setAbortTimeout, abortTimeout)
#undef ZV_TIMEOUT_SETTER
