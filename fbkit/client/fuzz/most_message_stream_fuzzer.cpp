// Decodes the input as the stream form of a MOST message event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fbkit/client/most_message.h"

namespace {

class BytesIn : public IZvIStream {
 public:
  BytesIn(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  uint32_t read(void* buf, uint32_t n) override {
    size_t take = n < mSize - mPos ? n : mSize - mPos;
    if (take > 0) std::memcpy(buf, mData + mPos, take);
    mPos += take;
    return static_cast<uint32_t>(take);
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

class BytesOut : public IZvOStream {
 public:
  uint32_t write(const void* data, uint32_t n) override {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
    return n;
  }
  std::vector<uint8_t> bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BytesIn in(data, size);
  CZvMOSTMessage* message = ZvMOSTEvents::deserializeMOSTEvent(in);
  if (message == nullptr) return 0;
  BytesOut out;
  if (!ZvMOSTEvents::serializeMOSTEvent(out, *message)) abort();
  BytesIn again(out.bytes.data(), out.bytes.size());
  CZvMOSTMessage* back = ZvMOSTEvents::deserializeMOSTEvent(again);
  if (back == nullptr || !(back->getData() == message->getData())) abort();
  CZvString text;
  back->getData().dump(text);
  delete back;
  delete message;
  return 0;
}
