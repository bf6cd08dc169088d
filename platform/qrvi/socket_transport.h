// The transport between processes: local stream sockets in the abstract
// namespace, one per offered interface and role ("zvqrvi.<namespace>.
// <interface>.<role>"), and one I/O thread per process that accepts, connects,
// reads and cuts frames, and hands them to the stubs' and proxies' threads.
//
// A client opens with a HELLO frame naming interface and role; the server
// answers WELCOME and requests may flow. A malformed frame, a frame of the
// wrong direction or a failed handshake closes that connection; its proxy
// sees a disconnect and connects again when the role is offered anew.
#ifndef PLATFORM_QRVI_SOCKET_TRANSPORT_H
#define PLATFORM_QRVI_SOCKET_TRANSPORT_H

#include <sys/socket.h>
#include <sys/un.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/basalt/zv_string.h"
#include "platform/qrvi/service_link.h"

class CZvProxyBase;
class CZvStubBase;

class CZvSocketTransport {
 public:
  static CZvSocketTransport& instance();

  bool listen(CZvStubBase* stub);
  void stopListening(CZvStubBase* stub);
  // Tries to connect now and then every retry interval until it works or
  // cancel() is called.
  void connectWhenAvailable(CZvProxyBase* proxy);
  void cancel(CZvProxyBase* proxy);

  // Roles of interfaceName offered by any process in the current namespace.
  static std::vector<CZvString> offeredRoles(const char* interfaceName);
  // The socket address of interface and role; false when too long.
  static bool makeAddress(const char* interfaceName, const char* roleName, sockaddr_un& address,
                          socklen_t& length);
  // How often a waiting proxy tries again (default 20 ms).
  static void setRetryInterval(uint32_t milliseconds);

  class Connection;

  // fork() handlers, called by the broker's after its own lock (the order
  // used everywhere): the child starts without the parent's I/O thread,
  // sockets and waiting proxies.
  static void lockForFork();
  static void unlockAfterFork();
  static void resetInChild();

 private:
  struct SListener {
    int fd;
    CZvStubBase* stub;
    std::shared_ptr<CZvServiceMailbox> mailbox;
    CZvString interfaceName;
    CZvString roleName;
  };
  struct SPending {
    CZvProxyBase* proxy;
    std::shared_ptr<CZvServiceMailbox> mailbox;
    CZvString interfaceName;
    CZvString roleName;
    std::shared_ptr<Connection> connecting;  // while the handshake runs
  };

  CZvSocketTransport();
  void ensureThread();
  void wake();
  void run();
  void attemptConnects();
  void acceptFrom(int listenFd);
  void readFrom(const std::shared_ptr<Connection>& connection);
  bool handleFrame(const std::shared_ptr<Connection>& connection, struct SZvServiceFrame& frame);
  void drop(const std::shared_ptr<Connection>& connection);
  static void stopAtExit();

  std::mutex mMutex;
  std::vector<SListener> mListeners;
  std::vector<SPending> mPending;
  std::vector<std::shared_ptr<Connection>> mConnections;
  int mWakeFd = -1;
  bool mStop = false;
  // Counts the I/O thread's turns; a descriptor taken out of the tables may
  // be closed once a new turn began (the previous poll() has let go of it,
  // and only then does a closed listening socket give up its name).
  uint64_t mTurn = 0;
  std::condition_variable mTurnDone;
  // Never deleted: a forked child leaves the parent's thread object alone.
  std::thread* mThread = nullptr;
};

#endif  // PLATFORM_QRVI_SOCKET_TRANSPORT_H
