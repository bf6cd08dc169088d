// CZvServiceBroker: finds the stub of an interface by role name. Stubs offer
// themselves here; proxies ask for a connection and get one as soon as a stub
// of their interface and role is offered, in this process (in-process
// connection) or in another one (local socket). The broker also shares one
// proxy per interface, role and thread between its users.
#ifndef PLATFORM_QRVI_SERVICE_BROKER_H
#define PLATFORM_QRVI_SERVICE_BROKER_H

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/basalt/zv_string.h"

class CZvProxyBase;
class CZvStubBase;
class CZvServiceMailbox;
class IZvProxyConnectListener;

class CZvServiceBroker {
 public:
  static CZvServiceBroker& instance();

  // Stub side (called by CZvStubBase on its thread).
  bool offer(CZvStubBase* stub, bool crossProcess);
  void withdraw(CZvStubBase* stub);

  // Proxy side (called by CZvProxyBase on its thread).
  void requestConnection(CZvProxyBase* proxy);
  void cancelConnection(CZvProxyBase* proxy);
  // Called by the socket transport when it connected a waiting proxy.
  void connectedCrossProcess(CZvProxyBase* proxy);

  // The calling thread's proxy of the interface and role: found again, or
  // made by factory and started. listener (may be null) becomes a connect
  // listener; when the proxy is connected already it hears so through the
  // proxy's thread loop, like the first user did. Each call is one use.
  CZvProxyBase* acquireProxy(const char* interfaceName, const CZvString& roleName,
                             const std::function<CZvProxyBase*()>& factory,
                             IZvProxyConnectListener* listener);
  // Ends one use; the proxy is deleted with its last use. False when proxy
  // is not a shared proxy of the calling thread.
  bool releaseProxy(CZvProxyBase* proxy, IZvProxyConnectListener* listener);

  // Roles under which interfaceName is offered, here or by other processes
  // of the same namespace.
  std::vector<CZvString> getAvailableRoles(const char* interfaceName);

  // Processes only see each other's offers within one namespace (default
  // "default", or the environment variable ZV_QRVI_NAMESPACE). Tests use their
  // own to stay apart.
  static void setNamespace(const char* name);
  static CZvString getNamespace();

 private:
  CZvServiceBroker() = default;

  struct SOffer {
    CZvString interfaceName;
    CZvString roleName;
    CZvStubBase* stub;
    std::shared_ptr<CZvServiceMailbox> mailbox;
  };
  struct SWaiting {
    CZvProxyBase* proxy;
  };
  struct SSharedProxy {
    CZvProxyBase* proxy;
    CZvString interfaceName;
    CZvString roleName;
    uintptr_t context;
    uint32_t uses;
  };

  void connectLocally(CZvProxyBase* proxy, const SOffer& offer);
  // fork() handlers: a child starts without the parent's offers and proxies,
  // whose threads it does not have.
  static void lockForFork();
  static void unlockAfterFork();
  static void resetInChild();

  std::mutex mMutex;
  std::vector<SOffer> mOffers;
  std::vector<SWaiting> mWaiting;
  std::vector<SSharedProxy> mShared;
};

#endif  // PLATFORM_QRVI_SERVICE_BROKER_H
