// Serialisation of the MOST message event for the event stream that carries
// events across a process boundary.
#include "fbkit/client/most_message.h"
#include "platform/basalt/zv_assert.h"

namespace ZvMOSTEvents {

bool serializeMOSTEvent(IZvOStream& stream, CZvEvent& event) {
  CZvMOSTMessage* message =
      static_cast<CZvMOSTMessage*>(event.castToPtr(CZvMOSTMessage::sClassID));
  if (message == nullptr) {
    ZV_CHEAP_ASSERT(message != nullptr);
    return false;
  }
  return message->writeToStream(stream, true);
}

CZvMOSTMessage* deserializeMOSTEvent(IZvIStream& stream) {
  CZvMOSTMessage* message = new CZvMOSTMessage(stream);
  if (!message->isValid()) {
    delete message;
    return nullptr;
  }
  return message;
}

}  // namespace ZvMOSTEvents
