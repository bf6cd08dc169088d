#include "platform/qrvi/proxy_base.h"

#include <algorithm>
#include <cstring>

#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_trace.h"
#include "platform/qrvi/control_codec.h"
#include "platform/qrvi/service_broker.h"

namespace {
CZvTraceScopeDef gTrace("sys_qrvi_ProxyBase", "");
}

CZvProxyBase::CZvProxyBase(const SZvServiceInterface& iface, const CZvString& roleName,
                           ZvServices::DataStateType* dataStates, uint32_t dataStateCount)
    : mInterface(iface),
      mRoleName(roleName),
      mDataStates(dataStates),
      mDataStateCount(dataStateCount),
      mContextID(CZvThread::currentContextID()),
      mMailbox(std::make_shared<CZvServiceMailbox>()) {}

CZvProxyBase::~CZvProxyBase() {
  mMailbox->close();
  CZvServiceBroker::instance().cancelConnection(this);
  if (mLink) mLink->close();
}

void CZvProxyBase::startConnecting() {
  if (mStarted) return;
  mStarted = true;
  CZvServiceBroker::instance().requestConnection(this);
}

bool CZvProxyBase::isRequestPossible(uint32_t, const char* interfaceName) const {
  return mLink != nullptr && interfaceName != nullptr &&
         std::strcmp(interfaceName, mInterface.name) == 0;
}

ZvServices::DataStateType CZvProxyBase::getDataState(uint32_t id) const {
  int32_t index = updateIdIndex(id);
  if (index < 0 || static_cast<uint32_t>(index) >= mDataStateCount) {
    return ZvServices::DATA_NOT_AVAILABLE;
  }
  return mDataStates[index];
}

void CZvProxyBase::setDataState(uint32_t id, ZvServices::DataStateType state) {
  int32_t index = updateIdIndex(id);
  if (index >= 0 && static_cast<uint32_t>(index) < mDataStateCount) mDataStates[index] = state;
}

void CZvProxyBase::addConnectListener(IZvProxyConnectListener* listener) {
  if (listener == nullptr) return;
  if (std::find(mConnectListeners.begin(), mConnectListeners.end(), listener) ==
      mConnectListeners.end()) {
    mConnectListeners.push_back(listener);
  }
}

bool CZvProxyBase::removeConnectListener(IZvProxyConnectListener* listener) {
  auto it = std::find(mConnectListeners.begin(), mConnectListeners.end(), listener);
  if (it == mConnectListeners.end()) return false;
  mConnectListeners.erase(it);
  return true;
}

uint32_t CZvProxyBase::sendRequest(uint32_t id, const CZvQRVOStream& params, uint32_t registration) {
  if (!mLink) return 0;
  SZvServiceFrame frame;
  frame.type = ZvServices::FRAME_REQUEST;
  frame.kind = ZvServices::KIND_REQUEST;
  frame.updateID = id;
  frame.sequence = ++mLastSequence;
  if (frame.sequence == 0) frame.sequence = ++mLastSequence;
  frame.registration = registration;
  frame.body = params.bytes();
  if (!mLink->sendFrame(frame)) {
    CZvTraceScope(gTrace).sendFormattedWarning("%s/%s: request 0x%X not sent, link lost",
                                               mInterface.name, mRoleName.c_str(), id);
    return 0;
  }
  return frame.sequence;
}

void CZvProxyBase::sendControl(uint32_t kind, uint32_t id, uint32_t registration,
                               const CZvQRVOStream* body) {
  if (!mLink) return;
  SZvServiceFrame frame;
  frame.type = ZvServices::FRAME_REQUEST;
  frame.kind = kind;
  frame.updateID = id;
  frame.registration = registration;
  if (body != nullptr) frame.body = body->bytes();
  mLink->sendFrame(frame);
}

void CZvProxyBase::sendIdList(uint32_t kind, uint32_t registration, const uint32_t* ids,
                              uint32_t count) {
  CZvQRVOStream body;
  ZvServices::encodeIdList(ids, count, body);
  sendControl(kind, 0, registration, &body);
}

bool CZvProxyBase::setNotification(uint32_t id, IZvEventConsumer* consumer) {
  if (consumer == nullptr) return false;
  std::vector<IZvEventConsumer*>& consumers = mPlain[id];
  if (std::find(consumers.begin(), consumers.end(), consumer) != consumers.end()) return false;
  consumers.push_back(consumer);
  if (consumers.size() == 1) {
    // The stub answers a new listener of an attribute with its current value.
    sendControl(ZvServices::KIND_SET_NOTIFICATION, id, 0, nullptr);
  } else if (isAttributeId(id)) {
    // The stub knows this proxy already: answer the newcomer from the cache.
    ZvServices::DataStateType state = getDataState(id);
    if (state == ZvServices::DATA_VALID) {
      deliverNotification(*consumer, id, ZvServices::RESULT_UPDATE, 0);
    } else if (state == ZvServices::DATA_INVALID) {
      deliverNotification(*consumer, id, ZvServices::RESULT_UPDATE_INVALID, 0);
    }
  }
  return true;
}

bool CZvProxyBase::clearNotification(uint32_t id, IZvEventConsumer* consumer) {
  auto it = mPlain.find(id);
  if (it == mPlain.end()) return false;
  auto pos = std::find(it->second.begin(), it->second.end(), consumer);
  if (pos == it->second.end()) return false;
  it->second.erase(pos);
  if (it->second.empty()) {
    mPlain.erase(it);
    sendControl(ZvServices::KIND_CLEAR_NOTIFICATION, id, 0, nullptr);
  }
  return true;
}

void CZvProxyBase::clearAllNotifications(IZvEventConsumer* consumer) {
  std::vector<uint32_t> ids;
  for (const auto& entry : mPlain) {
    if (std::find(entry.second.begin(), entry.second.end(), consumer) != entry.second.end()) {
      ids.push_back(entry.first);
    }
  }
  for (uint32_t id : ids) clearNotification(id, consumer);
  for (auto it = mSessions.begin(); it != mSessions.end();) {
    std::vector<SSession>& sessions = it->second;
    std::vector<uint32_t> registrations;
    for (auto s = sessions.begin(); s != sessions.end();) {
      if (s->consumer == consumer) {
        registrations.push_back(s->registration);
        s = sessions.erase(s);
      } else {
        ++s;
      }
    }
    uint32_t id = it->first;
    it = sessions.empty() ? mSessions.erase(it) : std::next(it);
    for (uint32_t registration : registrations) {
      sendIdList(ZvServices::KIND_CLEAR_SESSION_NOTIFICATION, registration, &id, 1);
    }
  }
}

bool CZvProxyBase::setSessionNotification(uint32_t registration, const uint32_t* ids,
                                          uint32_t count, IZvEventConsumer* consumer) {
  if (consumer == nullptr || ids == nullptr || count == 0 ||
      !isRequestPossible(ids[0], mInterface.name)) {
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) mSessions[ids[i]].push_back(SSession{registration, consumer});
  sendIdList(ZvServices::KIND_SET_SESSION_NOTIFICATION, registration, ids, count);
  return true;
}

bool CZvProxyBase::clearSessionNotification(uint32_t registration, const uint32_t* ids,
                                            uint32_t count, IZvEventConsumer* consumer) {
  if (ids == nullptr || count == 0) return false;
  bool changed = false;
  for (uint32_t i = 0; i < count; ++i) {
    auto it = mSessions.find(ids[i]);
    if (it == mSessions.end()) continue;
    auto& sessions = it->second;
    auto end = std::remove_if(sessions.begin(), sessions.end(), [&](const SSession& s) {
      return s.registration == registration && s.consumer == consumer;
    });
    changed = changed || end != sessions.end();
    sessions.erase(end, sessions.end());
    if (sessions.empty()) mSessions.erase(it);
  }
  if (changed) sendIdList(ZvServices::KIND_CLEAR_SESSION_NOTIFICATION, registration, ids, count);
  return changed;
}

void CZvProxyBase::stopAllNotifications(const uint32_t* ids, uint32_t count) {
  if (ids == nullptr) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = ids[i];
    if (mPlain.erase(id) > 0) sendControl(ZvServices::KIND_CLEAR_NOTIFICATION, id, 0, nullptr);
    auto it = mSessions.find(id);
    if (it == mSessions.end()) continue;
    for (const SSession& s : it->second) {
      sendIdList(ZvServices::KIND_CLEAR_SESSION_NOTIFICATION, s.registration, &id, 1);
    }
    mSessions.erase(it);
  }
}

void CZvProxyBase::clearRegistration(uint32_t registration) {
  forgetRegistration(registration);
  sendControl(ZvServices::KIND_CLEAR_REGISTRATION, 0, registration, nullptr);
}

void CZvProxyBase::forgetRegistration(uint32_t registration) {
  for (auto it = mSessions.begin(); it != mSessions.end();) {
    auto& sessions = it->second;
    sessions.erase(std::remove_if(sessions.begin(), sessions.end(),
                                  [&](const SSession& s) { return s.registration == registration; }),
                   sessions.end());
    it = sessions.empty() ? mSessions.erase(it) : std::next(it);
  }
}

uint32_t CZvProxyBase::getNotificationCount(uint32_t id) const {
  uint32_t count = 0;
  auto plain = mPlain.find(id);
  if (plain != mPlain.end()) count += static_cast<uint32_t>(plain->second.size());
  auto sessions = mSessions.find(id);
  if (sessions != mSessions.end()) count += static_cast<uint32_t>(sessions->second.size());
  return count;
}

void CZvProxyBase::notifyConsumers(uint32_t listenId, uint32_t notifyId, uint32_t kind,
                                   uint32_t sequence, uint32_t registration) {
  // Copies: a consumer may change the lists while it is told.
  auto sessions = mSessions.find(listenId);
  if (sessions != mSessions.end()) {
    std::vector<SSession> copy = sessions->second;
    for (const SSession& s : copy) {
      if (registration == 0 || s.registration == registration) {
        deliverNotification(*s.consumer, notifyId, kind, sequence);
      }
    }
  }
  auto plain = mPlain.find(listenId);
  if (plain != mPlain.end()) {
    std::vector<IZvEventConsumer*> copy = plain->second;
    for (IZvEventConsumer* consumer : copy) deliverNotification(*consumer, notifyId, kind, sequence);
  }
}

void CZvProxyBase::onLinkUp(const std::shared_ptr<IZvServiceLink>& link) {
  if (mLink) {
    // Already served by another connection: keep it.
    link->close();
    return;
  }
  mLink = link;
  CZvTraceScope(gTrace).sendFormattedMessage("%s/%s connected (%s)", mInterface.name,
                                             mRoleName.c_str(),
                                             link->isCrossProcess() ? "process" : "local");
  // The new stub knows nothing of this proxy: repeat the plain notifications.
  for (const auto& entry : mPlain) {
    sendControl(ZvServices::KIND_SET_NOTIFICATION, entry.first, 0, nullptr);
  }
  onConnected();
  std::vector<IZvProxyConnectListener*> listeners = mConnectListeners;
  for (IZvProxyConnectListener* listener : listeners) {
    if (std::find(mConnectListeners.begin(), mConnectListeners.end(), listener) !=
        mConnectListeners.end()) {
      listener->componentConnected(this);
    }
  }
}

void CZvProxyBase::onLinkDown(const IZvServiceLink* link) {
  if (!mLink || mLink.get() != link) return;  // a stale report of an older link
  mLink.reset();
  CZvTraceScope(gTrace).sendFormattedMessage("%s/%s disconnected", mInterface.name,
                                             mRoleName.c_str());
  // Sessions lived in the stub that is gone; cached attribute values are no
  // longer backed by a server.
  mSessions.clear();
  for (uint32_t i = 0; i < mDataStateCount; ++i) {
    if (mDataStates[i] == ZvServices::DATA_VALID) mDataStates[i] = ZvServices::DATA_INVALID;
  }
  onDisconnected();
  std::vector<IZvProxyConnectListener*> listeners = mConnectListeners;
  for (IZvProxyConnectListener* listener : listeners) {
    if (std::find(mConnectListeners.begin(), mConnectListeners.end(), listener) !=
        mConnectListeners.end()) {
      listener->componentDisconnected(this);
    }
  }
  CZvServiceBroker::instance().requestConnection(this);
}

void CZvProxyBase::onFrame(const SZvServiceFrame& frame) {
  if (frame.type != ZvServices::FRAME_RESPONSE || !ZvServices::isResultKind(frame.kind)) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: dropped frame type %u kind %u",
                                             mInterface.name, mRoleName.c_str(), frame.type,
                                             frame.kind);
    return;
  }
  processResponseFrame(frame);
}

bool CZvProxyBase::hasConnectListener(const IZvProxyConnectListener* listener) const {
  return std::find(mConnectListeners.begin(), mConnectListeners.end(), listener) !=
         mConnectListeners.end();
}
