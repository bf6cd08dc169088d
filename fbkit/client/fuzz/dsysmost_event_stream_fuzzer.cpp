// Decodes the input as a request event or a response event in the event
// stream form; what decodes must survive a round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/basalt/zv_byte_stream.h"

#include "fbkit/client/dsysmost_events.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  CZvByteStream requestIn(data, static_cast<uint32_t>(size));
  if (CDSYSMOSTServerRequestEvent* event = DSYSMOSTServer::deserializeRequestEvent(requestIn)) {
    CZvByteStream out;
    DSYSMOSTServer::serializeRequestEvent(out, *event);
    CZvByteStream again(out.getData(), out.getSize());
    CDSYSMOSTServerRequestEvent* back = DSYSMOSTServer::deserializeRequestEvent(again);
    if (back == nullptr || !(back->getRequest() == event->getRequest())) abort();
    delete back;
    delete event;
  }
  CZvByteStream responseIn(data, static_cast<uint32_t>(size));
  if (CDSYSMOSTServerResponseEvent* event = DSYSMOSTServer::deserializeResponseEvent(responseIn, nullptr)) {
    CZvByteStream out;
    DSYSMOSTServer::serializeResponseEvent(out, *event);
    CZvByteStream again(out.getData(), out.getSize());
    CDSYSMOSTServerResponseEvent* back = DSYSMOSTServer::deserializeResponseEvent(again, nullptr);
    if (back == nullptr || !(back->getResponse() == event->getResponse())) abort();
    delete back;
    delete event;
  }
  return 0;
}
