#include "sockweave/zv_socket_api.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "sockweave/zv_socket_unblocker.h"
#include "sockweave/zv_timeout_adjuster.h"

namespace ZvSocket {

namespace {

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  const size_t length = std::strlen(text);
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  return copy;
}

// Waits for events on fd; see readselect().
int waitFor(int fd, short events, int timeoutMs) {
  if (fd < 0) {
    errno = EBADF;
    return -1;
  }
  pollfd entry{fd, events, 0};
  int rc;
  if (timeoutMs < 0) {
    do {
      rc = ::poll(&entry, 1, -1);
    } while (rc < 0 && errno == EINTR);
  } else {
    ZvPrivate::CZvTimeoutAdjuster adjuster(static_cast<uint64_t>(timeoutMs) * 1000000u);
    do {
      adjuster.adjust();
      int64_t seconds = 0;
      int64_t microseconds = 0;
      adjuster.getRemaining(&seconds, &microseconds);
      const timespec remaining{static_cast<time_t>(seconds), static_cast<long>(microseconds * 1000)};
      rc = ::ppoll(&entry, 1, &remaining, nullptr);
    } while (rc < 0 && errno == EINTR);
  }
  if (rc > 0 && (entry.revents & POLLNVAL)) {
    errno = EBADF;
    return -1;
  }
  return rc;
}

// The socket's pending error (SO_ERROR), or -1 when it cannot be read.
int pendingError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return -1;
  return error;
}

// Settles a connect that is under way: waits up to timeoutMs (< 0: no limit)
// and turns the outcome into a result and errno.
bool finishConnect(int fd, int timeoutMs) {
  const int ready = writeselect(fd, timeoutMs);
  if (ready < 0) return false;
  if (ready == 0) {
    errno = ETIMEDOUT;
    return false;
  }
  const int error = pendingError(fd);
  if (error == 0) return true;
  if (error > 0) errno = (error == EINPROGRESS) ? ETIMEDOUT : error;
  return false;
}

// One connect call. An interrupted connect goes on in the background on this
// platform and calling connect again would only report EALREADY, so an
// interruption is treated as "in progress".
int startConnect(int fd, const sockaddr_in& address) {
  const int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  if (rc != 0 && errno == EINTR) errno = EINPROGRESS;
  return rc;
}

}  // namespace

CZvSocketAddress::CZvSocketAddress(uint16_t port, const char* address)
    : mFamily(AF_INET), mPort(port), mAddress(copyText(address)) {}

CZvSocketAddress::CZvSocketAddress(const CZvSocketAddress& other)
    : mFamily(other.mFamily), mPort(other.mPort), mAddress(copyText(other.mAddress)) {}

CZvSocketAddress& CZvSocketAddress::operator=(const CZvSocketAddress& other) {
  if (this != &other) {
    char* copy = copyText(other.mAddress);
    delete[] mAddress;
    mAddress = copy;
    mFamily = other.mFamily;
    mPort = other.mPort;
  }
  return *this;
}

CZvSocketAddress::~CZvSocketAddress() { delete[] mAddress; }

bool initSockets() { return true; }
void termSockets() {}

int socket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (fd < 0) perror("socket");
  return fd;
}

bool bind(int fd, const CZvSocketAddress& address) {
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in native{};
  if (!convertAddress(address, native)) return false;
  return ::bind(fd, reinterpret_cast<const sockaddr*>(&native), sizeof native) == 0;
}

bool listen(int fd, int backlog) { return ::listen(fd, backlog) == 0; }

int accept(int fd) {
  int rc;
  do {
    rc = ::accept(fd, nullptr, nullptr);
  } while (rc < 0 && errno == EINTR);
  return rc;
}

int close(int fd) {
  // Linux releases the descriptor even when close() is interrupted, so a
  // second close() could hit a descriptor another thread has just opened.
  int rc = ::close(fd);
  if (rc != 0 && errno == EINTR) rc = 0;
  return rc;
}

ssize_t recv(int fd, void* buffer, size_t size) {
  ssize_t rc;
  do {
    rc = ::recv(fd, buffer, size, 0);
  } while (rc < 0 && errno == EINTR);
  return rc;
}

ssize_t send(int fd, const void* data, size_t size) {
  ssize_t rc;
  do {
    rc = ::send(fd, data, size, MSG_NOSIGNAL);
  } while (rc < 0 && errno == EINTR);
  return rc;
}

int readselect(int fd, int timeoutMs) { return waitFor(fd, POLLIN, timeoutMs); }
int acceptselect(int fd, int timeoutMs) { return waitFor(fd, POLLIN, timeoutMs); }
int writeselect(int fd, int timeoutMs) { return waitFor(fd, POLLOUT, timeoutMs); }

bool isBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags < 0 || (flags & O_NONBLOCK) == 0;
}

bool setBlockingMode(int fd, bool blocking) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return wanted == flags || ::fcntl(fd, F_SETFL, wanted) == 0;
}

bool convertAddress(const CZvSocketAddress& address, sockaddr_in& result) {
  std::memset(&result, 0, sizeof result);
  result.sin_family = AF_INET;
  result.sin_port = htons(address.getPort());
  result.sin_addr.s_addr = htonl(INADDR_ANY);
  if (const char* text = address.getAddress()) {
    const in_addr_t parsed = ::inet_addr(text);
    // inet_addr() answers INADDR_NONE for malformed text; only the literal
    // broadcast address may legitimately give that value.
    if (parsed == INADDR_NONE && std::strcmp(text, "255.255.255.255") != 0) {
      errno = EINVAL;
      return false;
    }
    result.sin_addr.s_addr = parsed;
  }
  return true;
}

bool connect(int fd, const CZvSocketAddress& address, int timeoutMs) {
  sockaddr_in native{};
  if (!convertAddress(address, native)) return false;

  if (timeoutMs < 0) {
    const bool wasBlocking = isBlocking(fd);
    if (!wasBlocking) setBlockingMode(fd, true);
    bool connected = startConnect(fd, native) == 0;
    if (!connected && errno == EINPROGRESS) connected = finishConnect(fd, -1);
    if (!wasBlocking) {
      const int savedErrno = errno;
      setBlockingMode(fd, false);
      errno = savedErrno;
    }
    return connected;
  }

  SZvSocketUnblocker unblocker(fd);
  if (startConnect(fd, native) == 0) return true;
  if (errno != EINPROGRESS) return false;
  if (timeoutMs == 0) {
    errno = ETIMEDOUT;
    return false;
  }
  return finishConnect(fd, timeoutMs);
}

bool getSockName(int fd, CZvIPv4Endpoint& endpoint) {
  socklen_t length = sizeof endpoint.address;
  return ::getsockname(fd, reinterpret_cast<sockaddr*>(&endpoint.address), &length) == 0;
}

bool getPeerName(int fd, CZvIPv4Endpoint& endpoint) {
  socklen_t length = sizeof endpoint.address;
  return ::getpeername(fd, reinterpret_cast<sockaddr*>(&endpoint.address), &length) == 0;
}

}  // namespace ZvSocket
