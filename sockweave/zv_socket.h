// Owners of TCP socket descriptors: CZvSocket (a plain or accepted socket)
// and CZvSocketClient (a socket that connects to a server).
#ifndef SOCKWEAVE_ZV_SOCKET_H
#define SOCKWEAVE_ZV_SOCKET_H

#include <atomic>
#include <cstdint>

#include "sockweave/zv_socket_api.h"

class CZvSocketServer;

class CZvSocket {
 public:
  // Makes a new TCP socket (invalid if the system refuses one).
  CZvSocket();
  // Adopts a descriptor that server accepted; the server is told when this
  // socket goes, so that it drops it from its list.
  CZvSocket(CZvSocketServer* server, int fd);
  virtual ~CZvSocket();
  CZvSocket(const CZvSocket&) = delete;
  CZvSocket& operator=(const CZvSocket&) = delete;

  virtual bool isValid() const { return mSocket != -1; }
  virtual bool isConnected() const { return mSocket != -1; }

  // Makes a new TCP socket, closing the current one first. True on success.
  bool createSocket();
  // Closes the descriptor if there is one.
  void destroySocket();
  bool getLocalName(ZvSocket::CZvIPv4Endpoint& endpoint) const;
  bool getPeerName(ZvSocket::CZvIPv4Endpoint& endpoint) const;

  int getDescriptor() const { return mSocket; }
  // Sockets alive in the process.
  static int getSocketCount() { return mSocketCnt.load(); }

 protected:
  int mSocket = -1;

 private:
  void countUp();

  CZvSocketServer* mServer = nullptr;
  static std::atomic<int> mSocketCnt;
};

class CZvSocketClient : public CZvSocket {
 public:
  CZvSocketClient();
  // Connects at once; see connect().
  CZvSocketClient(uint16_t port, const char* address, int timeoutMs);
  // Binds to localPort on any address first when localPort > 0, then connects.
  CZvSocketClient(uint16_t port, const char* address, int timeoutMs, int localPort);

  bool isConnected() const override { return mConnected; }

  // Disconnects if connected, makes a new socket if there is none, connects
  // (see ZvSocket::connect for timeoutMs) and returns whether it is connected.
  bool connect(uint16_t port, const char* address, int timeoutMs);
  // Connects the current socket and stores the outcome.
  bool connectToServer(uint16_t port, const char* address, int timeoutMs);
  // Binds to a local port on any address; refused while connected.
  bool bind(uint16_t port);
  // Closes the socket.
  void disconnect();

 private:
  bool mConnected = false;
};

#endif  // SOCKWEAVE_ZV_SOCKET_H
