// An in-process connection between a proxy and a stub on (possibly) different
// threads: each frame is handed to the other side's thread through its
// mailbox.
#ifndef PLATFORM_QRVI_LOCAL_CONNECTION_H
#define PLATFORM_QRVI_LOCAL_CONNECTION_H

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/qrvi/service_link.h"

class CZvProxyBase;
class CZvStubBase;

class CZvLocalConnection : public std::enable_shared_from_this<CZvLocalConnection> {
 public:
  // Connects proxy and stub: the stub hears of the new peer, then the proxy of
  // its link, each on its own thread. Call with both mailboxes open.
  static void connect(CZvProxyBase* proxy, const std::shared_ptr<CZvServiceMailbox>& proxyBox,
                      CZvStubBase* stub, const std::shared_ptr<CZvServiceMailbox>& stubBox);

 private:
  class ProxyEnd;
  class StubEnd;

  CZvLocalConnection() = default;
  bool sendToStub(const SZvServiceFrame& frame);
  bool sendToProxy(const SZvServiceFrame& frame);
  void closeFromProxy();
  void closeFromStub();

  CZvProxyBase* mProxy = nullptr;
  CZvStubBase* mStub = nullptr;
  std::shared_ptr<CZvServiceMailbox> mProxyBox;
  std::shared_ptr<CZvServiceMailbox> mStubBox;
  std::weak_ptr<IZvServiceLink> mProxyEnd;  // the link the proxy holds
  uint64_t mPeer = 0;
  std::atomic<bool> mClosed{false};
};

namespace ZvServices {
// A process-wide unique peer number (never 0).
uint64_t nextPeerId();
}  // namespace ZvServices

#endif  // PLATFORM_QRVI_LOCAL_CONNECTION_H
