// Trace renderings of one DSYSMOSTTypes::MessageType: CGMOSTTXMessage for a
// message sent, CGMOSTRXMessage for one received, and the MOST spy lines.
#ifndef FBKIT_CLIENT_MOST_TRACE_MESSAGE_H
#define FBKIT_CLIENT_MOST_TRACE_MESSAGE_H

#include <cstdint>

#include "fbkit/client/dsysmost_types.h"
#include "platform/basalt/zv_string.h"

class CGMOSTMessage {
 public:
  explicit CGMOSTMessage(const DSYSMOSTTypes::MessageType& message) : mMessage(message) {}
  // The seven header values, the payload, the transmission type and the TX
  // control (message to send) or the transmission info (received message).
  CGMOSTMessage(uint16_t target, uint16_t source, uint8_t fblockID, uint8_t instID,
                uint16_t functionID, uint8_t opType, uint32_t routingAddress,
                const CZvBuffer& data, DSYSMOSTTypes::eTransmissionType type,
                DSYSMOSTTypes::eTransmissionTXControl txControl);
  CGMOSTMessage(uint16_t target, uint16_t source, uint8_t fblockID, uint8_t instID,
                uint16_t functionID, uint8_t opType, uint32_t routingAddress,
                const CZvBuffer& data, DSYSMOSTTypes::eTransmissionType type,
                DSYSMOSTTypes::eTransmissionInfo info);
  // An empty message with room for capacity payload bytes.
  CGMOSTMessage(uint32_t capacity, DSYSMOSTTypes::eTransmissionTXControl txControl);
  CGMOSTMessage(uint32_t capacity, DSYSMOSTTypes::eTransmissionInfo info);

  const DSYSMOSTTypes::MessageType& getMessage() const { return mMessage; }
  DSYSMOSTTypes::MessageType& getMessage() { return mMessage; }

 protected:
  DSYSMOSTTypes::MessageType mMessage;
};

class CGMOSTRXMessage;

class CGMOSTTXMessage : public CGMOSTMessage {
 public:
  using CGMOSTMessage::CGMOSTMessage;
  // The message seen from the other side: source and target swapped, TX
  // control 0.
  explicit CGMOSTTXMessage(const CGMOSTRXMessage& rx);
  // "[%.4X -> %.4X] FBKey %.4X Func %.3X Op %.2X Len %.2X"
  void dump(CZvString& out) const;
};

class CGMOSTRXMessage : public CGMOSTMessage {
 public:
  using CGMOSTMessage::CGMOSTMessage;
  // Source and target swapped; the variant holds the TX message's
  // transmission info, else 0.
  explicit CGMOSTRXMessage(const CGMOSTTXMessage& tx);
  // "[%.4X <- %.4X] FBKey %.4X Func %.3X Op %.2X Len %.2X T:%d TI:%d"
  void dump(CZvString& out) const;
};

namespace DSYSMOSTTypes {
// The MOST spy: on "sys_most_mss_MOSTSpy" at message level
// "[%04X->%04X] %02X %02X %04X %02X %04X [%d] [%s]" (client ID 0: "[EXT]"),
// and at data level a second line "       Data: <hex>" for a non-empty payload.
void dumpMostMessage(uint32_t clientID, const MessageType& message, const char* direction);
}  // namespace DSYSMOSTTypes

#endif  // FBKIT_CLIENT_MOST_TRACE_MESSAGE_H
