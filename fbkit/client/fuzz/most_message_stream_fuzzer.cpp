// Decodes the input as the stream form of a MOST message event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/basalt/zv_byte_stream.h"

#include "fbkit/client/most_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  CZvByteStream in(data, static_cast<uint32_t>(size));
  CZvMOSTMessage* message = ZvMOSTEvents::deserializeMOSTEvent(in);
  if (message == nullptr) return 0;
  CZvByteStream out;
  if (!ZvMOSTEvents::serializeMOSTEvent(out, *message)) abort();
  CZvByteStream again(out.getData(), out.getSize());
  CZvMOSTMessage* back = ZvMOSTEvents::deserializeMOSTEvent(again);
  if (back == nullptr || !(back->getData() == message->getData())) abort();
  CZvString text;
  back->getData().dump(text);
  delete back;
  delete message;
  return 0;
}
