// A listening TCP socket and the connections it accepted (owned).
#ifndef SOCKWEAVE_ZV_SOCKET_SERVER_H
#define SOCKWEAVE_ZV_SOCKET_SERVER_H

#include <cstdint>
#include <vector>

#include "sockweave/zv_socket.h"

class CZvSocketServer {
 public:
  // Nothing is opened yet; blocking decides the mode of the listening socket.
  CZvSocketServer(uint16_t port, bool blocking);
  ~CZvSocketServer();
  CZvSocketServer(const CZvSocketServer&) = delete;
  CZvSocketServer& operator=(const CZvSocketServer&) = delete;

  // Binds to any address with a backlog of 1.
  bool initServer();
  // Binds to address with backlog; both must be given (else EINVAL).
  bool bindAndListen(const char* address, int backlog);

  // Accepts one client: timeoutMs > 0 waits up to that long, 0 accepts
  // directly (blocking if the listening socket blocks), < 0 only takes a
  // client that is already waiting. The socket stays owned by the server.
  CZvSocket* acceptClient(int timeoutMs);

  bool isValid() const;
  // At least one accepted socket is alive.
  bool isConnected() const { return !mSockets.empty(); }
  // Forgets an accepted socket (called by its destructor).
  void terminateConnection(CZvSocket* socket);
  // Deletes every accepted socket and the listening socket.
  void termServer();

  uint16_t getPort() const { return mPort; }
  // The listening socket, or null before binding.
  CZvSocket* getListeningSocket() const { return mServerSocket; }

 private:
  bool bindSocket(const char* address, int backlog);

  uint16_t mPort;
  bool mBlocking;
  int mBacklog = 1;
  std::vector<CZvSocket*> mSockets;
  CZvSocket* mServerSocket = nullptr;
};

#endif  // SOCKWEAVE_ZV_SOCKET_SERVER_H
