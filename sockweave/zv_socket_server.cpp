#include "sockweave/zv_socket_server.h"

#include <errno.h>

#include <algorithm>

#include "sockweave/zv_socket_unblocker.h"

CZvSocketServer::CZvSocketServer(uint16_t port, bool blocking) : mPort(port), mBlocking(blocking) {}

CZvSocketServer::~CZvSocketServer() { termServer(); }

bool CZvSocketServer::initServer() { return bindSocket(nullptr, 1); }

bool CZvSocketServer::bindAndListen(const char* address, int backlog) {
  if (address == nullptr || backlog == 0) {
    errno = EINVAL;
    return false;
  }
  return bindSocket(address, backlog);
}

bool CZvSocketServer::bindSocket(const char* address, int backlog) {
  if (mServerSocket != nullptr) return true;
  mServerSocket = new CZvSocket();
  const int fd = mServerSocket->getDescriptor();
  const bool ok = fd != -1 && ZvSocket::setBlockingMode(fd, mBlocking) &&
                  ZvSocket::bind(fd, ZvSocket::CZvSocketAddress(mPort, address)) &&
                  ZvSocket::listen(fd, backlog);
  if (!ok) {
    const int savedErrno = errno;
    delete mServerSocket;
    mServerSocket = nullptr;
    errno = savedErrno;
    return false;
  }
  mBacklog = backlog;
  return true;
}

CZvSocket* CZvSocketServer::acceptClient(int timeoutMs) {
  if (mServerSocket == nullptr) return nullptr;
  const int fd = mServerSocket->getDescriptor();
  // Listening again keeps the socket listening should it have been shut down;
  // the backlog stays the one it was bound with.
  ZvSocket::listen(fd, mBacklog);
  int client = -1;
  if (timeoutMs == 0) {
    client = ZvSocket::accept(fd);
  } else {
    if (ZvSocket::acceptselect(fd, timeoutMs > 0 ? timeoutMs : 0) <= 0) return nullptr;
    // The client may give up between the wait and the accept; never block then.
    SZvSocketUnblocker unblocker(fd);
    client = ZvSocket::accept(fd);
  }
  if (client < 0) return nullptr;
  auto* socket = new CZvSocket(this, client);
  mSockets.push_back(socket);
  return socket;
}

bool CZvSocketServer::isValid() const { return mServerSocket != nullptr && mServerSocket->isValid(); }

void CZvSocketServer::terminateConnection(CZvSocket* socket) {
  auto it = std::find(mSockets.begin(), mSockets.end(), socket);
  if (it != mSockets.end()) mSockets.erase(it);
}

void CZvSocketServer::termServer() {
  // Each socket's destructor takes itself out of the list.
  while (!mSockets.empty()) delete mSockets.back();
  delete mServerSocket;
  mServerSocket = nullptr;
}
