// The functions of the demo FBlock: a volume that can be read and set, and
// a greeting long enough to travel in segments.
#ifndef EXAMPLES_DEMO_FBLOCK_DEMO_FUNCTIONS_H
#define EXAMPLES_DEMO_FBLOCK_DEMO_FUNCTIONS_H

#include <cstdint>
#include <string>

#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_byte_stream.h"

// Answers one command with a Status (or an Error) to its requester.
class CDemoFunction : public CZvFunctionBase {
 public:
  explicit CDemoFunction(uint16_t id) : CZvFunctionBase(id) {}
  bool send(uint8_t) override { return false; }
  bool readNotification(uint8_t, uint32_t) override { return false; }
  bool isNotifiable() const override { return false; }
  void resetProtocols() override {}

 protected:
  void reply(uint32_t routing, uint8_t opType, const CZvByteStream& payload);
};

// 0x400 Volume: Get answers the volume, Set (one byte, 0 to 40) changes it.
class CDemoVolume : public CDemoFunction {
 public:
  CDemoVolume() : CDemoFunction(0x400) {}
  bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) override;
  uint8_t volume() const { return mVolume; }

 private:
  uint8_t mVolume = 12;
};

// 0x401 Greeting: Get answers a text of more than one control message.
class CDemoGreeting : public CDemoFunction {
 public:
  explicit CDemoGreeting(std::string text) : CDemoFunction(0x401), mText(std::move(text)) {}
  bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) override;

 private:
  std::string mText;
};

#endif  // EXAMPLES_DEMO_FBLOCK_DEMO_FUNCTIONS_H
