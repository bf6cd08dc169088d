// CZvMOSTMessage: the event that carries one CZvMOSTMessageData to the
// consumers of MOST messages, on each consumer's own thread.
#ifndef FBKIT_CLIENT_MOST_MESSAGE_H
#define FBKIT_CLIENT_MOST_MESSAGE_H

#include <cstdint>

#include "fbkit/client/most_message_data.h"
#include "platform/basalt/zv_event.h"

class CZvMOSTMessage;

class IZvMOSTMessageConsumer : public IZvEventConsumer {
 public:
  ~IZvMOSTMessageConsumer() override = default;
  virtual void processEvent(const CZvMOSTMessage& message) = 0;
};

class CZvMOSTMessage : public CZvComponentEvent {
 public:
  static const CZvClassID sClassID;  // "CZvMOSTMessage"

  CZvMOSTMessage() = default;
  explicit CZvMOSTMessage(const CZvMOSTMessageData& data) : mData(data) {}
  // Reads the stream form; check isValid() afterwards.
  explicit CZvMOSTMessage(IZvIStream& stream);
  ~CZvMOSTMessage() override = default;

  // A new message on the heap holding a copy of data (or empty).
  static CZvMOSTMessage* createEvent(const CZvMOSTMessageData& data);
  static CZvMOSTMessage* createEvent();
  // Creates and sends in one step; the event system owns the message.
  static void sendEvent(const CZvMOSTMessageData& data);
  static void sendEvent();

  static bool addListener(IZvMOSTMessageConsumer& consumer);
  static bool removeListener(const IZvMOSTMessageConsumer& consumer);

  void* castToPtr(const CZvClassID& id) override;
  // The base event's dispatch, then processEvent of each consumer on this
  // thread.
  void dispatchSelf(CZvEventDispatcher& dispatcher) override;
  const CZvClassID& getClassID() const override { return sClassID; }

  // The base event's part (empty), then the message data.
  bool writeToStream(IZvOStream& stream, bool flag) const override;
  bool readFromStream(IZvIStream& stream) override;
  // False after a stream constructor that met a short stream.
  bool isValid() const { return mValid; }

  const CZvMOSTMessageData& getData() const { return mData; }
  CZvMOSTMessageData& getData() { return mData; }

 private:
  CZvMOSTMessageData mData;
  bool mValid = true;
};

namespace ZvMOSTEvents {
// Writes a CZvMOSTMessage with writeToStream(stream, true). Any other event
// is an internal inconsistency (cheap assertion); nothing is written.
bool serializeMOSTEvent(IZvOStream& stream, CZvEvent& event);
// A new CZvMOSTMessage read from the stream; null on a short stream.
CZvMOSTMessage* deserializeMOSTEvent(IZvIStream& stream);
}  // namespace ZvMOSTEvents

namespace ZvKernelTrace {
// A kernel-trace user event of the framework kind, number 6, with the code
// as its 2 bytes of data (machine order).
void traceMOSTEvent(uint16_t code);
}  // namespace ZvKernelTrace

#endif  // FBKIT_CLIENT_MOST_MESSAGE_H
