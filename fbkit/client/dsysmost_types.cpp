#include "fbkit/client/dsysmost_types.h"

namespace DSYSMOSTTypes {

bool isExtMostAddress(uint16_t address) {
  if (address == 0) return false;
  if (address == 0xFFFF) return true;
  return (address & 0xF000) == 0;
}

bool isIntMostAddress(uint16_t address) { return address != 0xFFFF && (address & 0xF000) != 0; }

bool isCtrlMsg(eTransmissionType type) { return type == 0 || type == 4; }

bool isAsyncMsg(eTransmissionType type) { return type >= 1 && type <= 3; }

bool isTransmissionStatus(const MessageType& message) {
  if (!message.transmissionVariant.holdsTransmissionInfo()) return false;
  int32_t info = message.transmissionVariant.rawValue();
  return info >= TRANSMISSION_FAILED_FIRST && info <= TRANSMISSION_FAILED_LAST;
}

eTransmissionTXControl getTransmissionControl(const MessageType& message) {
  return message.transmissionVariant.getTXControl();
}

eTransmissionInfo getRXTransmissionInfo(const MessageType& message) {
  return message.transmissionVariant.getTransmissionInfo();
}

}  // namespace DSYSMOSTTypes
