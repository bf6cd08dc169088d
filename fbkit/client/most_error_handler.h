// CZvMOSTErrorHandler: an application's observer of every Error and
// ErrorAck report that reaches the controller side, of controller time-outs
// and of failed transmissions. Handlers are registered with the
// configuration (CZvMOSTConfig::addErrorHandler).
#ifndef FBKIT_CLIENT_MOST_ERROR_HANDLER_H
#define FBKIT_CLIENT_MOST_ERROR_HANDLER_H

#include <cstdint>

#include "fbkit/controller/log_dev_info_data.h"
#include "platform/basalt/zv_byte_stream.h"

class CZvMOSTMessageData;

class CZvMOSTErrorHandler {
 public:
  virtual ~CZvMOSTErrorHandler() = default;

  virtual void onErrorReport(uint16_t fblockKey, uint16_t functionID, uint8_t errorCode,
                             const CZvByteStream& errorInfo) = 0;
  virtual void onErrorAckReport(uint16_t fblockKey, uint16_t functionID, uint16_t senderHandle,
                                uint8_t errorCode, const CZvByteStream& errorInfo) = 0;
  virtual void onLogDevEvent(const CZvLogDevInfoData& data, int32_t transmissionInfo) = 0;
  virtual void onTransmissionError(uint16_t fblockKey, uint16_t functionID,
                                   int32_t transmissionInfo) = 0;
  virtual void eventlogEntry(uint16_t, uint16_t, uint8_t, const CZvByteStream&) {}

  // Reads an Error (15) or ErrorAck (9) report from its payload's start and
  // calls the matching handler; other reports are ignored.
  void publish(const CZvMOSTMessageData& message);
  // Time-outs go to onLogDevEvent, failed transmissions (info 5, 6, 7, 9)
  // to onTransmissionError.
  void publishWithEventCheck(const CZvLogDevInfoData& data, int32_t transmissionInfo);
};

#endif  // FBKIT_CLIENT_MOST_ERROR_HANDLER_H
