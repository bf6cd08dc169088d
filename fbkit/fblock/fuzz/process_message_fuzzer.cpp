// Feeds arbitrary message sequences into informationProcessMessage of a
// client that holds a few FBlocks: segments, failed transmissions, reports,
// broadcasts and every standard function with any payload.
#include <cstddef>
#include <cstdint>

#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/tests/fblock_test_support.h"
#include "platform/basalt/zv_event_loop.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  bool more() const { return mPos < mSize; }
  uint8_t u8() { return mPos < mSize ? mData[mPos++] : 0; }
  uint16_t u16() { return static_cast<uint16_t>((u8() << 8) | u8()); }
  const uint8_t* take(size_t n, size_t* got) {
    *got = n < mSize - mPos ? n : mSize - mPos;
    const uint8_t* p = mData + mPos;
    mPos += *got;
    return p;
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

struct Fixture {
  Fixture() {
    auto* a = new CZvDeviceBase(0x22, 0x01, nullptr, &client, true);
    auto* b = new CZvDeviceBase(0x22, 0x03, nullptr, &client, true);
    auto* any = new CZvDeviceBase(0xFF, 0xFF, nullptr, &client, true);
    a->addFunction(&property);
    a->addFunction(&method);
    b->setVersionEnabled(true);
    client.getDeviceAdmin().addDevice(0x2201, a);
    client.getDeviceAdmin().addDevice(0x2203, b);
    client.getDeviceAdmin().addDevice(0xFFFF, any);
  }
  RecordingFunction property{0x100, true};
  RecordingFunction method{0x200, false};
  CapturingClient client;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture* fixture = new Fixture();
  Reader in(data, size);
  while (in.more()) {
    DSYSMOSTTypes::MessageType msg;
    msg.transmissionType = static_cast<DSYSMOSTTypes::eTransmissionType>(in.u8() & 0x07);
    const uint8_t variant = in.u8();
    if (variant & 0x80) {
      msg.transmissionVariant.setTransmissionInfo(
          static_cast<DSYSMOSTTypes::eTransmissionInfo>(variant & 0x1F));
    }
    msg.header.sourceAddress = in.u16();
    msg.header.fblockID = in.u8();
    msg.header.instID = in.u8();
    msg.header.functionID = in.u16() & 0x0FFF;
    msg.header.opType = in.u8() & 0x0F;
    msg.header.routingAddress = static_cast<uint32_t>(in.u16()) << 16;
    size_t got = 0;
    const uint8_t* payload = in.take(in.u8(), &got);
    msg.data = CZvBuffer(payload, static_cast<uint32_t>(got));
    fixture->client.informationProcessMessage(msg);
  }
  // The doubles keep what they saw; one input's worth is enough.
  fixture->client.sent.clear();
  for (RecordingFunction* f : {&fixture->property, &fixture->method}) {
    f->commands.clear();
    f->notifications.clear();
  }
  CZvEventLoop::current().runUntilIdle();
  return 0;
}
