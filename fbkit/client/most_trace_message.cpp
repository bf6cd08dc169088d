#include "fbkit/client/most_trace_message.h"

#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_trace.h"

using namespace DSYSMOSTTypes;

namespace {

CZvTraceScopeDef gSpy("sys_most_mss_MOSTSpy", "");

MessageType makeMessage(uint16_t target, uint16_t source, uint8_t fblockID, uint8_t instID,
                        uint16_t functionID, uint8_t opType, uint32_t routingAddress,
                        const CZvBuffer& data, eTransmissionType type,
                        const tTransmissionVariant& variant) {
  MessageType m;
  m.transmissionType = type;
  m.transmissionVariant = variant;
  m.header.targetAddress = target;
  m.header.sourceAddress = source;
  m.header.fblockID = fblockID;
  m.header.instID = instID;
  m.header.functionID = functionID;
  m.header.opType = opType;
  m.header.routingAddress = routingAddress;
  m.data = data;
  return m;
}

uint16_t fblockKeyOf(const MessageHeaderType& h) {
  return static_cast<uint16_t>((h.fblockID << 8) | h.instID);
}

}  // namespace

CGMOSTMessage::CGMOSTMessage(uint16_t target, uint16_t source, uint8_t fblockID, uint8_t instID,
                             uint16_t functionID, uint8_t opType, uint32_t routingAddress,
                             const CZvBuffer& data, eTransmissionType type,
                             eTransmissionTXControl txControl)
    : mMessage(makeMessage(target, source, fblockID, instID, functionID, opType, routingAddress,
                           data, type, tTransmissionVariant::txControl(txControl))) {}

CGMOSTMessage::CGMOSTMessage(uint16_t target, uint16_t source, uint8_t fblockID, uint8_t instID,
                             uint16_t functionID, uint8_t opType, uint32_t routingAddress,
                             const CZvBuffer& data, eTransmissionType type, eTransmissionInfo info)
    : mMessage(makeMessage(target, source, fblockID, instID, functionID, opType, routingAddress,
                           data, type, tTransmissionVariant::transmissionInfo(info))) {}

CGMOSTMessage::CGMOSTMessage(uint32_t capacity, eTransmissionTXControl txControl) {
  mMessage.data.reserve(capacity);
  mMessage.transmissionVariant.setTXControl(txControl);
}

CGMOSTMessage::CGMOSTMessage(uint32_t capacity, eTransmissionInfo info) {
  mMessage.data.reserve(capacity);
  mMessage.transmissionVariant.setTransmissionInfo(info);
}

CGMOSTTXMessage::CGMOSTTXMessage(const CGMOSTRXMessage& rx) : CGMOSTMessage(rx.getMessage()) {
  std::swap(mMessage.header.sourceAddress, mMessage.header.targetAddress);
  mMessage.transmissionVariant.setTXControl(TX_CONTROL_NONE);
}

void CGMOSTTXMessage::dump(CZvString& out) const {
  const MessageHeaderType& h = mMessage.header;
  out.appendFormat("[%.4X -> %.4X] FBKey %.4X Func %.3X Op %.2X Len %.2X", h.sourceAddress,
                   h.targetAddress, fblockKeyOf(h), h.functionID, h.opType,
                   mMessage.data.getSize());
}

CGMOSTRXMessage::CGMOSTRXMessage(const CGMOSTTXMessage& tx) : CGMOSTMessage(tx.getMessage()) {
  std::swap(mMessage.header.sourceAddress, mMessage.header.targetAddress);
  mMessage.transmissionVariant.setTransmissionInfo(
      tx.getMessage().transmissionVariant.getTransmissionInfo());
}

void CGMOSTRXMessage::dump(CZvString& out) const {
  const MessageHeaderType& h = mMessage.header;
  out.appendFormat("[%.4X <- %.4X] FBKey %.4X Func %.3X Op %.2X Len %.2X T:%d TI:%d",
                   h.targetAddress, h.sourceAddress, fblockKeyOf(h), h.functionID, h.opType,
                   mMessage.data.getSize(), static_cast<int>(mMessage.transmissionType),
                   static_cast<int>(mMessage.transmissionVariant.getTransmissionInfo()));
}

void DSYSMOSTTypes::dumpMostMessage(uint32_t clientID, const MessageType& message,
                                    const char* direction) {
  CZvTraceScope spy(gSpy);
  if (!spy.isMessageEnabled()) return;
  const MessageHeaderType& h = message.header;
  const char* text = direction != nullptr ? direction : "";
  if (clientID == 0) {
    spy.sendFormattedMessage("[%04X->%04X] %02X %02X %04X %02X %04X [EXT] [%s]", h.sourceAddress,
                             h.targetAddress, h.fblockID, h.instID, h.functionID, h.opType,
                             message.data.getSize(), text);
  } else {
    spy.sendFormattedMessage("[%04X->%04X] %02X %02X %04X %02X %04X [%d] [%s]", h.sourceAddress,
                             h.targetAddress, h.fblockID, h.instID, h.functionID, h.opType,
                             message.data.getSize(), static_cast<int>(clientID), text);
  }
  if (spy.isDataEnabled() && !message.data.isEmpty()) {
    CZvString hex;
    CZvByteStream(message.data.getData(), message.data.getSize()).dump(hex);
    spy.sendFormattedData("       Data: %s", hex.c_str());
  }
}
