#include "fbkit/fblock/device_base.h"

#include <algorithm>

#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/implicit_filter.h"
#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/fkt_ids_codec.h"
#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"

namespace {

const CZvTraceScopeDef kTraceCtor("framework_comm_most_CZvDeviceBase", "CZvDeviceBase");
const CZvTraceScopeDef kTraceProcess("framework_comm_most_CZvDeviceBase", "processMOSTMessage");
const CZvTraceScopeDef kTraceSend("framework_comm_most_CZvDeviceBase", "sendMessage");
const CZvTraceScopeDef kTraceNotification("framework_comm_most_CZvDeviceBase", "readNotification");
const CZvTraceScopeDef kTraceNetOff("framework_comm_most_CZvDeviceBase", "netOff");

constexpr uint8_t kOpSet = 0;
constexpr uint8_t kOpGet = 1;
constexpr uint8_t kOpErrorAck = 9;
constexpr uint8_t kOpStatus = 12;
constexpr uint8_t kOpError = 15;

constexpr uint8_t kErrFktNotAvailable = 0x03;
constexpr uint8_t kErrOpTypeNotAvailable = 0x04;
constexpr uint8_t kErrInvalidLength = 0x05;
constexpr uint8_t kErrParamWrong = 0x06;
constexpr uint8_t kErrParamNotAvailable = 0x07;
constexpr uint8_t kErrNoFunction = 0x08;
constexpr uint8_t kErrFuncSpecific = 0x20;

bool isAckOpType(uint8_t op) { return op == 6 || op == 7 || op == 8 || op == 10 || op == 13; }
bool isMethodAckCommand(uint8_t op) { return op == 6 || op == 7 || op == 8; }
bool isTransmissionFailure(int32_t ti) { return ti >= 4 && ti <= 9; }

uint32_t makeRouting(uint16_t deviceID, uint16_t clientID) {
  return static_cast<uint32_t>(deviceID) | (static_cast<uint32_t>(clientID) << 16);
}
uint16_t deviceOf(uint32_t routing) { return static_cast<uint16_t>(routing & 0xFFFF); }
uint16_t clientOf(uint32_t routing) { return static_cast<uint16_t>(routing >> 16); }

// The payload's bytes from its start, whatever was read of it before.
const uint8_t* payloadBytes(const CZvMOSTMessageData& m) { return ZvMOSTMessageView::payload(m).getData(); }
uint32_t payloadSize(const CZvMOSTMessageData& m) { return ZvMOSTMessageView::payload(m).getSize(); }

uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The sender handle at the start of an acknowledged command's payload.
bool senderHandleOf(const CZvMOSTMessageData& m, uint16_t* handle) {
  if (payloadSize(m) < 2) return false;
  *handle = be16(payloadBytes(m));
  return true;
}

CZvByteStream bytesOf(std::initializer_list<uint8_t> bytes) {
  CZvByteStream s;
  for (uint8_t b : bytes) s.writeU8(b);
  return s;
}

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
  return getReturnAdressId(deviceOf(routingAddress), clientOf(routingAddress));
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

// ---- answers ---------------------------------------------------------------

uint32_t CZvDeviceBase::requesterOf(const CZvMOSTMessageData& message) {
  return makeRouting(ZvMOSTMessageView::senderDeviceID(message),
                     clientOf(ZvMOSTMessageView::routingAddress(message)));
}

void CZvDeviceBase::answerTo(uint32_t requester, uint32_t returnAddress, uint16_t fktID,
                             uint8_t opType, const CZvByteStream& payload) {
  DSYSMOSTTypes::MessageType msg;
  msg.header.targetAddress = deviceOf(requester);
  msg.header.sourceAddress = getOwnDeviceId();
  msg.header.fblockID = mFBlockID;
  msg.header.instID = mInstID;
  msg.header.functionID = fktID;
  msg.header.opType = opType;
  msg.header.routingAddress = returnAddress;
  msg.data = CZvBuffer(payload.getData(), payload.getSize());
  mClient->requestServerProcessMessage(msg, false);
}

void CZvDeviceBase::answer(const CZvMOSTMessageData& message, uint8_t opType,
                           const CZvByteStream& payload) {
  const uint32_t requester = requesterOf(message);
  answerTo(requester, getReturnAdressId(requester), ZvMOSTMessageView::functionID(message), opType,
           payload);
}

void CZvDeviceBase::sendOpTypeNotAvailable(CZvMOSTMessageData& message) {
  const uint8_t op = ZvMOSTMessageView::opType(message);
  if (isMethodAckCommand(op)) {
    uint16_t handle = 0xFFFF;
    senderHandleOf(message, &handle);
    answer(message, kOpErrorAck,
           bytesOf({static_cast<uint8_t>(handle >> 8), static_cast<uint8_t>(handle),
                    kErrOpTypeNotAvailable, op}));
  } else {
    answer(message, kOpError, bytesOf({kErrOpTypeNotAvailable, op}));
  }
}

void CZvDeviceBase::sendFktNotAvailable(CZvMOSTMessageData& message, bool withSenderHandle) {
  if (isTransmissionFailure(ZvMOSTMessageView::transmissionInfo(message)) || mReceivedAsBroadcast) {
    return;
  }
  const uint8_t op = ZvMOSTMessageView::opType(message);
  if (withSenderHandle && isAckOpType(op)) {
    uint16_t handle = 0xFFFF;
    if (!senderHandleOf(message, &handle)) {
      CZvTraceScope(kTraceProcess).sendFormattedWarning("error reading  senderhandle from most data");
    }
    answer(message, kOpErrorAck,
           bytesOf({static_cast<uint8_t>(handle >> 8), static_cast<uint8_t>(handle),
                    kErrFktNotAvailable}));
  } else {
    answer(message, kOpError, bytesOf({kErrFktNotAvailable}));
  }
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

std::vector<uint16_t> CZvDeviceBase::reportedFunctionIDs() const {
  std::set<uint16_t> ids;
  for (const auto& entry : mFunctions) ids.insert(entry.first);
  if (!mBlockNotification) {
    ids.insert(kNotification);
    ids.insert(kNotificationCheck);
  }
  if (mVersionEnabled) ids.insert(kVersion);
  std::vector<uint16_t> result;
  for (uint16_t id : ids) {
    if (id >= 0xF00 || isUnwanted(id)) continue;
    result.push_back(id);
  }
  return result;
}

void CZvDeviceBase::readFktIDs(CZvMOSTMessageData& message) {
  const uint8_t op = ZvMOSTMessageView::opType(message);
  if (op == kOpGet && payloadSize(message) == 0) {
    const std::vector<uint8_t> bytes = ZvFktIDs::encode(reportedFunctionIDs());
    CZvByteStream payload(bytes.data(), static_cast<uint32_t>(bytes.size()));
    answer(message, kOpStatus, payload);  // a Status even for a broadcast
  } else if (!mReceivedAsBroadcast) {
    if (op == kOpGet) {
      answer(message, kOpError, bytesOf({kErrInvalidLength}));
    } else {
      sendOpTypeNotAvailable(message);
    }
  }
  mReceivedAsBroadcast = false;
}

void CZvDeviceBase::readNotificationCheck(CZvMOSTMessageData& message) {
  const uint8_t op = ZvMOSTMessageView::opType(message);
  if (op == kOpGet && payloadSize(message) == 2) {
    const uint16_t deviceID = be16(payloadBytes(message));
    CZvByteStream payload;
    payload.writeU16BE(deviceID);
    for (const auto& entry : mFunctions) {
      if (entry.second != nullptr && entry.second->isInNotificationMatrix(deviceID)) {
        payload.writeU16BE(entry.first);
      }
    }
    const uint32_t requester = requesterOf(message);
    answerTo(requester,
             getReturnAdressId(deviceOf(requester),
                               clientOf(ZvMOSTMessageView::routingAddress(message))),
             kNotificationCheck, kOpStatus, payload);
  } else if (!mReceivedAsBroadcast) {
    if (op == kOpGet) {
      answer(message, kOpError, bytesOf({kErrInvalidLength}));
    } else {
      sendOpTypeNotAvailable(message);
    }
  }
  mReceivedAsBroadcast = false;
}

void CZvDeviceBase::readVersion(CZvMOSTMessageData& message) {
  const uint8_t op = ZvMOSTMessageView::opType(message);
  if (op == kOpGet && payloadSize(message) == 0) {
    const uint8_t* v = mVersionOverride[0] != 0 ? mVersionOverride : mVersion;
    answer(message, kOpStatus, bytesOf({v[0], v[1], v[2]}));
  } else if (!mReceivedAsBroadcast) {
    if (op == kOpGet) {
      answer(message, kOpError, bytesOf({kErrInvalidLength}));
    } else {
      sendOpTypeNotAvailable(message);
    }
  }
  mReceivedAsBroadcast = false;
}

void CZvDeviceBase::readNotification(CZvMOSTMessageData& message) {
  const CZvTraceScope trace(kTraceNotification);
  const uint8_t op = ZvMOSTMessageView::opType(message);
  const uint8_t* p = payloadBytes(message);
  const uint32_t size = payloadSize(message);
  const bool mayAnswerError = !mReceivedAsBroadcast;
  const uint16_t clientPart = clientOf(ZvMOSTMessageView::routingAddress(message));

  if (op == kOpGet) {
    if (size != 2) {
      if (mayAnswerError) answer(message, kOpError, bytesOf({kErrInvalidLength}));
    } else {
      const uint16_t fktID = be16(p);
      CZvFunctionBase* function = getFunction(fktID);
      if (function != nullptr && isUnwanted(fktID)) {
        // Unwanted functions are not notified: nothing to say.
      } else if (function == nullptr || !function->isNotifiable()) {
        if (mayAnswerError) {
          answer(message, kOpError,
                 bytesOf({kErrParamNotAvailable, 0x01, p[0], p[1]}));
        }
      } else {
        function->setReceivedAsBroadcast(mReceivedAsBroadcast);
        if (!function->readNotificationGet(requesterOf(message))) {
          trace.sendFormattedWarning("error processing readNotificationGet");
        }
      }
    }
  } else if (op == kOpSet) {
    if (size < 3) {
      if (mayAnswerError) answer(message, kOpError, bytesOf({kErrInvalidLength}));
    } else {
      const uint8_t control = p[0];
      const uint32_t listener = makeRouting(be16(p + 1), clientPart);
      if (control == 0 || control == 2) {
        bool reached = false;
        for (auto& entry : mFunctions) {
          CZvFunctionBase* f = entry.second;
          if (f == nullptr || !f->isNotifiable() || isUnwanted(entry.first)) continue;
          if (control == 0 && entry.first >= 0xF00) continue;
          f->setReceivedAsBroadcast(mReceivedAsBroadcast);
          if (f->readNotification(control, listener)) {
            reached = true;
          } else {
            trace.sendFormattedWarning("error processing readNotification of function 0x%03X",
                                       entry.first);
          }
        }
        if (!reached && mayAnswerError) {
          answer(message, kOpError, bytesOf({kErrFuncSpecific, 0x20}));
        }
      } else if (control == 1 || control == 3) {
        CZvByteStream error;
        bool failed = false;
        uint32_t pos = 3;
        for (int i = 0; i < 4; ++i) {
          const uint32_t left = size - pos;
          if (left == 0) {
            if (i == 0) {
              error.writeU8(kErrNoFunction);
              failed = true;
            }
            break;
          }
          if (left == 1) {
            error.writeU8(kErrInvalidLength);
            failed = true;
            break;
          }
          const uint16_t fktID = be16(p + pos);
          pos += 2;
          CZvFunctionBase* f = getFunction(fktID);
          if (f != nullptr && !isUnwanted(fktID) && f->isNotifiable()) {
            f->setReceivedAsBroadcast(mReceivedAsBroadcast);
            if (!f->readNotification(control, listener)) {
              trace.sendFormattedWarning("error processing readNotification on function");
            }
          } else {
            if (error.isEmpty()) {
              error.writeU8(kErrFuncSpecific);
              error.writeU8(0x10);
            }
            error.writeU16BE(fktID);
            failed = true;
          }
        }
        if (failed && mayAnswerError) answer(message, kOpError, error);
      } else if (mayAnswerError) {
        answer(message, kOpError, bytesOf({kErrParamWrong, 0x01, control}));
      }
    }
  } else if (mayAnswerError) {
    sendOpTypeNotAvailable(message);
  }
  mReceivedAsBroadcast = false;
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
