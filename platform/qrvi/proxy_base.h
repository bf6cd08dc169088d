// The proxy side of the middleware: CZvProxyBase sends requests to the stub
// that offers its interface under its role, keeps the notification
// bookkeeping of its consumers and the data state of every update ID, and
// tells its connect listeners when the stub comes and goes.
//
// A proxy belongs to the thread that created it; everything here is called on
// that thread, and transports reach it only through its mailbox.
#ifndef PLATFORM_QRVI_PROXY_BASE_H
#define PLATFORM_QRVI_PROXY_BASE_H

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/basalt/zv_event.h"
#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_interface.h"
#include "platform/qrvi/service_link.h"
#include "platform/qrvi/service_types.h"

class CZvProxyBase;

class IZvProxyConnectListener {
 public:
  virtual ~IZvProxyConnectListener() = default;
  virtual void componentConnected(CZvProxyBase* proxy) = 0;
  virtual void componentDisconnected(CZvProxyBase* proxy) = 0;
};

class CZvProxyBase : private CZvNonCopyable {
 public:
  // dataStates: one entry per update ID (requests, responses, attributes in
  // this order, as updateIdIndex() numbers them); owned by the derived class.
  CZvProxyBase(const SZvServiceInterface& iface, const CZvString& roleName,
               ZvServices::DataStateType* dataStates, uint32_t dataStateCount);
  virtual ~CZvProxyBase();

  const char* getInterfaceName() const { return mInterface.name; }
  const SZvServiceInterface& getInterface() const { return mInterface; }
  const CZvString& getRoleName() const { return mRoleName; }
  bool isConnected() const { return mLink != nullptr; }
  // True while connected to a stub in another process.
  bool isConnectedCrossProcess() const { return mLink != nullptr && mLink->isCrossProcess(); }
  uintptr_t getContextID() const { return mContextID; }
  bool isMandatory() const { return mMandatory; }
  void setMandatory(bool mandatory) { mMandatory = mandatory; }

  // A request can be sent now: connected, and interfaceName names this
  // proxy's interface.
  bool isRequestPossible(uint32_t id, const char* interfaceName) const;
  ZvServices::DataStateType getDataState(uint32_t id) const;

  // Starts looking for the stub; called once after construction (by the
  // broker). The connect listeners hear of the connection later, on this
  // thread.
  void startConnecting();

  void addConnectListener(IZvProxyConnectListener* listener);
  bool removeConnectListener(IZvProxyConnectListener* listener);
  bool hasConnectListener(const IZvProxyConnectListener* listener) const;
  uint32_t getConnectListenerCount() const { return static_cast<uint32_t>(mConnectListeners.size()); }

  // Notification bookkeeping. A consumer set for an ID receives every
  // response or update of that ID; a session registration receives them
  // for its registration number. Return false when nothing changed.
  bool setNotification(uint32_t id, IZvEventConsumer* consumer);
  bool clearNotification(uint32_t id, IZvEventConsumer* consumer);
  void clearAllNotifications(IZvEventConsumer* consumer);
  bool setSessionNotification(uint32_t registration, const uint32_t* ids, uint32_t count,
                              IZvEventConsumer* consumer);
  bool clearSessionNotification(uint32_t registration, const uint32_t* ids, uint32_t count,
                                IZvEventConsumer* consumer);
  void stopAllNotifications(const uint32_t* ids, uint32_t count);
  // Drops every notification of a registration number, here and at the stub.
  void clearRegistration(uint32_t registration);
  // Drops them here only (the stub clears its side on the unregistration).
  void forgetRegistration(uint32_t registration);
  uint32_t getNotificationCount(uint32_t id) const;

  // Next registration number (1, 2, ...; never 0).
  uint32_t nextRegistrationNumber() { return ++mLastRegistration; }

 protected:
  // Sends a request of kind 256 with the parameter block; returns its
  // sequence number, 0 when not connected.
  uint32_t sendRequest(uint32_t id, const CZvQRVOStream& params, uint32_t registration = 0);

  void setDataState(uint32_t id, ZvServices::DataStateType state);

  // Tells the consumers of listenId about a response: the session consumers
  // of the registration (all sessions when registration is 0) first, then the
  // plain ones. notifyId is the ID they are told.
  void notifyConsumers(uint32_t listenId, uint32_t notifyId, uint32_t kind, uint32_t sequence,
                       uint32_t registration);

  // The interface's position of an update ID in the data-state array, or -1.
  virtual int32_t updateIdIndex(uint32_t id) const = 0;
  virtual bool isAttributeId(uint32_t id) const = 0;
  // Hands a notification to one consumer (normally by posting an event).
  virtual void deliverNotification(IZvEventConsumer& consumer, uint32_t id, uint32_t kind,
                                   uint32_t sequence) = 0;
  // A response frame from the stub, on this thread.
  virtual void processResponseFrame(const SZvServiceFrame& frame) = 0;
  // Called when the link comes up, before the listeners hear of it.
  virtual void onConnected() {}
  // Called when the link goes down, before the listeners hear of it.
  virtual void onDisconnected() {}
  // Asks the stub for notifications of id without a local consumer (for
  // values the proxy keeps for itself, such as the server's version).
  void requestStubNotification(uint32_t id) {
    sendControl(ZvServices::KIND_SET_NOTIFICATION, id, 0, nullptr);
  }

 private:
  struct SSession {
    uint32_t registration;
    IZvEventConsumer* consumer;
  };

  friend class CZvServiceBroker;
  friend class CZvSocketTransport;
  friend class CZvLocalConnection;
  void onLinkUp(const std::shared_ptr<IZvServiceLink>& link);
  void onLinkDown(const IZvServiceLink* link);
  void onFrame(const SZvServiceFrame& frame);
  const std::shared_ptr<CZvServiceMailbox>& mailbox() const { return mMailbox; }

  void sendControl(uint32_t kind, uint32_t id, uint32_t registration, const CZvQRVOStream* body);
  void sendIdList(uint32_t kind, uint32_t registration, const uint32_t* ids, uint32_t count);

  SZvServiceInterface mInterface;
  CZvString mRoleName;
  ZvServices::DataStateType* mDataStates;
  uint32_t mDataStateCount;
  uintptr_t mContextID;
  bool mMandatory = true;
  bool mStarted = false;
  std::shared_ptr<CZvServiceMailbox> mMailbox;
  std::shared_ptr<IZvServiceLink> mLink;
  std::vector<IZvProxyConnectListener*> mConnectListeners;
  std::map<uint32_t, std::vector<IZvEventConsumer*>> mPlain;
  std::map<uint32_t, std::vector<SSession>> mSessions;
  uint32_t mLastRegistration = 0;
  uint32_t mLastSequence = 0;
};

// The base of proxies of interfaces with registrations (numbered sessions);
// CZvProxyBase carries that bookkeeping already.
class CZvRegisterProxyBase : public CZvProxyBase {
 public:
  using CZvProxyBase::CZvProxyBase;
};

#endif  // PLATFORM_QRVI_PROXY_BASE_H
