// The FBlock-wide standard functions that every device answers itself
// (FktIDs, Notification, NotificationCheck, Version), the MOST errors for
// unknown functions and OPTypes, and how answers reach the requester.
#include <initializer_list>
#include <set>

#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/client/most_types.h"
#include "fbkit/fblock/device_base.h"
#include "fbkit/fblock/fkt_ids_codec.h"
#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_trace.h"

namespace {

const CZvTraceScopeDef kTraceUnknown("framework_comm_most_CZvDeviceBase", "sendFktNotAvailable");
const CZvTraceScopeDef kTraceNotification("framework_comm_most_CZvDeviceBase", "readNotification");

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

// StartResultAck, AbortAck and StartAck carry a sender handle first.
bool isMethodAckCommand(uint8_t op) { return op == 6 || op == 7 || op == 8; }
bool isTransmissionFailure(int32_t ti) { return ti >= 4 && ti <= 9; }

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

uint32_t CZvDeviceBase::requesterOf(const CZvMOSTMessageData& message) {
  return ZvMOSTTypes::createRoutingAddress(ZvMOSTMessageView::senderDeviceID(message),
                     ZvMOSTTypes::getMostClientId(ZvMOSTMessageView::routingAddress(message)));
}

void CZvDeviceBase::answerTo(uint32_t requester, uint32_t returnAddress, uint16_t fktID,
                             uint8_t opType, const CZvByteStream& payload) {
  DSYSMOSTTypes::MessageType msg;
  msg.header.targetAddress = ZvMOSTTypes::getDeviceId(requester);
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
  if (withSenderHandle && ZvMOSTTypes::isAckOptype(op)) {
    uint16_t handle = 0xFFFF;
    if (!senderHandleOf(message, &handle)) {
      CZvTraceScope(kTraceUnknown).sendFormattedWarning("error reading  senderhandle from most data");
    }
    answer(message, kOpErrorAck,
           bytesOf({static_cast<uint8_t>(handle >> 8), static_cast<uint8_t>(handle),
                    kErrFktNotAvailable}));
  } else {
    answer(message, kOpError, bytesOf({kErrFktNotAvailable}));
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
             getReturnAdressId(ZvMOSTTypes::getDeviceId(requester),
                               ZvMOSTTypes::getMostClientId(ZvMOSTMessageView::routingAddress(message))),
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
  const uint16_t clientPart = ZvMOSTTypes::getMostClientId(ZvMOSTMessageView::routingAddress(message));

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
      const uint32_t listener = ZvMOSTTypes::createRoutingAddress(be16(p + 1), clientPart);
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
