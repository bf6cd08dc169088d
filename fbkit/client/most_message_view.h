// Small accessors through which the client, the FBlock side and the error
// handlers read a CZvMOSTMessageData, and the conversions between it and the
// server's MessageType.
#ifndef FBKIT_CLIENT_MOST_MESSAGE_VIEW_H
#define FBKIT_CLIENT_MOST_MESSAGE_VIEW_H

#include <cstdint>

#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/most_message_data.h"

namespace ZvMOSTMessageView {

inline uint8_t opType(const CZvMOSTMessageData& m) { return m.header.getOpType(); }
inline uint8_t fblockID(const CZvMOSTMessageData& m) { return m.header.getFBlockID(); }
inline uint8_t instID(const CZvMOSTMessageData& m) { return m.header.getInstID(); }
inline uint16_t functionID(const CZvMOSTMessageData& m) { return m.header.getFunctionID(); }
// For a received message: the device that sent it.
inline uint16_t senderDeviceID(const CZvMOSTMessageData& m) { return m.header.getDeviceID(); }
inline int32_t transmissionInfo(const CZvMOSTMessageData& m) { return m.transmissionInfo; }
inline uint32_t routingAddress(const CZvMOSTMessageData& m) { return m.routingAddress; }
inline const CZvByteStream& payload(const CZvMOSTMessageData& m) { return m.data; }
inline void rewind(CZvMOSTMessageData& m) { m.data.rewind(); }

// A received message as the two sides see it; transmissionInfo is the one
// the server gave (0 when none).
CZvMOSTMessageData fromMessageType(const DSYSMOSTTypes::MessageType& msg, int32_t transmissionInfo);
// A message to send: sourceAddress from header.deviceID, the variant holding
// transmissionInfo.
DSYSMOSTTypes::MessageType toMessageType(const CZvMOSTMessageData& data);

}  // namespace ZvMOSTMessageView

#endif  // FBKIT_CLIENT_MOST_MESSAGE_VIEW_H
