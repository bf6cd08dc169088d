#include "fbkit/fblock/device_base.h"

#include <algorithm>

#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/implicit_filter.h"
#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/client/most_types.h"
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"

namespace {

const CZvTraceScopeDef kTraceCtor("framework_comm_most_CZvDeviceBase", "CZvDeviceBase");
const CZvTraceScopeDef kTraceProcess("framework_comm_most_CZvDeviceBase", "processMOSTMessage");
const CZvTraceScopeDef kTraceSend("framework_comm_most_CZvDeviceBase", "sendMessage");
const CZvTraceScopeDef kTraceNetOff("framework_comm_most_CZvDeviceBase", "netOff");

}  // namespace

CZvDeviceBase::CZvDeviceBase(uint8_t fblockID, uint8_t instID, IZvDeviceInfoConsumer* listener,
                             CZvMOSTClientImpl* client, bool noAutoRegistration)
    : mFBlockID(fblockID),
      mInstID(instID),
      mNoAutoRegistration(noAutoRegistration),
      mClient(client != nullptr ? client : CZvMOSTClientImpl::getRealMOSTClientImpl()) {
  CZvTraceScope(kTraceCtor).sendFormattedMessage("Creating device %04X", getFBlockKey());
  if (listener != nullptr) registerBaseListener(listener);
  if (!ZvSystemConfig::getMOSTConfig().activateDeviceOnIncomingMessage()) {
    mActivateOnIncomingMessage = false;
  }
}

CZvDeviceBase::~CZvDeviceBase() {
  // The application owns the functions and may keep them beyond the device.
  for (auto& entry : mFunctions) {
    if (entry.second != nullptr && entry.second->getDevice() == this) entry.second->setDevice(nullptr);
  }
}

void CZvDeviceBase::removeFunction(CZvFunctionBase* function) {
  for (auto it = mFunctions.begin(); it != mFunctions.end();) {
    it = it->second == function ? mFunctions.erase(it) : std::next(it);
  }
}

// ---- functions ---------------------------------------------------------

void CZvDeviceBase::addFunction(CZvFunctionBase* function) {
  if (function == nullptr) {
    doCheapAssert(__LINE__, "CZvDeviceBase");
    return;
  }
  function->setDevice(this);
  mFunctions[function->getFunctionID()] = function;
  if (function->isNotifiable() && function->hasImplicitListeners()) notifyMostCommunicationState();
}

void CZvDeviceBase::reassign(uint16_t oldFktID, CZvFunctionBase* function) {
  auto it = mFunctions.find(oldFktID);
  if (it != mFunctions.end() && it->second == function) mFunctions.erase(it);
  if (function != nullptr) mFunctions[function->getFunctionID()] = function;
}

CZvFunctionBase* CZvDeviceBase::getFunction(uint16_t fktID) const { return lookup(mFunctions, fktID); }

bool CZvDeviceBase::getFunctionMaturity(uint16_t fktID,
                                        ZvMOSTTypes::eFunctionMaturity& maturity) const {
  CZvFunctionBase* f = getFunction(fktID);
  if (f == nullptr) return false;
  maturity = f->getMaturity();
  return true;
}

bool CZvDeviceBase::isUnwanted(uint16_t fktID) const {
  return ZvSystemConfig::getMOSTConfig().isUnwantedFunktion(mFBlockID, fktID);
}

// ---- listeners ---------------------------------------------------------

void CZvDeviceBase::registerBaseListener(IZvDeviceInfoConsumer* listener) {
  if (listener == nullptr) return;
  if (!mBaseListeners.insert(listener).second) {
    doCheapAssert(106, "CZvDeviceBase");
    return;
  }
  if (isActive()) {
    CZvDeviceInfoEvent::sendTo(listener, CZvDeviceInfoData(CZvDeviceInfoData::REASON_DEVICE_ACTIVATED,
                                                           getFBlockKey(), 0, 0, 0xFFFF));
  } else if (mBaseListeners.size() == 1 && !mNoAutoRegistration) {
    sendRegistration(true);
  }
}

void CZvDeviceBase::releaseDevice(IZvDeviceInfoConsumer* listener) {
  if (mBaseListeners.erase(listener) == 0) return;
  if (mBaseListeners.empty()) sendRegistration(false);
}

void CZvDeviceBase::addGroupObserver(IZvDeviceInfoConsumer* consumer) {
  for (auto& entry : mFunctions) {
    if (entry.second != nullptr) entry.second->addObserver(consumer);
  }
}

void CZvDeviceBase::deleteGroupObserver(IZvDeviceInfoConsumer* consumer) {
  for (auto& entry : mFunctions) {
    if (entry.second != nullptr) entry.second->deleteObserver(consumer);
  }
}

void CZvDeviceBase::notifyBaseListeners(const CZvDeviceInfoData& data) const {
  for (IZvDeviceInfoConsumer* listener : mBaseListeners) CZvDeviceInfoEvent::sendTo(listener, data);
}

// ---- registration and activation ----------------------------------------

bool CZvDeviceBase::sendRegistration(bool doRegister) {
  if (getFBlockKey() == 0xFFFF) return false;  // the catch-all is never registered
  bool acts = false;
  if (doRegister) {
    acts = mState == STATE_UNREGISTERED || mState == STATE_DEREGISTRATION_REQUESTED ||
           (mState == STATE_ACTIVE && mImplicitlyActivated);
  } else {
    acts = mState == STATE_ACTIVE;
  }
  if (!acts) return false;
  mClient->sendRegistration(getFBlockKey(), doRegister, mName);
  mState = doRegister ? STATE_REGISTRATION_REQUESTED : STATE_DEREGISTRATION_REQUESTED;
  mImplicitlyActivated = false;
  return true;
}

bool CZvDeviceBase::requestChangeInstId(uint8_t newInstID) {
  if (isActive() && !sendRegistration(false)) return false;
  mClient->getDeviceAdmin().changeFBlockKey(getFBlockKey(), newInstID);
  return sendRegistration(true);
}

void CZvDeviceBase::changeFBlockKey(uint8_t newInstID) {
  notifyBaseListeners(CZvDeviceInfoData(CZvDeviceInfoData::REASON_FBLOCKKEY_CHANGED,
                                        static_cast<uint16_t>((mFBlockID << 8) | newInstID), 0, 0,
                                        0xFFFF));
  mInstID = newInstID;
}

void CZvDeviceBase::activate() {
  if (isActive()) return;
  notifyBaseListeners(CZvDeviceInfoData(CZvDeviceInfoData::REASON_DEVICE_ACTIVATED, getFBlockKey(),
                                        0, 0, 0xFFFF));
  mState = STATE_ACTIVE;
  // Mother arrays announce their complete long array information once the
  // FBlock is reachable; that function belongs to the application's device.
}

void CZvDeviceBase::deactivate() {
  for (auto& entry : mMotherArrays) {
    if (entry.second != nullptr) entry.second->reset();
  }
  for (auto& entry : mFunctions) {
    CZvFunctionBase* f = entry.second;
    if (f == nullptr) continue;
    f->reset();
    f->resetTimers();
    f->clearListeners();
  }
  notifyBaseListeners(CZvDeviceInfoData(CZvDeviceInfoData::REASON_DEVICE_DEACTIVATED,
                                        getFBlockKey(), 0, 0, 0xFFFF));
  mState = STATE_UNREGISTERED;
}

void CZvDeviceBase::onMostCommunicationState(int32_t state) {
  if (state != 1) return;
  for (auto& entry : mFunctions) {
    if (entry.second != nullptr && entry.second->isNotifiable()) {
      entry.second->sendAutoStatusToImplicit();
    }
  }
}

void CZvDeviceBase::notifyMostCommunicationState() {
  mClient->notifyOn(0xC0000000u, true);
}

void CZvDeviceBase::setVersion(uint8_t major, uint8_t minor, uint8_t build) {
  mVersion[0] = major;
  mVersion[1] = minor;
  mVersion[2] = build;
}

void CZvDeviceBase::setVersionOverride(uint8_t major, uint8_t minor, uint8_t build) {
  mVersionOverride[0] = major;
  mVersionOverride[1] = minor;
  mVersionOverride[2] = build;
}

// ---- client forwarding ----------------------------------------------------

uint16_t CZvDeviceBase::getOwnDeviceId() const { return mClient->getOwnDeviceID(); }
uint32_t CZvDeviceBase::getMostClientId() const { return mClient->getClientID(); }

uint32_t CZvDeviceBase::getReturnAdressId(uint32_t routingAddress) const {
  return getReturnAdressId(ZvMOSTTypes::getDeviceId(routingAddress),
                           ZvMOSTTypes::getMostClientId(routingAddress));
}

uint32_t CZvDeviceBase::getReturnAdressId(uint16_t deviceID, uint32_t clientID) const {
  return DSYSMOSTTypes::isExtMostAddress(deviceID) ? getMostClientId() : clientID;
}

bool CZvDeviceBase::isAutoSendProcessing() const {
  return ZvMOSTTypes::isSendProcessingEnabled(ZvSystemConfig::getMOSTConfig().getAutoProcessingMode()) ||
         ZvMOSTTypes::isSendProcessingEnabled(mAutoProcessingMode);
}

bool CZvDeviceBase::isMsgBundlingActive() const { return mClient->isBatchMode(); }
bool CZvDeviceBase::isCommunicationOk() const { return mClient->isCommunicationOk(); }
void CZvDeviceBase::flushMOSTMessages() { mClient->flushMOSTMessages(); }
void CZvDeviceBase::startMOSTMessages() { mClient->startMOSTMessages(); }

void CZvDeviceBase::clearAllPropertyNotifications(uint32_t routingAddress) {
  for (auto& entry : mFunctions) {
    if (entry.second != nullptr && entry.second->isNotifiable()) {
      entry.second->clearListener(routingAddress);
    }
  }
}

void CZvDeviceBase::sendMessage(uint16_t targetDeviceID, uint8_t opType, uint16_t fktID,
                                int32_t txControl, int32_t transmissionType,
                                const CZvByteStream& payload, uint32_t clientID) {
  DSYSMOSTTypes::MessageType msg;
  msg.transmissionType = static_cast<DSYSMOSTTypes::eTransmissionType>(transmissionType);
  msg.transmissionVariant.setTXControl(static_cast<DSYSMOSTTypes::eTransmissionTXControl>(txControl));
  msg.header.targetAddress = targetDeviceID;
  msg.header.sourceAddress = getOwnDeviceId();
  msg.header.fblockID = mFBlockID;
  msg.header.instID = mInstID;
  msg.header.functionID = fktID;
  msg.header.opType = opType;
  msg.header.routingAddress = getReturnAdressId(targetDeviceID, clientID);
  msg.data = CZvBuffer(payload.getData(), payload.getSize());
  mClient->requestServerProcessMessage(msg, false);
  CZvTraceScope(kTraceSend).sendFormattedMessage("message is send to device: 0x%x for function: 0x%x",
                                                  targetDeviceID, fktID);
}

void CZvDeviceBase::processMOSTMessage(CZvMOSTMessageData& message) {
  if (mActivateOnIncomingMessage && !isActive()) {
    activate();
    mImplicitlyActivated = true;
  }
  const uint16_t fktID = ZvMOSTMessageView::functionID(message);
  CZvTraceScope(kTraceProcess).sendFormattedMessage("process message for function: 0x%x ", fktID);
  if (isUnwanted(fktID)) {
    sendFktNotAvailable(message, false);
    return;
  }
  switch (fktID) {
    case kFktIDs:
      if (mFunctions.count(kFktIDs) != 0) {
        doCheapAssert(244, "CZvDeviceBase");
        mFunctions.erase(kFktIDs);
      }
      readFktIDs(message);
      return;
    case kNotification:
      if (!mBlockNotification) {
        readNotification(message);
        return;
      }
      break;
    case kNotificationCheck:
      if (!mBlockNotification) {
        readNotificationCheck(message);
        return;
      }
      break;
    case kVersion:
      if (mVersionEnabled) {
        readVersion(message);
        return;
      }
      break;
    default:
      break;
  }
  CZvFunctionBase* function = getFunction(fktID);
  if (function == nullptr) {
    sendFktNotAvailable(message, true);
    return;
  }
  function->setInstAnyReceived(mInstAnyReceived);
  function->setReceivedAsBroadcast(mReceivedAsBroadcast);
  if (!function->readFromMessage(message, requesterOf(message))) {
    CZvTraceScope(kTraceProcess)
        .sendFormattedWarning("error processing readFromMessage on function: 0x%x", fktID);
  }
}

// ---- net-off ---------------------------------------------------------------

void CZvDeviceBase::netOff(int32_t request, uint16_t devCtrl, uint16_t devID) {
  const CZvTraceScope trace(kTraceNetOff);
  const bool external = request == 1;
  if (external) {
    trace.sendFormattedMessage("  CZvDeviceBase netoff external: fblockkey 0x%04X deviceID %X ",
                               getFBlockKey(), getOwnDeviceId());
  } else {
    trace.sendFormattedMessage(
        "  CZvDeviceBase netoff internal: fblockkey 0x%04X deviceID %X (logdev: devCtrl 0x%04X devID %X) ",
        getFBlockKey(), getOwnDeviceId(), devCtrl, devID);
  }
  for (auto& entry : mMotherArrays) {
    trace.sendFormattedMessage("  CZvDeviceBase netoff cleanup motherarray-funcId: 0x%04X",
                               entry.first);
    if (entry.second != nullptr) entry.second->netOff(request, devCtrl, devID);
  }
  for (auto& entry : mMotherDataChannels) {
    if (entry.second != nullptr) entry.second->netOff(request, devCtrl, devID);
  }
  for (auto& entry : mFunctions) {
    if (entry.second == nullptr) continue;
    entry.second->netOff(request, devCtrl, devID);
    entry.second->resetTimers();
  }
  if (external) CZvMOSTImplicitFilter::clear(getFBlockKey());
  mClient->responseCleanUp();
  CZvDeviceInfoData data(CZvDeviceInfoData::REASON_NETOFF, getFBlockKey(), 0, 0, 0xFFFF);
  data.detail = static_cast<uint32_t>(request);
  notifyBaseListeners(data);
}
