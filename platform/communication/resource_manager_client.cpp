#include "platform/communication/resource_manager_client.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/communication/channel_address.h"

namespace communication {

ResourceManagerClient::ResourceManagerClient(const char* name) : name_(name ? name : "") {}

ResourceManagerClient::~ResourceManagerClient() {
  stop();
  std::lock_guard<std::mutex> lock(lifecycleMutex_);
  closeSocket();
}

void ResourceManagerClient::closeSocket() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool ResourceManagerClient::start() {
  std::lock_guard<std::mutex> lock(lifecycleMutex_);
  if (handle_.load() >= 0) return true;
  sockaddr_un address;
  socklen_t length;
  if (!makeChannelAddress(name_.c_str(), &address, &length)) {
    errno = EINVAL;
    return false;
  }
  // A previous connection was only shut down (a reader may still have been
  // inside recv() on it); nobody can use it any more.
  {
    std::lock_guard<std::mutex> readLock(readMutex_);
    closeSocket();
    pending_.clear();
    pendingOffset_ = 0;
  }
  int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int result;
  do {
    result = connect(fd, reinterpret_cast<sockaddr*>(&address), length);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    int error = errno;
    ::close(fd);
    errno = error;
    return false;
  }
  fd_ = fd;
  handle_.store(fd);
  return true;
}

void ResourceManagerClient::stop() {
  std::lock_guard<std::mutex> lock(lifecycleMutex_);
  if (handle_.exchange(-1) < 0) return;
  // shutdown() wakes a reader blocked in recv() without freeing the
  // descriptor under it; the descriptor is closed later.
  shutdown(fd_, SHUT_RDWR);
}

long ResourceManagerClient::write(const void* data, unsigned long size) {
  int fd = handle_.load();
  if (fd < 0) {
    errno = ENOTCONN;
    return -1;
  }
  if (size == 0) return 0;
  ssize_t sent;
  do {
    sent = send(fd, data, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? -1 : static_cast<long>(sent);
}

long ResourceManagerClient::read(void* buffer, unsigned long size) {
  std::lock_guard<std::mutex> lock(readMutex_);
  int fd = handle_.load();
  if (fd < 0) return -1;
  if (pendingOffset_ >= pending_.size()) {
    ssize_t length;
    do {
      length = recv(fd, nullptr, 0, MSG_PEEK | MSG_TRUNC);
    } while (length < 0 && errno == EINTR);
    // Zero bytes: the server hung up, or stop() shut the socket down.
    if (length <= 0) {
      handle_.store(-1);
      return -1;
    }
    pending_.resize(static_cast<size_t>(length));
    ssize_t received = recv(fd, pending_.data(), pending_.size(), 0);
    if (received != length) {
      pending_.clear();
      handle_.store(-1);
      return -1;
    }
    pendingOffset_ = 0;
  }
  size_t count = buffer ? std::min<size_t>(size, pending_.size() - pendingOffset_) : 0;
  if (count) memcpy(buffer, pending_.data() + pendingOffset_, count);
  pendingOffset_ += count;
  return static_cast<long>(count);
}

}  // namespace communication
