#include "fbkit/fblock/device_info_data.h"

#include "fbkit/client/most_client_impl.h"
#include "fbkit/fblock/device_admin.h"

const CZvClassID CZvDeviceInfoEvent::sClassID("CZvDeviceInfoEvent");

CZvDeviceInfoEvent* CZvDeviceInfoEvent::createEvent(const CZvDeviceInfoData& data) {
  return new CZvDeviceInfoEvent(data);
}

CZvDeviceInfoEvent* CZvDeviceInfoEvent::createEvent() {
  return new CZvDeviceInfoEvent(CZvDeviceInfoData());
}

void CZvDeviceInfoEvent::sendEvent(const CZvDeviceInfoData& data) { createEvent(data)->send(); }

void CZvDeviceInfoEvent::sendEvent() { createEvent()->send(); }

void CZvDeviceInfoEvent::sendTo(IZvDeviceInfoConsumer* consumer, const CZvDeviceInfoData& data) {
  if (consumer == nullptr) return;
  CZvDeviceInfoEvent* event = createEvent(data);
  event->setTarget(consumer);
  event->send();
}

bool CZvDeviceInfoEvent::addListener(IZvDeviceInfoConsumer& consumer) {
  return CZvEvent::addListener(sClassID, &consumer);
}

bool CZvDeviceInfoEvent::removeListener(const IZvDeviceInfoConsumer& consumer) {
  return CZvEvent::removeListener(sClassID, &consumer);
}

void* CZvDeviceInfoEvent::castToPtr(const CZvClassID& id) {
  return id == sClassID ? this : CZvDeviceInfo::castToPtr(id);
}

void CZvDeviceInfoEvent::dispatchSelf(CZvEventDispatcher& dispatcher) {
  CZvDeviceInfo::dispatchSelf(dispatcher);
  deliverEvent(dispatcher, sClassID, [this](IZvEventConsumer& consumer) {
    if (auto* target = dynamic_cast<IZvDeviceInfoConsumer*>(&consumer)) {
      target->processEvent(*this);
    }
  });
}

CZvMOSTClientImpl* CZvMOSTAdapter::getRealMOSTClientImpl() const {
  return mClient != nullptr ? mClient : CZvMOSTClientImpl::getRealMOSTClientImpl();
}

void CZvMOSTAdapter::deleteObserver(IZvDeviceInfoConsumer* consumer) const {
  // A dying consumer must not bring a client (and its server connection)
  // into being just to leave it: without one there is nothing to leave.
  CZvMOSTClientImpl* client = mClient != nullptr ? mClient : CZvMOSTClientImpl::peekMOSTClientImpl();
  if (client != nullptr) client->getDeviceAdmin().deleteObserver(consumer);
}

IZvDeviceInfoConsumer::~IZvDeviceInfoConsumer() { mAdapter.deleteObserver(this); }
