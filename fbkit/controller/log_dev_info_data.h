// CZvLogDevInfoData: the payload of every controller-side event.
#ifndef FBKIT_CONTROLLER_LOG_DEV_INFO_DATA_H
#define FBKIT_CONTROLLER_LOG_DEV_INFO_DATA_H

#include <cstdint>

class CZvLogDevInfoData {
 public:
  // Reasons 0 to 10, 14 to 21 and 24 are those of the function handlers.
  enum Reason : uint32_t {
    REASON_METHOD_TIMEOUT = 8,
    REASON_NOTIFICATION_TIMEOUT = 9,
    REASON_STATUS_TIMEOUT = 10,
    REASON_LOGDEV_CONNECTED = 11,
    REASON_LOGDEV_DISCONNECTED = 12,
    REASON_INST_CHANGES = 13,
    REASON_GET_TIMEOUT = 24,
    REASON_CENTRAL_REGISTRY = 29,
    REASON_UNDEFINED = 30,
  };

  CZvLogDevInfoData() = default;
  explicit CZvLogDevInfoData(uint32_t reason) : reason(reason), senderHandle(0) {}
  CZvLogDevInfoData(uint32_t reason, uint16_t fblockKey, uint16_t functionID, uint32_t senderHandle)
      : reason(reason), fblockKey(fblockKey), functionID(functionID), senderHandle(senderHandle) {}

  uint32_t reason = REASON_UNDEFINED;
  uint16_t fblockKey = 0;
  uint16_t functionID = 0;
  int32_t posX = 0;
  int32_t posY = 0;
  uint32_t senderHandle = 0xFFFF;
};

#endif  // FBKIT_CONTROLLER_LOG_DEV_INFO_DATA_H
