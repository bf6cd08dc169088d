#include "examples/demo_fblock/demo_functions.h"

#include "fbkit/client/most_message_view.h"
#include "fbkit/fblock/device_base.h"

namespace {

constexpr uint8_t kSet = 0;
constexpr uint8_t kGet = 1;
constexpr uint8_t kStatus = 12;
constexpr uint8_t kError = 15;

CZvByteStream bytes(std::initializer_list<uint8_t> list) {
  CZvByteStream s;
  for (uint8_t b : list) s.writeU8(b);
  return s;
}

}  // namespace

void CDemoFunction::reply(uint32_t routing, uint8_t opType, const CZvByteStream& payload) {
  CZvDeviceBase* device = getDevice();
  if (device == nullptr) return;
  device->sendMessage(static_cast<uint16_t>(routing & 0xFFFF), opType, getFunctionID(), 0, 0,
                      payload, routing >> 16);
}

bool CDemoVolume::readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) {
  const CZvByteStream& payload = ZvMOSTMessageView::payload(message);
  switch (ZvMOSTMessageView::opType(message)) {
    case kGet:
      if (payload.getSize() != 0) {
        reply(routing, kError, bytes({0x05}));
        return false;
      }
      break;
    case kSet:
      if (payload.getSize() != 1) {
        reply(routing, kError, bytes({0x05}));
        return false;
      }
      if (payload.getData()[0] > 40) {
        reply(routing, kError, bytes({0x06, 0x01, payload.getData()[0]}));
        return false;
      }
      mVolume = payload.getData()[0];
      break;
    default:
      reply(routing, kError, bytes({0x04, ZvMOSTMessageView::opType(message)}));
      return false;
  }
  reply(routing, kStatus, bytes({mVolume}));
  return true;
}

bool CDemoGreeting::readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) {
  if (ZvMOSTMessageView::opType(message) != kGet) {
    reply(routing, kError, bytes({0x04, ZvMOSTMessageView::opType(message)}));
    return false;
  }
  CZvByteStream text(reinterpret_cast<const uint8_t*>(mText.data()),
                     static_cast<uint32_t>(mText.size()));
  reply(routing, kStatus, text);
  return true;
}
