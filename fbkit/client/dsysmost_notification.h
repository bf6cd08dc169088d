// Delivery of DSYSMOSTServer responses and updates from the proxy to its
// consumers: the notification (proxy, result kind, update ID, sequence
// number) and the event that carries it to IDSYSMOSTServerNotificationConsumer.
//
// While a consumer handles the event, the proxy's parameter getters read the
// response that the event carries. Each event holds its own response, so a
// response that arrives before an earlier one was handled cannot change what
// the earlier handler reads.
#ifndef FBKIT_CLIENT_DSYSMOST_NOTIFICATION_H
#define FBKIT_CLIENT_DSYSMOST_NOTIFICATION_H

#include <cstdint>
#include <memory>

#include "fbkit/client/dsysmost_response.h"
#include "platform/basalt/zv_event.h"

class CDSYSMOSTServerProxy;
class CDSYSMOSTServerNotificationEvent;

class IDSYSMOSTServerNotificationConsumer : public IZvEventConsumer {
 public:
  ~IDSYSMOSTServerNotificationConsumer() override = default;
  virtual void processEvent(const CDSYSMOSTServerNotificationEvent& event) = 0;
};

struct CDSYSMOSTServerNotification {
  static constexpr uint32_t kNoId = 0xFFFFFFFFu;  // the "-1" of an empty notification

  CDSYSMOSTServerProxy* proxy = nullptr;
  uint32_t resultKind = 0;
  uint32_t updateID = kNoId;
  uint32_t sequence = 0;
};

class CDSYSMOSTServerNotificationData : public CZvInternalEvent {
 public:
  CDSYSMOSTServerNotificationData() = default;
  explicit CDSYSMOSTServerNotificationData(const CDSYSMOSTServerNotification& n) : mNotification(n) {}

  const CDSYSMOSTServerNotification& getNotification() const { return mNotification; }
  CDSYSMOSTServerProxy* getProxy() const { return mNotification.proxy; }
  uint32_t getResultKind() const { return mNotification.resultKind; }
  uint32_t getUpdateID() const { return mNotification.updateID; }
  uint32_t getSequenceNumber() const { return mNotification.sequence; }

 protected:
  CDSYSMOSTServerNotification mNotification;
};

class CDSYSMOSTServerNotificationEvent : public CDSYSMOSTServerNotificationData {
 public:
  static const CZvClassID sClassID;  // "CDSYSMOSTServerNotificationEvent"

  CDSYSMOSTServerNotificationEvent() = default;
  explicit CDSYSMOSTServerNotificationEvent(const CDSYSMOSTServerNotification& n)
      : CDSYSMOSTServerNotificationData(n) {}

  static CDSYSMOSTServerNotificationEvent* createEvent(const CDSYSMOSTServerNotification& n);
  static void sendEvent(const CDSYSMOSTServerNotification& n);
  static bool addListener(IDSYSMOSTServerNotificationConsumer& consumer);
  static bool removeListener(const IDSYSMOSTServerNotificationConsumer& consumer);

  // Fills the event for another delivery (the proxy's reusable event).
  void set(const CDSYSMOSTServerNotification& n,
           std::shared_ptr<const CDSYSMOSTServerResponse> response);
  // Drops the response (the proxy's hold on it ends).
  void releaseResponse() { mResponse.reset(); }
  const std::shared_ptr<const CDSYSMOSTServerResponse>& getResponse() const { return mResponse; }

  void* castToPtr(const CZvClassID& id) override;
  const CZvClassID& getClassID() const override { return sClassID; }
  // Makes the carried response the proxy's current one, then calls
  // processEvent of each consumer on this thread.
  void dispatchSelf(CZvEventDispatcher& dispatcher) override;

 private:
  std::shared_ptr<const CDSYSMOSTServerResponse> mResponse;
};

namespace ZvDSYSMOSTDelivery {
// The response being delivered on this thread for proxy, or null.
const CDSYSMOSTServerResponse* currentResponse(const CDSYSMOSTServerProxy* proxy);
// Ends the current delivery's response for proxy on this thread.
void releaseCurrent(const CDSYSMOSTServerProxy* proxy);
}  // namespace ZvDSYSMOSTDelivery

#endif  // FBKIT_CLIENT_DSYSMOST_NOTIFICATION_H
