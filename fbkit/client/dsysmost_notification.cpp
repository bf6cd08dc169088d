#include "fbkit/client/dsysmost_notification.h"

const CZvClassID CDSYSMOSTServerNotificationEvent::sClassID("CDSYSMOSTServerNotificationEvent");

namespace {

// The responses being delivered on this thread, innermost first.
struct SDelivery {
  const CDSYSMOSTServerProxy* proxy;
  const CDSYSMOSTServerResponse* response;
  SDelivery* outer;
};
thread_local SDelivery* tCurrent = nullptr;

}  // namespace

const CDSYSMOSTServerResponse* ZvDSYSMOSTDelivery::currentResponse(
    const CDSYSMOSTServerProxy* proxy) {
  for (SDelivery* d = tCurrent; d != nullptr; d = d->outer) {
    if (d->proxy == proxy) return d->response;
  }
  return nullptr;
}

void ZvDSYSMOSTDelivery::releaseCurrent(const CDSYSMOSTServerProxy* proxy) {
  for (SDelivery* d = tCurrent; d != nullptr; d = d->outer) {
    if (d->proxy == proxy) d->response = nullptr;
  }
}

CDSYSMOSTServerNotificationEvent* CDSYSMOSTServerNotificationEvent::createEvent(
    const CDSYSMOSTServerNotification& n) {
  return new CDSYSMOSTServerNotificationEvent(n);
}

void CDSYSMOSTServerNotificationEvent::sendEvent(const CDSYSMOSTServerNotification& n) {
  createEvent(n)->send();
}

bool CDSYSMOSTServerNotificationEvent::addListener(IDSYSMOSTServerNotificationConsumer& consumer) {
  return CZvEvent::addListener(sClassID, &consumer);
}

bool CDSYSMOSTServerNotificationEvent::removeListener(
    const IDSYSMOSTServerNotificationConsumer& consumer) {
  return CZvEvent::removeListener(sClassID, &consumer);
}

void CDSYSMOSTServerNotificationEvent::set(const CDSYSMOSTServerNotification& n,
                                           std::shared_ptr<const CDSYSMOSTServerResponse> response) {
  mNotification = n;
  mResponse = std::move(response);
}

void* CDSYSMOSTServerNotificationEvent::castToPtr(const CZvClassID& id) {
  return id == sClassID ? this : CDSYSMOSTServerNotificationData::castToPtr(id);
}

void CDSYSMOSTServerNotificationEvent::dispatchSelf(CZvEventDispatcher& dispatcher) {
  CDSYSMOSTServerNotificationData::dispatchSelf(dispatcher);
  SDelivery delivery{mNotification.proxy, mResponse.get(), tCurrent};
  tCurrent = &delivery;
  deliverEvent(dispatcher, sClassID, [this](IZvEventConsumer& consumer) {
    if (auto* target = dynamic_cast<IDSYSMOSTServerNotificationConsumer*>(&consumer)) {
      target->processEvent(*this);
    }
  });
  tCurrent = delivery.outer;
}
