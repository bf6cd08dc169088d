#include "platform/qrvi/socket_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/basalt/zv_trace.h"
#include "platform/qrvi/control_codec.h"
#include "platform/qrvi/local_connection.h"
#include "platform/qrvi/proxy_base.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_broker.h"
#include "platform/qrvi/service_frame.h"
#include "platform/qrvi/stub_base.h"

namespace {

CZvTraceScopeDef gTrace("sys_qrvi_SocketTransport", "");

std::atomic<uint32_t> gRetryMs{20};
// Frames of one connection handed to its owner's thread and not yet handled.
// Beyond this the I/O thread stops reading that connection until the owner
// catches up, so a peer that floods cannot make this process queue without
// bound; the socket buffers then slow the peer down.
constexpr uint32_t kMaxFramesInFlight = 4096;
constexpr int kThrottledPollMs = 2;
constexpr int kSendTimeoutMs = 2000;

const char kPrefix[] = "zvqrvi.";

uint64_t nowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace

// One socket connection; the I/O thread owns the descriptor's life, other
// threads only send on it or shut it down.
class CZvSocketTransport::Connection : public IZvServiceLink {
 public:
  enum State { HANDSHAKE, OPEN };

  Connection(int fd, bool serverSide) : mFd(fd), mServerSide(serverSide) {}

  bool sendFrame(const SZvServiceFrame& frame) override {
    thread_local std::vector<uint8_t> scratch;
    scratch.clear();
    ZvEncodeServiceFrame(frame, scratch);
    return sendBytes(scratch.data(), scratch.size());
  }

  void close() override {
    std::lock_guard<std::mutex> lock(mSendMutex);
    if (!mClosed && !mShutDown) {
      ::shutdown(mFd, SHUT_RDWR);
      mShutDown = true;
    }
  }

  bool isCrossProcess() const override { return true; }

  bool sendBytes(const uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> lock(mSendMutex);
    if (mClosed || mShutDown) return false;
    while (size > 0) {
      ssize_t n = ::send(mFd, data, size, MSG_NOSIGNAL);
      if (n > 0) {
        data += n;
        size -= static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        // The peer reads on its own I/O thread; wait for room, but not forever.
        pollfd p{mFd, POLLOUT, 0};
        if (::poll(&p, 1, kSendTimeoutMs) > 0 && (p.revents & POLLOUT) != 0) continue;
      }
      ::shutdown(mFd, SHUT_RDWR);
      mShutDown = true;
      return false;
    }
    return true;
  }

  // I/O thread only.
  void finalize() {
    std::lock_guard<std::mutex> lock(mSendMutex);
    if (mClosed) return;
    mClosed = true;
    ::close(mFd);
  }

  // In a forked child only, where no other thread exists.
  void closeInChild() { ::close(mFd); }

  int fd() const { return mFd; }
  bool serverSide() const { return mServerSide; }

  // Counts one frame handed to the owner's thread until the returned token
  // is gone (handled, or dropped with a closed mailbox).
  std::shared_ptr<void> frameInFlight() {
    framesInFlight.fetch_add(1, std::memory_order_relaxed);
    std::atomic<uint32_t>* counter = &framesInFlight;
    std::shared_ptr<Connection> keep = std::static_pointer_cast<Connection>(self.lock());
    return std::shared_ptr<void>(counter, [keep](std::atomic<uint32_t>* c) {
      c->fetch_sub(1, std::memory_order_relaxed);
    });
  }
  bool isThrottled() const {
    return framesInFlight.load(std::memory_order_relaxed) >= kMaxFramesInFlight;
  }

  std::weak_ptr<IZvServiceLink> self;
  std::atomic<uint32_t> framesInFlight{0};

  // I/O thread state.
  State state = HANDSHAKE;
  CZvServiceFrameAssembler assembler;
  // Server side.
  CZvStubBase* stub = nullptr;
  std::shared_ptr<CZvServiceMailbox> stubBox;
  uint64_t peer = 0;
  CZvString interfaceName;
  CZvString roleName;
  // Client side.
  CZvProxyBase* proxy = nullptr;
  std::shared_ptr<CZvServiceMailbox> proxyBox;

 private:
  const int mFd;
  const bool mServerSide;
  std::mutex mSendMutex;
  bool mClosed = false;
  bool mShutDown = false;
};

CZvSocketTransport::CZvSocketTransport() {
  mWakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CZvSocketTransport& CZvSocketTransport::instance() {
  static CZvSocketTransport* transport = [] {
    CZvSocketTransport* t = new CZvSocketTransport();
    std::atexit(&CZvSocketTransport::stopAtExit);
    return t;
  }();
  return *transport;
}

void CZvSocketTransport::stopAtExit() {
  CZvSocketTransport& t = instance();
  {
    std::lock_guard<std::mutex> lock(t.mMutex);
    t.mStop = true;
    t.mTurnDone.notify_all();
  }
  t.wake();
  if (t.mThread != nullptr && t.mThread->joinable()) t.mThread->join();
}

void CZvSocketTransport::lockForFork() { instance().mMutex.lock(); }

void CZvSocketTransport::unlockAfterFork() { instance().mMutex.unlock(); }

void CZvSocketTransport::resetInChild() {
  CZvSocketTransport& t = instance();
  // Only this thread exists in the child. The parent's sockets must not stay
  // open here: a listening socket kept by a child would keep a dead server's
  // name bound.
  for (const SListener& l : t.mListeners) ::close(l.fd);
  // Another thread of the parent may have held a connection's lock at the
  // fork: close without taking it.
  for (const auto& c : t.mConnections) c->closeInChild();
  t.mListeners.clear();
  t.mPending.clear();
  t.mConnections.clear();
  ::close(t.mWakeFd);
  t.mWakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  t.mThread = nullptr;
  t.mStop = false;
  t.mMutex.unlock();
}

void CZvSocketTransport::setRetryInterval(uint32_t milliseconds) {
  gRetryMs.store(milliseconds == 0 ? 1 : milliseconds);
}

void CZvSocketTransport::ensureThread() {
  // Called with mMutex held.
  if (mThread == nullptr && !mStop) mThread = new std::thread([this] { run(); });
}

void CZvSocketTransport::wake() {
  uint64_t one = 1;
  ssize_t ignored = ::write(mWakeFd, &one, sizeof one);
  (void)ignored;
}

bool CZvSocketTransport::makeAddress(const char* interfaceName, const char* roleName,
                                     sockaddr_un& address, socklen_t& length) {
  CZvString name = CZvString::formatted("%s%s.%s.%s", kPrefix,
                                        CZvServiceBroker::getNamespace().c_str(), interfaceName,
                                        roleName);
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (name.length() + 1 > sizeof address.sun_path) return false;
  // Abstract namespace: a leading zero byte; the name goes when the socket
  // closes, so a dead server leaves nothing behind.
  std::memcpy(address.sun_path + 1, name.c_str(), name.length());
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.length());
  return true;
}

std::vector<CZvString> CZvSocketTransport::offeredRoles(const char* interfaceName) {
  std::vector<CZvString> roles;
  CZvString prefix = CZvString::formatted("@%s%s.%s.", kPrefix,
                                          CZvServiceBroker::getNamespace().c_str(), interfaceName);
  FILE* file = std::fopen("/proc/net/unix", "r");
  if (file == nullptr) return roles;
  char line[512];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    const char* path = std::strrchr(line, ' ');
    if (path == nullptr) continue;
    ++path;
    CZvString text(path);
    while (!text.isEmpty() && (text.at(text.length() - 1) == '\n')) text.truncate(text.length() - 1);
    if (!text.startsWith(prefix.c_str()) || text.length() == prefix.length()) continue;
    CZvString role = text.substr(prefix.length());
    if (std::find(roles.begin(), roles.end(), role) == roles.end()) roles.push_back(role);
  }
  std::fclose(file);
  return roles;
}

bool CZvSocketTransport::listen(CZvStubBase* stub) {
  sockaddr_un address;
  socklen_t length = 0;
  if (!makeAddress(stub->getInterfaceName(), stub->getRoleName().c_str(), address, length)) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: name too long for a socket",
                                             stub->getInterfaceName(),
                                             stub->getRoleName().c_str());
    return false;
  }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 64) != 0) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: cannot listen (%s)", stub->getInterfaceName(),
                                             stub->getRoleName().c_str(), std::strerror(errno));
    ::close(fd);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mListeners.push_back(SListener{fd, stub, stub->mailbox(), stub->getInterfaceName(),
                                   stub->getRoleName()});
    ensureThread();
  }
  wake();
  return true;
}

void CZvSocketTransport::stopListening(CZvStubBase* stub) {
  std::vector<int> closing;
  std::unique_lock<std::mutex> lock(mMutex);
  for (auto it = mListeners.begin(); it != mListeners.end();) {
    if (it->stub == stub) {
      closing.push_back(it->fd);
      it = mListeners.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto& c : mConnections) {
    if (c->serverSide() && c->stub == stub) c->close();
  }
  if (closing.empty()) return;
  // A poll() of the I/O thread may still hold the listening socket: closing
  // it now would leave its name bound until that poll() returns, and a new
  // offer of the role could fail. Wait for the next turn, then close.
  if (mThread != nullptr && !mStop) {
    uint64_t turn = mTurn;
    wake();
    mTurnDone.wait_for(lock, std::chrono::seconds(2), [&] { return mTurn > turn || mStop; });
  }
  for (int fd : closing) ::close(fd);
}

void CZvSocketTransport::connectWhenAvailable(CZvProxyBase* proxy) {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (const SPending& p : mPending) {
      if (p.proxy == proxy) return;
    }
    mPending.push_back(SPending{proxy, proxy->mailbox(), proxy->getInterfaceName(),
                                proxy->getRoleName(), nullptr});
    ensureThread();
  }
  wake();
}

void CZvSocketTransport::cancel(CZvProxyBase* proxy) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (auto it = mPending.begin(); it != mPending.end();) {
    if (it->proxy == proxy) {
      if (it->connecting) it->connecting->close();
      it = mPending.erase(it);
    } else {
      ++it;
    }
  }
}

void CZvSocketTransport::attemptConnects() {
  std::lock_guard<std::mutex> lock(mMutex);
  for (SPending& p : mPending) {
    if (p.connecting) continue;
    sockaddr_un address;
    socklen_t length = 0;
    if (!makeAddress(p.interfaceName.c_str(), p.roleName.c_str(), address, length)) continue;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
      ::close(fd);
      continue;
    }
    auto c = std::make_shared<Connection>(fd, false);
    c->self = c;
    c->proxy = p.proxy;
    c->proxyBox = p.mailbox;
    c->interfaceName = p.interfaceName;
    c->roleName = p.roleName;
    SZvServiceFrame hello;
    hello.type = ZvServices::FRAME_HELLO;
    CZvQRVOStream body;
    ZvServices::encodeHello(p.interfaceName, p.roleName, body);
    hello.body = body.takeBytes();
    if (!c->sendFrame(hello)) {
      c->finalize();
      continue;
    }
    p.connecting = c;
    mConnections.push_back(c);
  }
}

void CZvSocketTransport::acceptFrom(int listenFd) {
  for (;;) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    std::lock_guard<std::mutex> lock(mMutex);
    auto listener = std::find_if(mListeners.begin(), mListeners.end(),
                                 [listenFd](const SListener& l) { return l.fd == listenFd; });
    if (listener == mListeners.end()) {
      ::close(fd);
      return;
    }
    auto c = std::make_shared<Connection>(fd, true);
    c->self = c;
    c->stub = listener->stub;
    c->stubBox = listener->mailbox;
    c->interfaceName = listener->interfaceName;
    c->roleName = listener->roleName;
    c->peer = ZvServices::nextPeerId();
    mConnections.push_back(c);
  }
}

// Returns false when the connection must be dropped.
bool CZvSocketTransport::handleFrame(const std::shared_ptr<Connection>& c, SZvServiceFrame& frame) {
  if (c->serverSide()) {
    if (c->state == Connection::HANDSHAKE) {
      CZvString iface;
      CZvString role;
      if (frame.type != ZvServices::FRAME_HELLO ||
          !ZvServices::decodeHello(frame.body.data(), static_cast<uint32_t>(frame.body.size()),
                                   iface, role) ||
          c->interfaceName != iface || c->roleName != role) {
        CZvTraceScope(gTrace).sendFormattedError("%s/%s: bad handshake, closing",
                                                 c->interfaceName.c_str(), c->roleName.c_str());
        return false;
      }
      SZvServiceFrame welcome;
      welcome.type = ZvServices::FRAME_WELCOME;
      if (!c->sendFrame(welcome)) return false;
      c->state = Connection::OPEN;
      CZvStubBase* stub = c->stub;
      uint64_t peer = c->peer;
      std::shared_ptr<IZvServiceLink> link = c;
      return c->stubBox->post([stub, peer, link] { stub->onPeerUp(peer, link); });
    }
    if (frame.type != ZvServices::FRAME_REQUEST) {
      CZvTraceScope(gTrace).sendFormattedError("%s/%s: unexpected frame type %u, closing",
                                               c->interfaceName.c_str(), c->roleName.c_str(),
                                               frame.type);
      return false;
    }
    CZvStubBase* stub = c->stub;
    uint64_t peer = c->peer;
    std::shared_ptr<void> token = c->frameInFlight();
    return c->stubBox->post(
        [stub, peer, token, frame = std::move(frame)] { stub->onFrame(peer, frame); });
  }
  if (c->state == Connection::HANDSHAKE) {
    if (frame.type != ZvServices::FRAME_WELCOME || !frame.body.empty()) {
      CZvTraceScope(gTrace).sendFormattedError("%s/%s: bad handshake answer, closing",
                                               c->interfaceName.c_str(), c->roleName.c_str());
      return false;
    }
    CZvProxyBase* proxy = c->proxy;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      auto pending = std::find_if(mPending.begin(), mPending.end(),
                                  [&](const SPending& p) { return p.connecting == c; });
      if (pending == mPending.end()) return false;  // cancelled meanwhile
      mPending.erase(pending);
      c->state = Connection::OPEN;
    }
    CZvServiceBroker::instance().connectedCrossProcess(proxy);
    std::shared_ptr<IZvServiceLink> link = c;
    return c->proxyBox->post([proxy, link] { proxy->onLinkUp(link); });
  }
  if (frame.type != ZvServices::FRAME_RESPONSE) {
    CZvTraceScope(gTrace).sendFormattedError("%s/%s: unexpected frame type %u, closing",
                                             c->interfaceName.c_str(), c->roleName.c_str(),
                                             frame.type);
    return false;
  }
  CZvProxyBase* proxy = c->proxy;
  std::shared_ptr<void> token = c->frameInFlight();
  return c->proxyBox->post([proxy, token, frame = std::move(frame)] { proxy->onFrame(frame); });
}

void CZvSocketTransport::readFrom(const std::shared_ptr<Connection>& c) {
  uint8_t chunk[64 * 1024];
  bool open = true;
  // At most 1 MiB per turn: the other connections get theirs, and a
  // throttled connection stops growing here.
  for (int turn = 0; turn < 16; ++turn) {
    ssize_t n = ::recv(c->fd(), chunk, sizeof chunk, 0);
    if (n > 0) {
      c->assembler.append(chunk, static_cast<uint32_t>(n));
      if (static_cast<size_t>(n) < sizeof chunk) break;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    open = false;  // end of stream or error
    break;
  }
  SZvServiceFrame frame;
  for (;;) {
    CZvServiceFrameAssembler::Result result = c->assembler.next(frame);
    if (result == CZvServiceFrameAssembler::NEED_MORE) break;
    if (result == CZvServiceFrameAssembler::MALFORMED) {
      CZvTraceScope(gTrace).sendFormattedError("%s/%s: malformed frame, closing",
                                               c->interfaceName.c_str(), c->roleName.c_str());
      open = false;
      break;
    }
    if (!handleFrame(c, frame)) {
      open = false;
      break;
    }
  }
  if (!open) drop(c);
}

void CZvSocketTransport::drop(const std::shared_ptr<Connection>& c) {
  bool wasPending = false;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mConnections.erase(std::remove(mConnections.begin(), mConnections.end(), c),
                       mConnections.end());
    for (SPending& p : mPending) {
      if (p.connecting == c) {
        p.connecting.reset();  // try again later
        wasPending = true;
      }
    }
  }
  c->finalize();
  if (c->state != Connection::OPEN || wasPending) return;
  if (c->serverSide()) {
    CZvStubBase* stub = c->stub;
    uint64_t peer = c->peer;
    c->stubBox->post([stub, peer] { stub->onPeerDown(peer); });
  } else {
    CZvProxyBase* proxy = c->proxy;
    std::shared_ptr<IZvServiceLink> link = c;
    c->proxyBox->post([proxy, link] { proxy->onLinkDown(link.get()); });
  }
}

void CZvSocketTransport::run() {
  uint64_t lastAttempt = 0;
  std::vector<pollfd> fds;
  std::vector<std::shared_ptr<Connection>> connections;
  size_t listenerCount = 0;
  for (;;) {
    bool pending = false;
    bool throttled = false;
    fds.clear();
    connections.clear();
    {
      std::lock_guard<std::mutex> lock(mMutex);
      if (mStop) break;
      ++mTurn;
      mTurnDone.notify_all();
      fds.push_back(pollfd{mWakeFd, POLLIN, 0});
      for (const SListener& l : mListeners) fds.push_back(pollfd{l.fd, POLLIN, 0});
      listenerCount = mListeners.size();
      for (const auto& c : mConnections) {
        if (c->isThrottled()) {
          throttled = true;
          continue;
        }
        fds.push_back(pollfd{c->fd(), POLLIN, 0});
        connections.push_back(c);
      }
      for (const SPending& p : mPending) pending = pending || !p.connecting;
    }
    int timeout = throttled ? kThrottledPollMs : -1;
    uint32_t retry = gRetryMs.load();
    if (pending) {
      uint64_t now = nowMs();
      int untilRetry = now >= lastAttempt + retry ? 0 : static_cast<int>(lastAttempt + retry - now);
      timeout = timeout < 0 ? untilRetry : std::min(timeout, untilRetry);
    }
    int ready = ::poll(fds.data(), fds.size(), timeout);
    if (ready < 0 && errno != EINTR) break;
    if ((fds[0].revents & POLLIN) != 0) {
      uint64_t drained = 0;
      ssize_t ignored = ::read(mWakeFd, &drained, sizeof drained);
      (void)ignored;
    }
    if (pending && nowMs() >= lastAttempt + retry) {
      lastAttempt = nowMs();
      attemptConnects();
    }
    for (size_t i = 1; i <= listenerCount; ++i) {
      if ((fds[i].revents & POLLIN) != 0) acceptFrom(fds[i].fd);
    }
    for (size_t i = 0; i < connections.size(); ++i) {
      if (fds[1 + listenerCount + i].revents != 0) readFrom(connections[i]);
    }
  }
  // Stopping: the process ends; descriptors go with it.
}
