// Socket addresses for the dispatcher's users: IPv4 and local (Unix) sockets.
#ifndef SOCKWEAVE_IO_ZV_IO_ENDPOINT_H
#define SOCKWEAVE_IO_ZV_IO_ENDPOINT_H

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <cstdint>

namespace ZvIO {
namespace IPv4 {

class Endpoint {
 public:
  // Room toString() needs: "255.255.255.255:65535" and the terminating NUL.
  static constexpr size_t kTextSize = 24;
  // Longest text the text constructor accepts.
  static constexpr size_t kMaxTextLength = 31;

  // All zero (no address, no port).
  Endpoint();
  // A dotted address and a port in host order. A null or malformed address
  // leaves the endpoint all zero.
  Endpoint(const char* address, uint16_t port);
  // "address:port" with a decimal port. Texts without a colon, with a
  // malformed address or port, or longer than kMaxTextLength leave the
  // endpoint all zero; a null text is a cheap assertion.
  explicit Endpoint(const char* text);

  // Host-order address and port.
  void set(uint32_t address, uint16_t port);
  // Writes "address:port".
  void toString(char (&buffer)[kTextSize]) const;

  uint32_t getAddress() const { return ntohl(mAddress.sin_addr.s_addr); }
  uint16_t getPort() const { return ntohs(mAddress.sin_port); }
  // True while the endpoint is all zero.
  bool isUnspecified() const;

  const sockaddr* data() const { return reinterpret_cast<const sockaddr*>(&mAddress); }
  sockaddr* data() { return reinterpret_cast<sockaddr*>(&mAddress); }
  socklen_t size() const { return sizeof mAddress; }

 private:
  sockaddr_in mAddress;
};

}  // namespace IPv4

namespace Unix {

class Endpoint {
 public:
  // Longest ordinary path, and longest abstract name after its leading NUL.
  static constexpr size_t kMaxPathLength = 103;
  static constexpr size_t kMaxAbstractLength = 101;

  // A local socket address. A path beginning with a NUL byte is an abstract
  // name (the NUL-terminated text after it). A null path, or a path or name
  // longer than allowed, is a cheap assertion and leaves the endpoint empty
  // (family 0), which bind() and connect() refuse.
  explicit Endpoint(const char* path);

  bool isValid() const { return mAddress.sun_family == AF_UNIX; }
  bool isAbstract() const { return isValid() && mAddress.sun_path[0] == '\0'; }

  const sockaddr* data() const { return reinterpret_cast<const sockaddr*>(&mAddress); }
  // The length to hand to bind() and connect().
  socklen_t size() const { return mSize; }

 private:
  sockaddr_un mAddress;
  socklen_t mSize;
};

}  // namespace Unix
}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_ENDPOINT_H
