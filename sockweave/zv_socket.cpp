#include "sockweave/zv_socket.h"

#include <errno.h>

#include "sockweave/zv_socket_server.h"

std::atomic<int> CZvSocket::mSocketCnt{0};

void CZvSocket::countUp() {
  if (mSocketCnt.fetch_add(1) == 0) ZvSocket::initSockets();
}

CZvSocket::CZvSocket() {
  countUp();
  mSocket = ZvSocket::socket();
}

CZvSocket::CZvSocket(CZvSocketServer* server, int fd) : mSocket(fd), mServer(server) { countUp(); }

CZvSocket::~CZvSocket() {
  if (mServer != nullptr) mServer->terminateConnection(this);
  destroySocket();
  if (mSocketCnt.fetch_sub(1) == 1) ZvSocket::termSockets();
}

bool CZvSocket::createSocket() {
  destroySocket();
  mSocket = ZvSocket::socket();
  return mSocket != -1;
}

void CZvSocket::destroySocket() {
  if (mSocket != -1) {
    ZvSocket::close(mSocket);
    mSocket = -1;
  }
}

bool CZvSocket::getLocalName(ZvSocket::CZvIPv4Endpoint& endpoint) const {
  return ZvSocket::getSockName(mSocket, endpoint);
}

bool CZvSocket::getPeerName(ZvSocket::CZvIPv4Endpoint& endpoint) const {
  return ZvSocket::getPeerName(mSocket, endpoint);
}

CZvSocketClient::CZvSocketClient() = default;

CZvSocketClient::CZvSocketClient(uint16_t port, const char* address, int timeoutMs) {
  connectToServer(port, address, timeoutMs);
}

CZvSocketClient::CZvSocketClient(uint16_t port, const char* address, int timeoutMs, int localPort) {
  if (localPort > 0 && localPort <= 0xFFFF && !bind(static_cast<uint16_t>(localPort))) return;
  connectToServer(port, address, timeoutMs);
}

bool CZvSocketClient::connect(uint16_t port, const char* address, int timeoutMs) {
  if (mConnected) disconnect();
  if (mSocket == -1 && !createSocket()) return false;
  return connectToServer(port, address, timeoutMs);
}

bool CZvSocketClient::connectToServer(uint16_t port, const char* address, int timeoutMs) {
  mConnected = ZvSocket::connect(mSocket, ZvSocket::CZvSocketAddress(port, address), timeoutMs);
  if (!mConnected && errno == ETIMEDOUT) {
    // The attempt may still be under way in the kernel and would make the
    // next connect on this descriptor fail with EALREADY; start afresh.
    destroySocket();
    errno = ETIMEDOUT;
  }
  return mConnected;
}

bool CZvSocketClient::bind(uint16_t port) {
  if (mConnected) return false;
  return ZvSocket::bind(mSocket, ZvSocket::CZvSocketAddress(port, nullptr));
}

void CZvSocketClient::disconnect() {
  destroySocket();
  mConnected = false;
}
