// OPType classification, MOST address helpers and the version triple of the
// MOST message model.
#ifndef FBKIT_CLIENT_MOST_TYPES_H
#define FBKIT_CLIENT_MOST_TYPES_H

#include <cstdint>
#include <vector>

#include "platform/basalt/zv_string.h"

namespace ZvMOSTTypes {

// OPTypes 0 to 5 on properties; 0, 1, 2, 5, 6, 7, 8 on methods.
bool isPropertyCommand(uint8_t opType);
bool isMethodCommand(uint8_t opType);
// Status, Error and ErrorAck answer properties; 9 to 15 answer methods.
bool isPropertyReport(uint8_t opType);
bool isMethodReport(uint8_t opType);
// The acknowledged OPTypes StartAck, StartResultAck, AbortAck and their
// reports ProcessingAck and ResultAck.
bool isAckOptype(uint8_t opType);
// Whether an Error report with this code carries error-info bytes after it:
// false for 0x05 and 0x40 to 0x43.
bool withErrorInfo(uint8_t errorCode);

// (subnet << 12) | (address & 0x0FFF)
uint16_t createDeviceID(uint16_t address, uint8_t subnet);
uint8_t getSubnetID(uint16_t deviceID);
// The device ID in the low half, the MOST client ID in the high half.
uint32_t createRoutingAddress(uint16_t deviceID, uint16_t clientID);
uint16_t getDeviceId(uint32_t routingAddress);
uint16_t getMostClientId(uint32_t routingAddress);
bool isExternal(uint16_t deviceID);
bool isExternal(uint32_t routingAddress);

// In a sorted list of FBlock keys, the instance ID of the first key of
// fblockID; 0xFF when there is none.
uint8_t resolveInstAny(uint8_t fblockID, const std::vector<uint16_t>& sortedKeys);

struct Version {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;

  // "major.minor.build." (with the trailing point)
  CZvString asString() const;
  // Reads "major.minor.build"; true only when all three numbers were read
  // (the version is unchanged otherwise).
  bool parse(const char* text);
};

}  // namespace ZvMOSTTypes

#endif  // FBKIT_CLIENT_MOST_TYPES_H
