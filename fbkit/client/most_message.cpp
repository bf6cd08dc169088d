#include "fbkit/client/most_message.h"

#include "platform/loom/kernel_trace.h"

const CZvClassID CZvMOSTMessage::sClassID("CZvMOSTMessage");

CZvMOSTMessage::CZvMOSTMessage(IZvIStream& stream) { mValid = readFromStream(stream); }

CZvMOSTMessage* CZvMOSTMessage::createEvent(const CZvMOSTMessageData& data) {
  return new CZvMOSTMessage(data);
}

CZvMOSTMessage* CZvMOSTMessage::createEvent() { return new CZvMOSTMessage(); }

void CZvMOSTMessage::sendEvent(const CZvMOSTMessageData& data) { createEvent(data)->send(); }

void CZvMOSTMessage::sendEvent() { createEvent()->send(); }

bool CZvMOSTMessage::addListener(IZvMOSTMessageConsumer& consumer) {
  return CZvEvent::addListener(sClassID, &consumer);
}

bool CZvMOSTMessage::removeListener(const IZvMOSTMessageConsumer& consumer) {
  return CZvEvent::removeListener(sClassID, &consumer);
}

void* CZvMOSTMessage::castToPtr(const CZvClassID& id) {
  return id == sClassID ? this : CZvComponentEvent::castToPtr(id);
}

void CZvMOSTMessage::dispatchSelf(CZvEventDispatcher& dispatcher) {
  CZvComponentEvent::dispatchSelf(dispatcher);
  deliverEvent(dispatcher, sClassID, [this](IZvEventConsumer& consumer) {
    if (auto* target = dynamic_cast<IZvMOSTMessageConsumer*>(&consumer)) target->processEvent(*this);
  });
}

bool CZvMOSTMessage::writeToStream(IZvOStream& stream, bool flag) const {
  return CZvComponentEvent::writeToStream(stream, flag) && mData.writeToStream(stream);
}

bool CZvMOSTMessage::readFromStream(IZvIStream& stream) {
  return CZvComponentEvent::readFromStream(stream) && mData.readFromStream(stream);
}

void ZvKernelTrace::traceMOSTEvent(uint16_t code) {
  ZvKernelTrace::addFrameworkUserEvent(6, &code, sizeof code);
}
