// Free functions over TCP/IPv4 socket descriptors.
//
// Every call that can be interrupted by a signal is repeated, and the waits
// keep their time-out across interruptions: a wait of 500 ms lasts about
// 500 ms however many signals arrive. Sends never raise SIGPIPE; a vanished
// peer shows up as EPIPE or ECONNRESET instead.
#ifndef SOCKWEAVE_ZV_SOCKET_API_H
#define SOCKWEAVE_ZV_SOCKET_API_H

#include <netinet/in.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace ZvSocket {

// Where to bind or connect: an IPv4 port in host byte order and an optional
// dotted address text (null: any address).
class CZvSocketAddress {
 public:
  explicit CZvSocketAddress(uint16_t port = 0, const char* address = nullptr);
  CZvSocketAddress(const CZvSocketAddress& other);
  CZvSocketAddress& operator=(const CZvSocketAddress& other);
  ~CZvSocketAddress();

  uint32_t getFamily() const { return mFamily; }
  uint16_t getPort() const { return mPort; }
  // The address text, or null for any address.
  const char* getAddress() const { return mAddress; }

 private:
  uint32_t mFamily;
  uint16_t mPort;
  char* mAddress;  // owned heap copy
};

// An IPv4 socket address as filled in by the name queries.
struct CZvIPv4Endpoint {
  sockaddr_in address{};

  uint16_t getPort() const { return ntohs(address.sin_port); }
  // The address in host byte order.
  uint32_t getAddress() const { return ntohl(address.sin_addr.s_addr); }
};

// Start and end of socket use in the process; nothing to do on this platform.
bool initSockets();
void termSockets();

// A new TCP socket, or -1 after printing the reason (perror "socket").
int socket();
// Sets SO_REUSEADDR and binds. False with errno on failure (EINVAL for a
// malformed address text).
bool bind(int fd, const CZvSocketAddress& address);
bool listen(int fd, int backlog);
// Accepts one connection; the peer's address is not kept. -1 on failure.
int accept(int fd);
// Closes, repeating while interrupted. The result of close().
int close(int fd);

// One receive or send, repeated while interrupted; the system's result.
ssize_t recv(int fd, void* buffer, size_t size);
ssize_t send(int fd, const void* data, size_t size);

// Wait until fd is readable (writable). timeoutMs < 0 waits without limit.
// Above 0: ready; 0: timed out; -1: failure with errno (EBADF for a negative
// or closed descriptor). Descriptors of any number are supported.
int readselect(int fd, int timeoutMs);
int acceptselect(int fd, int timeoutMs);
int writeselect(int fd, int timeoutMs);

// True unless the descriptor has O_NONBLOCK (or cannot be queried).
bool isBlocking(int fd);
// Clears or sets O_NONBLOCK. False with errno on failure.
bool setBlockingMode(int fd, bool blocking);

// Fills an IPv4 socket address from address. False with errno EINVAL when the
// address text is not an IPv4 address.
bool convertAddress(const CZvSocketAddress& address, sockaddr_in& result);

// Connects; timeoutMs < 0 waits as long as the system does, 0 fails with
// ETIMEDOUT unless the connection is made at once, above 0 waits up to that
// long. The descriptor's blocking mode is the same afterwards, and errno
// tells why a connect failed.
bool connect(int fd, const CZvSocketAddress& address, int timeoutMs);

bool getSockName(int fd, CZvIPv4Endpoint& endpoint);
bool getPeerName(int fd, CZvIPv4Endpoint& endpoint);

}  // namespace ZvSocket

#endif  // SOCKWEAVE_ZV_SOCKET_API_H
