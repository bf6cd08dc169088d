#include "fbkit/client/most_types.h"

#include <cstdio>

#include "fbkit/client/dsysmost_types.h"

namespace ZvMOSTTypes {

bool isPropertyCommand(uint8_t opType) { return opType <= 5; }

bool isMethodCommand(uint8_t opType) {
  return opType <= 2 || (opType >= 5 && opType <= 8);
}

bool isPropertyReport(uint8_t opType) { return opType == 12 || opType == 14 || opType == 15; }

bool isMethodReport(uint8_t opType) { return opType >= 9 && opType <= 15; }

bool isAckOptype(uint8_t opType) {
  return (opType >= 6 && opType <= 8) || opType == 10 || opType == 13;
}

bool withErrorInfo(uint8_t errorCode) {
  return !(errorCode == 0x05 || (errorCode >= 0x40 && errorCode <= 0x43));
}

uint16_t createDeviceID(uint16_t address, uint8_t subnet) {
  return static_cast<uint16_t>((subnet << 12) | (address & 0x0FFF));
}

uint8_t getSubnetID(uint16_t deviceID) { return static_cast<uint8_t>(deviceID >> 12); }

uint32_t createRoutingAddress(uint16_t deviceID, uint16_t clientID) {
  return static_cast<uint32_t>(deviceID) | (static_cast<uint32_t>(clientID) << 16);
}

uint16_t getDeviceId(uint32_t routingAddress) { return static_cast<uint16_t>(routingAddress); }

uint16_t getMostClientId(uint32_t routingAddress) {
  return static_cast<uint16_t>(routingAddress >> 16);
}

bool isExternal(uint16_t deviceID) { return DSYSMOSTTypes::isExtMostAddress(deviceID); }

bool isExternal(uint32_t routingAddress) {
  return DSYSMOSTTypes::isExtMostAddress(getDeviceId(routingAddress));
}

uint8_t resolveInstAny(uint8_t fblockID, const std::vector<uint16_t>& sortedKeys) {
  for (uint16_t key : sortedKeys) {
    uint8_t id = static_cast<uint8_t>(key >> 8);
    if (id == fblockID) return static_cast<uint8_t>(key);
    if (id > fblockID) break;  // sorted: no later key can match
  }
  return 0xFF;
}

CZvString Version::asString() const {
  return CZvString::formatted("%hu.%hu.%hu.", major, minor, build);
}

bool Version::parse(const char* text) {
  if (text == nullptr) return false;
  unsigned short a = 0, b = 0, c = 0;
  if (std::sscanf(text, "%hu.%hu.%hu", &a, &b, &c) != 3) return false;
  major = a;
  minor = b;
  build = c;
  return true;
}

}  // namespace ZvMOSTTypes
