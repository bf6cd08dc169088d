#include "platform/qrvi/stub_base.h"

#include <algorithm>

#include "platform/basalt/zv_trace.h"
#include "platform/qrvi/control_codec.h"
#include "platform/qrvi/service_broker.h"

namespace {
CZvTraceScopeDef gTrace("sys_qrvi_StubBase", "");

constexpr uint32_t kAllIds = 0xFFFFFFFFu;  // no update ID has this value

bool matchPeer(const SZvStubListener& l, const void* ctx) {
  return l.peer == *static_cast<const uint64_t*>(ctx);
}
bool matchListener(const SZvStubListener& l, const void* ctx) {
  return l == *static_cast<const SZvStubListener*>(ctx);
}
}  // namespace

CZvStubBase::CZvStubBase(const SZvServiceInterface& iface, const CZvString& roleName)
    : mInterface(iface), mRoleName(roleName), mMailbox(std::make_shared<CZvServiceMailbox>()) {}

CZvStubBase::~CZvStubBase() {
  withdraw();
  mMailbox->close();
  for (auto& peer : mPeers) peer.second->close();
}

bool CZvStubBase::offer(bool crossProcess) {
  if (mOffered) return true;
  mOffered = CZvServiceBroker::instance().offer(this, crossProcess);
  return mOffered;
}

void CZvStubBase::withdraw() {
  if (!mOffered) return;
  mOffered = false;
  CZvServiceBroker::instance().withdraw(this);
  // Every connected proxy loses its stub.
  std::map<uint64_t, std::shared_ptr<IZvServiceLink>> peers;
  peers.swap(mPeers);
  for (auto& peer : peers) peer.second->close();
  mListeners.clear();
  mRegistrations.clear();
  mPending.clear();
}

uint32_t CZvStubBase::getListenerCount(uint32_t id) const {
  auto it = mListeners.find(id);
  return it == mListeners.end() ? 0 : static_cast<uint32_t>(it->second.size());
}

std::vector<SZvStubListener> CZvStubBase::getListeners(uint32_t id) const {
  auto it = mListeners.find(id);
  return it == mListeners.end() ? std::vector<SZvStubListener>() : it->second;
}

void CZvStubBase::clearListeners(uint32_t id) {
  removeListeners(id, [](const SZvStubListener&, const void*) { return true; }, nullptr);
}

bool CZvStubBase::sendToListener(const SZvStubListener& listener, uint32_t kind, uint32_t id,
                                 uint32_t sequence, const CZvQRVOStream* params) {
  auto peer = mPeers.find(listener.peer);
  if (peer == mPeers.end()) return false;
  SZvServiceFrame frame;
  frame.type = ZvServices::FRAME_RESPONSE;
  frame.kind = kind;
  frame.updateID = id;
  frame.sequence = sequence;
  frame.registration = listener.registration;
  if (params != nullptr) frame.body = params->bytes();
  return peer->second->sendFrame(frame);
}

uint32_t CZvStubBase::sendToAllListeners(uint32_t kind, uint32_t id, const CZvQRVOStream* params) {
  uint32_t sent = 0;
  uint32_t sequence = nextSequence();
  for (const SZvStubListener& listener : getListeners(id)) {
    if (sendToListener(listener, kind, id, sequence, params)) ++sent;
  }
  return sent;
}

bool CZvStubBase::prepareAnswer(uint32_t responseId, SZvStubListener& target) {
  auto pending = mPending.find(responseId);
  if (pending != mPending.end()) {
    target.peer = pending->second.peer;
    target.registration = pending->second.registration;
    mPending.erase(pending);
    return true;
  }
  auto listeners = mListeners.find(responseId);
  if (listeners == mListeners.end() || listeners->second.empty()) return false;
  const std::vector<SZvStubListener>& all = listeners->second;
  if (mSelectedSession != 0) {
    for (const SRegistration& r : mRegistrations) {
      if (r.session != mSelectedSession) continue;
      SZvStubListener wanted{r.peer, r.registration};
      if (std::find(all.begin(), all.end(), wanted) != all.end()) {
        target = wanted;
        return true;
      }
    }
  }
  if (mCurrent != nullptr) {
    for (const SZvStubListener& l : all) {
      if (l.peer == mCurrent->peer) {
        target = l;
        return true;
      }
    }
  }
  target = all.front();
  return true;
}

uint32_t CZvStubBase::openRegistration(const SZvRequestContext& ctx, uint32_t unregistrationId) {
  uint32_t session = ++mLastSession;
  if (session == 0) session = ++mLastSession;
  mRegistrations.push_back(SRegistration{ctx.peer, ctx.registration, unregistrationId, session});
  mCurrentSession = session;
  return session;
}

bool CZvStubBase::closeRegistration(const SZvRequestContext& ctx, uint32_t& unregistrationId,
                                    uint32_t& sessionNumber) {
  SZvStubListener session{ctx.peer, ctx.registration};
  removeListeners(kAllIds, &matchListener, &session);
  for (auto it = mRegistrations.begin(); it != mRegistrations.end(); ++it) {
    if (it->peer == ctx.peer && it->registration == ctx.registration) {
      unregistrationId = it->unregistrationId;
      sessionNumber = it->session;
      mRegistrations.erase(it);
      return true;
    }
  }
  return false;
}

bool CZvStubBase::isAnswerPending(uint32_t responseId) const {
  return mPending.find(responseId) != mPending.end();
}

void CZvStubBase::setAnswerPending(uint32_t responseId, const SZvRequestContext& ctx) {
  mPending[responseId] = ctx;
}

void CZvStubBase::clearAnswerPending(uint32_t responseId) { mPending.erase(responseId); }

void CZvStubBase::addListener(uint32_t id, const SZvStubListener& listener) {
  std::vector<SZvStubListener>& listeners = mListeners[id];
  if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) return;
  if (listeners.empty()) onFirstListener(id);
  listeners.push_back(listener);
}

// kAllIds removes the matching listeners of every ID.
void CZvStubBase::removeListeners(uint32_t id, bool (*match)(const SZvStubListener&, const void*),
                                  const void* ctx) {
  std::vector<uint32_t> emptied;
  for (auto it = mListeners.begin(); it != mListeners.end();) {
    if (id != kAllIds && it->first != id) {
      ++it;
      continue;
    }
    auto& listeners = it->second;
    size_t before = listeners.size();
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [&](const SZvStubListener& l) { return match(l, ctx); }),
                    listeners.end());
    if (listeners.empty()) {
      if (before > 0) emptied.push_back(it->first);
      it = mListeners.erase(it);
    } else {
      ++it;
    }
  }
  for (uint32_t emptiedId : emptied) onLastListenerRemoved(emptiedId);
}

void CZvStubBase::handleIdList(const SZvServiceFrame& frame, uint64_t peer, bool set) {
  std::vector<uint32_t> ids;
  if (!ZvServices::decodeIdList(frame.body.data(), static_cast<uint32_t>(frame.body.size()), ids)) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: malformed notification list from peer %llu",
                                             mInterface.name, mRoleName.c_str(),
                                             static_cast<unsigned long long>(peer));
    return;
  }
  SZvStubListener listener{peer, frame.registration};
  for (uint32_t id : ids) {
    if (set) {
      addListener(id, listener);
    } else {
      removeListeners(id, &matchListener, &listener);
    }
  }
}

void CZvStubBase::closeRegistrationsOf(uint64_t peer,
                                       bool (*match)(const SRegistration&, const void*),
                                       const void* ctx) {
  std::vector<SRegistration> closing;
  for (auto it = mRegistrations.begin(); it != mRegistrations.end();) {
    if (it->peer == peer && match(*it, ctx)) {
      closing.push_back(*it);
      it = mRegistrations.erase(it);
    } else {
      ++it;
    }
  }
  for (const SRegistration& r : closing) onRegistrationClosed(r.unregistrationId, r.session);
}

void CZvStubBase::onPeerUp(uint64_t peer, const std::shared_ptr<IZvServiceLink>& link) {
  if (!mOffered) {
    link->close();
    return;
  }
  mPeers[peer] = link;
  CZvTraceScope(gTrace).sendFormattedMessage("%s/%s: peer %llu connected (%s)", mInterface.name,
                                             mRoleName.c_str(),
                                             static_cast<unsigned long long>(peer),
                                             link->isCrossProcess() ? "process" : "local");
}

void CZvStubBase::onPeerDown(uint64_t peer) {
  auto it = mPeers.find(peer);
  if (it == mPeers.end()) return;
  mPeers.erase(it);
  CZvTraceScope(gTrace).sendFormattedMessage("%s/%s: peer %llu gone", mInterface.name,
                                             mRoleName.c_str(),
                                             static_cast<unsigned long long>(peer));
  for (auto pending = mPending.begin(); pending != mPending.end();) {
    pending = pending->second.peer == peer ? mPending.erase(pending) : std::next(pending);
  }
  removeListeners(kAllIds, &matchPeer, &peer);
  closeRegistrationsOf(peer, [](const SRegistration&, const void*) { return true; }, nullptr);
}

void CZvStubBase::onFrame(uint64_t peer, const SZvServiceFrame& frame) {
  if (mPeers.find(peer) == mPeers.end()) return;  // arrived after the peer was dropped
  if (frame.type != ZvServices::FRAME_REQUEST) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: dropped frame type %u", mInterface.name,
                                             mRoleName.c_str(), frame.type);
    return;
  }
  SZvStubListener plain{peer, 0};
  switch (frame.kind) {
    case ZvServices::KIND_REQUEST: {
      SZvRequestContext ctx{peer, frame.sequence, frame.registration};
      mCurrent = &ctx;
      processRequestFrame(ctx, frame);
      mCurrent = nullptr;
      mCurrentSession = 0;
      break;
    }
    case ZvServices::KIND_SET_NOTIFICATION: {
      bool known = false;
      auto it = mListeners.find(frame.updateID);
      if (it != mListeners.end()) {
        known = std::find(it->second.begin(), it->second.end(), plain) != it->second.end();
      }
      addListener(frame.updateID, plain);
      if (!known) onNewListener(frame.updateID, plain);
      break;
    }
    case ZvServices::KIND_CLEAR_NOTIFICATION:
      removeListeners(frame.updateID, &matchListener, &plain);
      break;
    case ZvServices::KIND_CLEAR_ALL_NOTIFICATIONS:
      removeListeners(kAllIds, &matchListener, &plain);
      break;
    case ZvServices::KIND_SET_SESSION_NOTIFICATION:
      handleIdList(frame, peer, true);
      break;
    case ZvServices::KIND_CLEAR_SESSION_NOTIFICATION:
      handleIdList(frame, peer, false);
      break;
    case ZvServices::KIND_CLEAR_REGISTRATION: {
      SZvStubListener session{peer, frame.registration};
      removeListeners(kAllIds, &matchListener, &session);
      break;
    }
    default:
      CZvTraceScope(gTrace).sendFormattedError("%s/%s: unknown request kind %u", mInterface.name,
                                               mRoleName.c_str(), frame.kind);
      break;
  }
}
