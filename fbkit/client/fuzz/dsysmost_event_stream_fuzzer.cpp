// Decodes the input as a request event or a response event in the event
// stream form; what decodes must survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fbkit/client/dsysmost_events.h"

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
  BytesIn requestIn(data, size);
  if (CDSYSMOSTServerRequestEvent* event = DSYSMOSTServer::deserializeRequestEvent(requestIn)) {
    BytesOut out;
    DSYSMOSTServer::serializeRequestEvent(out, *event);
    BytesIn again(out.bytes.data(), out.bytes.size());
    CDSYSMOSTServerRequestEvent* back = DSYSMOSTServer::deserializeRequestEvent(again);
    if (back == nullptr || !(back->getRequest() == event->getRequest())) abort();
    delete back;
    delete event;
  }
  BytesIn responseIn(data, size);
  if (CDSYSMOSTServerResponseEvent* event = DSYSMOSTServer::deserializeResponseEvent(responseIn, nullptr)) {
    BytesOut out;
    DSYSMOSTServer::serializeResponseEvent(out, *event);
    BytesIn again(out.bytes.data(), out.bytes.size());
    CDSYSMOSTServerResponseEvent* back = DSYSMOSTServer::deserializeResponseEvent(again, nullptr);
    if (back == nullptr || !(back->getResponse() == event->getResponse())) abort();
    delete back;
    delete event;
  }
  return 0;
}
