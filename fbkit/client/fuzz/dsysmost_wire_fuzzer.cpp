// Decodes the input as the wire parameter block of a request or a response
// (ID chosen by the first byte). A block that decodes must encode to a block
// that decodes to the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fbkit/client/dsysmost_events.h"

namespace {

uint32_t pickId(uint8_t selector) {
  if (selector < 20) return selector;  // requests and two beyond
  if (selector < 32) return 0x80000000u + (selector - 20);
  if (selector < 38) return 0xC0000000u + (selector - 32);
  if (selector < 40) return ZvServices::kVersionId;
  return selector;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  uint32_t id = pickId(data[0] % 64);
  const uint8_t* block = data + 1;
  uint32_t blockSize = static_cast<uint32_t>(size - 1);

  CZvQRVIStream requestIn(block, blockSize);
  CDSYSMOSTServerRequest request;
  if (request.readQRV(id, requestIn)) {
    CZvQRVOStream out;
    request.writeQRV(out);
    CZvQRVIStream again(out.data(), out.size());
    CDSYSMOSTServerRequest back;
    if (!back.readQRV(id, again) || !(back == request)) abort();
  }

  CZvQRVIStream responseIn(block, blockSize);
  CDSYSMOSTServerResponseEvent* event =
      DSYSMOSTServer::deserializeResponseEventQRV(nullptr, ZvServices::RESULT_RESPONSE, id, responseIn);
  if (event == nullptr) {
    CZvQRVIStream updateIn(block, blockSize);
    event = DSYSMOSTServer::deserializeResponseEventQRV(nullptr, ZvServices::RESULT_UPDATE, id, updateIn);
  }
  if (event != nullptr) {
    CZvQRVOStream out;
    event->writeQRVToStream(out);
    CZvQRVIStream again(out.data(), out.size());
    CDSYSMOSTServerResponse back;
    if (!back.readQRV(id, again) || !(back == event->getResponse())) abort();
    delete event;
  }
  return 0;
}
