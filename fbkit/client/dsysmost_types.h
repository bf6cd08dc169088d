// Shared types of the DSYSMOSTServer service interface: the MOST message as
// exchanged with the MOST server process, registry entries, named FBlock keys
// and the transmission descriptors.
#ifndef FBKIT_CLIENT_DSYSMOST_TYPES_H
#define FBKIT_CLIENT_DSYSMOST_TYPES_H

#include <cstdint>
#include <vector>

#include "platform/basalt/zv_buffer.h"
#include "platform/basalt/zv_string.h"

namespace DSYSMOSTTypes {

// The enumerations travel as 32-bit integers; values other than the named
// ones pass through unchanged.
enum eTransmissionType : int32_t {
  TRANSMISSION_TYPE_CONTROL = 0,
  TRANSMISSION_TYPE_PACKET = 1,
  TRANSMISSION_TYPE_PACKET_2 = 2,
  TRANSMISSION_TYPE_PACKET_3 = 3,
  TRANSMISSION_TYPE_CONTROL_2 = 4,
};

enum eTransmissionTXControl : int32_t {
  TX_CONTROL_NONE = 0,
  TX_CONTROL_IMPLICIT_NOTIFICATION = 2,
  TX_CONTROL_CLOSE_CONNECTION = 0x10,
  TX_CONTROL_FLUSH_PACKETIZER = 0x100,
};

enum eTransmissionInfo : int32_t {
  TRANSMISSION_INFO_NONE = 0,
  TRANSMISSION_FAILED_FIRST = 4,  // 4 to 9: a message this client sent came back
  TRANSMISSION_FAILED_LAST = 9,
  SEGMENT_FIRST = 19,
  SEGMENT_MIDDLE = 20,
  SEGMENT_LAST = 21,
};

enum eMOSTCommunicationState : int32_t {
  COMMUNICATION_DOWN = 0,
  COMMUNICATION_UP = 1,
};

enum eMostNetState : int32_t {
  NET_STATE_OFF = 0,
  NET_STATE_ON = 1,
};

enum eMOSTConfigurationControl : int32_t {
  CONFIGURATION_NOT_OK = 0,
  CONFIGURATION_OK = 1,
};

struct MessageHeaderType {
  uint16_t targetAddress = 0;
  uint16_t sourceAddress = 0;
  uint8_t fblockID = 0;
  uint8_t instID = 0;
  uint16_t functionID = 0;
  uint8_t opType = 0;
  uint32_t routingAddress = 0;

  bool operator==(const MessageHeaderType& o) const {
    return targetAddress == o.targetAddress && sourceAddress == o.sourceAddress &&
           fblockID == o.fblockID && instID == o.instID && functionID == o.functionID &&
           opType == o.opType && routingAddress == o.routingAddress;
  }
  bool operator!=(const MessageHeaderType& o) const { return !(*this == o); }
};

// Empty, a TX control (messages to send) or a transmission info (received
// messages).
class tTransmissionVariant {
 public:
  enum Kind : int32_t { KIND_EMPTY = 0, KIND_TX_CONTROL = 1, KIND_TRANSMISSION_INFO = 2 };

  tTransmissionVariant() = default;
  static tTransmissionVariant txControl(eTransmissionTXControl value) {
    return tTransmissionVariant(KIND_TX_CONTROL, value);
  }
  static tTransmissionVariant transmissionInfo(eTransmissionInfo value) {
    return tTransmissionVariant(KIND_TRANSMISSION_INFO, value);
  }

  Kind kind() const { return mKind; }
  bool isEmpty() const { return mKind == KIND_EMPTY; }
  bool holdsTXControl() const { return mKind == KIND_TX_CONTROL; }
  bool holdsTransmissionInfo() const { return mKind == KIND_TRANSMISSION_INFO; }
  // The held value as stored (0 when empty).
  int32_t rawValue() const { return mValue; }
  eTransmissionTXControl getTXControl() const {
    return holdsTXControl() ? static_cast<eTransmissionTXControl>(mValue) : TX_CONTROL_NONE;
  }
  eTransmissionInfo getTransmissionInfo() const {
    return holdsTransmissionInfo() ? static_cast<eTransmissionInfo>(mValue) : TRANSMISSION_INFO_NONE;
  }

  void clear() { *this = tTransmissionVariant(); }
  void setTXControl(eTransmissionTXControl value) { *this = txControl(value); }
  void setTransmissionInfo(eTransmissionInfo value) { *this = transmissionInfo(value); }

  bool operator==(const tTransmissionVariant& o) const {
    return mKind == o.mKind && mValue == o.mValue;
  }
  bool operator!=(const tTransmissionVariant& o) const { return !(*this == o); }

 private:
  tTransmissionVariant(Kind kind, int32_t value) : mKind(kind), mValue(value) {}

  Kind mKind = KIND_EMPTY;
  int32_t mValue = 0;
};

struct MessageType {
  eTransmissionType transmissionType = TRANSMISSION_TYPE_CONTROL;
  tTransmissionVariant transmissionVariant;
  MessageHeaderType header;
  CZvBuffer data;

  bool operator==(const MessageType& o) const {
    return transmissionType == o.transmissionType &&
           transmissionVariant == o.transmissionVariant && header == o.header && data == o.data;
  }
  bool operator!=(const MessageType& o) const { return !(*this == o); }
};

// One FBlock present on the ring: its device and its FBlock key.
struct RegistryEntry {
  uint16_t deviceID = 0;
  uint16_t fblockKey = 0;

  bool operator==(const RegistryEntry& o) const {
    return deviceID == o.deviceID && fblockKey == o.fblockKey;
  }
  bool operator!=(const RegistryEntry& o) const { return !(*this == o); }
};

struct FBlockKeyStringType {
  uint16_t fblockKey = 0;
  CZvString name;

  bool operator==(const FBlockKeyStringType& o) const {
    return fblockKey == o.fblockKey && name == o.name;
  }
  bool operator!=(const FBlockKeyStringType& o) const { return !(*this == o); }
};

using MessageVector = std::vector<MessageType>;
using Registry = std::vector<RegistryEntry>;
using FBlockKeyVector = std::vector<uint16_t>;
using FBlockKeyStringVector = std::vector<FBlockKeyStringType>;

// OPTypes 0 to 8 are commands (requests), 9 to 15 reports.
inline bool isRequest(uint8_t opType) { return opType < 9; }
inline bool isReport(uint8_t opType) { return opType > 8; }

// External MOST addresses: 0x0001 to 0x0FFF and 0xFFFF.
bool isExtMostAddress(uint16_t address);
bool isIntMostAddress(uint16_t address);

bool isCtrlMsg(eTransmissionType type);
bool isAsyncMsg(eTransmissionType type);
// True when the message came back as a failed transmission (info 4 to 9).
bool isTransmissionStatus(const MessageType& message);
eTransmissionTXControl getTransmissionControl(const MessageType& message);
eTransmissionInfo getRXTransmissionInfo(const MessageType& message);

}  // namespace DSYSMOSTTypes

#endif  // FBKIT_CLIENT_DSYSMOST_TYPES_H
