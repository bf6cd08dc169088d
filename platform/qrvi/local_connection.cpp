#include "platform/qrvi/local_connection.h"

#include "platform/qrvi/proxy_base.h"
#include "platform/qrvi/stub_base.h"

uint64_t ZvServices::nextPeerId() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

class CZvLocalConnection::ProxyEnd : public IZvServiceLink {
 public:
  explicit ProxyEnd(std::shared_ptr<CZvLocalConnection> c) : mConnection(std::move(c)) {}
  bool sendFrame(const SZvServiceFrame& frame) override { return mConnection->sendToStub(frame); }
  void close() override { mConnection->closeFromProxy(); }
  bool isCrossProcess() const override { return false; }

 private:
  std::shared_ptr<CZvLocalConnection> mConnection;
};

class CZvLocalConnection::StubEnd : public IZvServiceLink {
 public:
  explicit StubEnd(std::shared_ptr<CZvLocalConnection> c) : mConnection(std::move(c)) {}
  bool sendFrame(const SZvServiceFrame& frame) override { return mConnection->sendToProxy(frame); }
  void close() override { mConnection->closeFromStub(); }
  bool isCrossProcess() const override { return false; }

 private:
  std::shared_ptr<CZvLocalConnection> mConnection;
};

void CZvLocalConnection::connect(CZvProxyBase* proxy,
                                 const std::shared_ptr<CZvServiceMailbox>& proxyBox,
                                 CZvStubBase* stub,
                                 const std::shared_ptr<CZvServiceMailbox>& stubBox) {
  std::shared_ptr<CZvLocalConnection> c(new CZvLocalConnection());
  c->mProxy = proxy;
  c->mStub = stub;
  c->mProxyBox = proxyBox;
  c->mStubBox = stubBox;
  c->mPeer = ZvServices::nextPeerId();
  std::shared_ptr<IZvServiceLink> stubEnd = std::make_shared<StubEnd>(c);
  std::shared_ptr<IZvServiceLink> proxyEnd = std::make_shared<ProxyEnd>(c);
  c->mProxyEnd = proxyEnd;
  uint64_t peer = c->mPeer;
  if (!stubBox->post([stub, peer, stubEnd] { stub->onPeerUp(peer, stubEnd); })) return;
  if (!proxyBox->post([proxy, proxyEnd] { proxy->onLinkUp(proxyEnd); })) {
    c->closeFromProxy();
  }
  // The stub end and the proxy end hold the connection; the connection does
  // not hold them back (no cycle).
}

bool CZvLocalConnection::sendToStub(const SZvServiceFrame& frame) {
  if (mClosed.load(std::memory_order_acquire)) return false;
  CZvStubBase* stub = mStub;
  uint64_t peer = mPeer;
  return mStubBox->post([stub, peer, frame] { stub->onFrame(peer, frame); });
}

bool CZvLocalConnection::sendToProxy(const SZvServiceFrame& frame) {
  if (mClosed.load(std::memory_order_acquire)) return false;
  CZvProxyBase* proxy = mProxy;
  return mProxyBox->post([proxy, frame] { proxy->onFrame(frame); });
}

void CZvLocalConnection::closeFromProxy() {
  if (mClosed.exchange(true)) return;
  CZvStubBase* stub = mStub;
  uint64_t peer = mPeer;
  mStubBox->post([stub, peer] { stub->onPeerDown(peer); });
}

void CZvLocalConnection::closeFromStub() {
  if (mClosed.exchange(true)) return;
  CZvProxyBase* proxy = mProxy;
  std::weak_ptr<IZvServiceLink> end = mProxyEnd;
  // The proxy compares with the link it holds; when that end is gone already
  // the proxy holds another link (or none) and ignores the report.
  mProxyBox->post([proxy, end] {
    std::shared_ptr<IZvServiceLink> link = end.lock();
    if (link) proxy->onLinkDown(link.get());
  });
}
