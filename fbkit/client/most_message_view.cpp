#include "fbkit/client/most_message_view.h"

namespace ZvMOSTMessageView {

CZvMOSTMessageData fromMessageType(const DSYSMOSTTypes::MessageType& msg, int32_t transmissionInfo) {
  const uint32_t size = msg.data.getSize();
  // The header's length field has 16 bits; the payload itself is kept whole.
  CZvMOSTHeader header(msg.header.sourceAddress, msg.header.fblockID, msg.header.instID,
                       msg.header.functionID, msg.header.opType,
                       static_cast<uint16_t>(size > 0xFFFF ? 0xFFFF : size));
  CZvMOSTMessageData data(header, CZvByteStream(msg.data.getData(), size), msg.transmissionType,
                          static_cast<DSYSMOSTTypes::eTransmissionInfo>(transmissionInfo));
  data.routingAddress = msg.header.routingAddress;
  return data;
}

DSYSMOSTTypes::MessageType toMessageType(const CZvMOSTMessageData& data) {
  DSYSMOSTTypes::MessageType msg;
  msg.transmissionType = data.transmissionType;
  msg.transmissionVariant.setTransmissionInfo(data.transmissionInfo);
  msg.header.sourceAddress = data.header.getDeviceID();
  msg.header.fblockID = data.header.getFBlockID();
  msg.header.instID = data.header.getInstID();
  msg.header.functionID = data.header.getFunctionID();
  msg.header.opType = data.header.getOpType();
  msg.header.routingAddress = data.routingAddress;
  msg.data = CZvBuffer(data.data.getData(), data.data.getSize());
  return msg;
}

}  // namespace ZvMOSTMessageView
