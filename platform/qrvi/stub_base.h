// The stub side of the middleware: CZvStubBase offers an interface under a
// role, keeps the listeners of every update ID per connected proxy (a peer),
// the registrations of each peer, and sends responses and updates to them.
//
// A stub belongs to the thread that created it; requests arrive on that
// thread through its mailbox.
#ifndef PLATFORM_QRVI_STUB_BASE_H
#define PLATFORM_QRVI_STUB_BASE_H

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_interface.h"
#include "platform/qrvi/service_link.h"
#include "platform/qrvi/service_types.h"

// One listener: a connected proxy and the registration number under which it
// listens (0 for a plain notification).
struct SZvStubListener {
  uint64_t peer = 0;
  uint32_t registration = 0;
  bool operator==(const SZvStubListener& o) const {
    return peer == o.peer && registration == o.registration;
  }
};

// The request being handled: who sent it, with which sequence number.
struct SZvRequestContext {
  uint64_t peer = 0;
  uint32_t sequence = 0;
  uint32_t registration = 0;
};

class CZvStubBase : private CZvNonCopyable {
 public:
  CZvStubBase(const SZvServiceInterface& iface, const CZvString& roleName);
  virtual ~CZvStubBase();

  // Offers the interface under the role to proxies of this process and, when
  // crossProcess is true, of other processes. Call once the derived object is
  // complete. False when the role is already offered here or the socket
  // cannot be created.
  bool offer(bool crossProcess = true);
  void withdraw();
  bool isOffered() const { return mOffered; }

  const char* getInterfaceName() const { return mInterface.name; }
  const CZvString& getRoleName() const { return mRoleName; }
  uint32_t getPeerCount() const { return static_cast<uint32_t>(mPeers.size()); }
  uint32_t getListenerCount(uint32_t id) const;

  // Directs the answers that follow to one registration (a session number as
  // handed to the implementation); 0 returns to the default choice.
  void selectSession(uint32_t sessionNumber) { mSelectedSession = sessionNumber; }
  // The session number of the registration being opened, while the
  // implementation's registration method runs; 0 otherwise.
  uint32_t getCurrentSession() const { return mCurrentSession; }

 protected:
  // A request (kind 256) of a peer. ctx stays valid during the call and is
  // also available as currentRequest().
  virtual void processRequestFrame(const SZvRequestContext& ctx, const SZvServiceFrame& frame) = 0;
  // A new listener of id (kind 257): answer attributes at once.
  virtual void onNewListener(uint32_t id, const SZvStubListener& listener) {
    (void)id;
    (void)listener;
  }
  // A registration of a peer is closed (unregistration or the peer is gone).
  virtual void onRegistrationClosed(uint32_t unregistrationId, uint32_t sessionNumber) {
    (void)unregistrationId;
    (void)sessionNumber;
  }
  // First listener of an ID added, last one removed.
  virtual void onFirstListener(uint32_t id) { (void)id; }
  virtual void onLastListenerRemoved(uint32_t id) { (void)id; }

  const SZvRequestContext* currentRequest() const { return mCurrent; }

  // Sends one response frame; false when the peer is gone.
  bool sendToListener(const SZvStubListener& listener, uint32_t kind, uint32_t id,
                      uint32_t sequence, const CZvQRVOStream* params);
  // Sends to every listener of id; returns how many got it.
  uint32_t sendToAllListeners(uint32_t kind, uint32_t id, const CZvQRVOStream* params);
  std::vector<SZvStubListener> getListeners(uint32_t id) const;
  // Drops every listener of id (the last-listener hook runs).
  void clearListeners(uint32_t id);

  // The receiver of the next answer of responseId: the peer whose
  // registration is pending for it, else the selected session, else the
  // sender of the request being handled, else the first listener.
  bool prepareAnswer(uint32_t responseId, SZvStubListener& target);

  // Registrations. A registration opened by the current request is
  // remembered under its unregistration ID; the returned session number is
  // unique within this stub.
  uint32_t openRegistration(const SZvRequestContext& ctx, uint32_t unregistrationId);
  // Closes the registration of the current request's peer and registration
  // number; false when there is none.
  bool closeRegistration(const SZvRequestContext& ctx, uint32_t& unregistrationId,
                         uint32_t& sessionNumber);

  // Answers that are awaited: the stub is busy for responseId until the
  // answer is sent.
  bool isAnswerPending(uint32_t responseId) const;
  void setAnswerPending(uint32_t responseId, const SZvRequestContext& ctx);
  void clearAnswerPending(uint32_t responseId);

  uint32_t nextSequence() { return ++mLastSequence; }

 private:
  struct SRegistration {
    uint64_t peer;
    uint32_t registration;
    uint32_t unregistrationId;
    uint32_t session;
  };

  friend class CZvServiceBroker;
  friend class CZvSocketTransport;
  friend class CZvLocalConnection;
  void onPeerUp(uint64_t peer, const std::shared_ptr<IZvServiceLink>& link);
  void onPeerDown(uint64_t peer);
  void onFrame(uint64_t peer, const SZvServiceFrame& frame);
  const std::shared_ptr<CZvServiceMailbox>& mailbox() const { return mMailbox; }

  void addListener(uint32_t id, const SZvStubListener& listener);
  void removeListeners(uint32_t id, bool (*match)(const SZvStubListener&, const void*),
                       const void* ctx);
  void handleIdList(const SZvServiceFrame& frame, uint64_t peer, bool set);
  void closeRegistrationsOf(uint64_t peer, bool (*match)(const SRegistration&, const void*),
                            const void* ctx);

  SZvServiceInterface mInterface;
  CZvString mRoleName;
  bool mOffered = false;
  std::shared_ptr<CZvServiceMailbox> mMailbox;
  std::map<uint64_t, std::shared_ptr<IZvServiceLink>> mPeers;
  std::map<uint32_t, std::vector<SZvStubListener>> mListeners;
  std::vector<SRegistration> mRegistrations;
  std::map<uint32_t, SZvRequestContext> mPending;
  const SZvRequestContext* mCurrent = nullptr;
  uint32_t mSelectedSession = 0;
  uint32_t mCurrentSession = 0;
  uint32_t mLastSession = 0;
  uint32_t mLastSequence = 0;
};

// The base of stubs of interfaces with registrations.
class CZvRegisterStubBase : public CZvStubBase {
 public:
  using CZvStubBase::CZvStubBase;
};

#endif  // PLATFORM_QRVI_STUB_BASE_H
