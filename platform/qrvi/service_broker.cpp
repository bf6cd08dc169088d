#include "platform/qrvi/service_broker.h"

#include <pthread.h>

#include <algorithm>
#include <cstdlib>

#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_trace.h"
#include "platform/qrvi/local_connection.h"
#include "platform/qrvi/proxy_base.h"
#include "platform/qrvi/socket_transport.h"
#include "platform/qrvi/stub_base.h"

namespace {

CZvTraceScopeDef gTrace("sys_qrvi_ServiceBroker", "");

std::mutex& namespaceMutex() {
  static std::mutex m;
  return m;
}

CZvString& namespaceName() {
  static CZvString name = [] {
    const char* env = std::getenv("ZV_QRVI_NAMESPACE");
    return CZvString(env != nullptr && env[0] != '\0' ? env : "default");
  }();
  return name;
}

}  // namespace

CZvServiceBroker& CZvServiceBroker::instance() {
  static CZvServiceBroker* broker = [] {
    auto* b = new CZvServiceBroker();  // lives until exit
    // One set of handlers for broker and transport, so that their locks are
    // taken in the order used everywhere else.
    pthread_atfork(&CZvServiceBroker::lockForFork, &CZvServiceBroker::unlockAfterFork,
                   &CZvServiceBroker::resetInChild);
    return b;
  }();
  return *broker;
}

void CZvServiceBroker::lockForFork() {
  instance().mMutex.lock();
  CZvSocketTransport::lockForFork();
}

void CZvServiceBroker::unlockAfterFork() {
  CZvSocketTransport::unlockAfterFork();
  instance().mMutex.unlock();
}

void CZvServiceBroker::resetInChild() {
  CZvSocketTransport::resetInChild();
  CZvServiceBroker& b = instance();
  b.mOffers.clear();
  b.mWaiting.clear();
  b.mShared.clear();
  b.mMutex.unlock();
}

void CZvServiceBroker::setNamespace(const char* name) {
  std::lock_guard<std::mutex> lock(namespaceMutex());
  namespaceName() = CZvString(name != nullptr && name[0] != '\0' ? name : "default");
}

CZvString CZvServiceBroker::getNamespace() {
  std::lock_guard<std::mutex> lock(namespaceMutex());
  return namespaceName();
}

bool CZvServiceBroker::offer(CZvStubBase* stub, bool crossProcess) {
  std::vector<CZvProxyBase*> waiting;
  SOffer offer{stub->getInterfaceName(), stub->getRoleName(), stub, stub->mailbox()};
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (const SOffer& o : mOffers) {
      if (o.interfaceName == offer.interfaceName && o.roleName == offer.roleName) {
        CZvTraceScope(gTrace).sendFormattedError("%s/%s is offered already",
                                                 offer.interfaceName.c_str(),
                                                 offer.roleName.c_str());
        return false;
      }
    }
    if (crossProcess && !CZvSocketTransport::instance().listen(stub)) return false;
    mOffers.push_back(offer);
    for (auto it = mWaiting.begin(); it != mWaiting.end();) {
      if (offer.interfaceName == it->proxy->getInterfaceName() &&
          offer.roleName == it->proxy->getRoleName()) {
        waiting.push_back(it->proxy);
        it = mWaiting.erase(it);
      } else {
        ++it;
      }
    }
    for (CZvProxyBase* proxy : waiting) {
      CZvSocketTransport::instance().cancel(proxy);
      connectLocally(proxy, offer);
    }
  }
  CZvTraceScope(gTrace).sendFormattedMessage("offered %s/%s", offer.interfaceName.c_str(),
                                             offer.roleName.c_str());
  return true;
}

void CZvServiceBroker::withdraw(CZvStubBase* stub) {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mOffers.erase(std::remove_if(mOffers.begin(), mOffers.end(),
                                 [stub](const SOffer& o) { return o.stub == stub; }),
                  mOffers.end());
  }
  // Without the broker's lock: this waits for the I/O thread, which may itself
  // need that lock meanwhile.
  CZvSocketTransport::instance().stopListening(stub);
}

void CZvServiceBroker::connectLocally(CZvProxyBase* proxy, const SOffer& offer) {
  CZvLocalConnection::connect(proxy, proxy->mailbox(), offer.stub, offer.mailbox);
}

void CZvServiceBroker::requestConnection(CZvProxyBase* proxy) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (const SOffer& o : mOffers) {
    if (o.interfaceName == proxy->getInterfaceName() && o.roleName == proxy->getRoleName()) {
      connectLocally(proxy, o);
      return;
    }
  }
  for (const SWaiting& w : mWaiting) {
    if (w.proxy == proxy) return;
  }
  mWaiting.push_back(SWaiting{proxy});
  CZvSocketTransport::instance().connectWhenAvailable(proxy);
}

void CZvServiceBroker::cancelConnection(CZvProxyBase* proxy) {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mWaiting.erase(std::remove_if(mWaiting.begin(), mWaiting.end(),
                                  [proxy](const SWaiting& w) { return w.proxy == proxy; }),
                   mWaiting.end());
  }
  CZvSocketTransport::instance().cancel(proxy);
}

void CZvServiceBroker::connectedCrossProcess(CZvProxyBase* proxy) {
  std::lock_guard<std::mutex> lock(mMutex);
  mWaiting.erase(std::remove_if(mWaiting.begin(), mWaiting.end(),
                                [proxy](const SWaiting& w) { return w.proxy == proxy; }),
                 mWaiting.end());
}

CZvProxyBase* CZvServiceBroker::acquireProxy(const char* interfaceName, const CZvString& roleName,
                                             const std::function<CZvProxyBase*()>& factory,
                                             IZvProxyConnectListener* listener) {
  uintptr_t context = CZvThread::currentContextID();
  CZvProxyBase* proxy = nullptr;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (SSharedProxy& shared : mShared) {
      if (shared.context == context && shared.interfaceName == interfaceName &&
          shared.roleName == roleName) {
        ++shared.uses;
        proxy = shared.proxy;
        break;
      }
    }
  }
  if (proxy != nullptr) {
    proxy->addConnectListener(listener);
    if (listener != nullptr && proxy->isConnected()) {
      // Tell the newcomer the way the first user was told: from the loop.
      std::shared_ptr<CZvServiceMailbox> box = proxy->mailbox();
      box->post([proxy, listener] {
        if (proxy->isConnected() && proxy->hasConnectListener(listener)) {
          listener->componentConnected(proxy);
        }
      });
    }
    return proxy;
  }
  proxy = factory();
  if (proxy == nullptr) return nullptr;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mShared.push_back(SSharedProxy{proxy, interfaceName, roleName, context, 1});
  }
  proxy->addConnectListener(listener);
  proxy->startConnecting();
  return proxy;
}

bool CZvServiceBroker::releaseProxy(CZvProxyBase* proxy, IZvProxyConnectListener* listener) {
  uintptr_t context = CZvThread::currentContextID();
  bool last = false;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = std::find_if(mShared.begin(), mShared.end(), [&](const SSharedProxy& s) {
      return s.proxy == proxy && s.context == context;
    });
    if (it == mShared.end()) return false;
    if (--it->uses == 0) {
      mShared.erase(it);
      last = true;
    }
  }
  proxy->removeConnectListener(listener);
  if (last) delete proxy;
  return true;
}

std::vector<CZvString> CZvServiceBroker::getAvailableRoles(const char* interfaceName) {
  std::vector<CZvString> roles;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (const SOffer& o : mOffers) {
      if (o.interfaceName == interfaceName) roles.push_back(o.roleName);
    }
  }
  for (const CZvString& role : CZvSocketTransport::offeredRoles(interfaceName)) {
    if (std::find(roles.begin(), roles.end(), role) == roles.end()) roles.push_back(role);
  }
  return roles;
}
