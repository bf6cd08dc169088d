#include "platform/communication/resource_manager.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/communication/channel_address.h"
#include "platform/communication/comm_log.h"

namespace communication {

// A connected client. The descriptor closes with the last reference, so a
// write() in progress keeps it valid while the serving thread drops the
// connection.
struct ResourceManager::Connection {
  Connection(uint64_t connectionId, int socketFd) : id(connectionId), fd(socketFd) {}
  ~Connection() { ::close(fd); }
  const uint64_t id;
  const int fd;
};

ResourceManager::ResourceManager(const char* name) : name_(name ? name : "") {}

ResourceManager::~ResourceManager() { stop(); }

int ResourceManager::getHandle() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handle_;
}

bool ResourceManager::start() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_ || stopping_) return false;
    started_ = true;
  }
  sockaddr_un address;
  socklen_t length;
  if (!makeChannelAddress(name_.c_str(), &address, &length)) {
    COMM_ERROR("[communication::ResourceManager] ERROR: invalid channel name '%s'", name_.c_str());
    return false;
  }
  int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(fd, SOMAXCONN) != 0) {
    int error = errno;
    COMM_ERROR("[communication::ResourceManager] ERROR: %d:%s can't serve channel %s", error,
               strerror(error), name_.c_str());
    if (fd >= 0) ::close(fd);
    return false;
  }
  int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    ::close(fd);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listenFd_ = fd;
    wakeFd_ = wakeFd;
    handle_ = fd;
  }
  thread_ = std::thread(&ResourceManager::serve, this);
  return true;
}

void ResourceManager::stop() {
  std::map<uint64_t, std::shared_ptr<Connection>> connections;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
    handle_ = -1;
    queue_.clear();
    queuedBytes_ = 0;
    connections.swap(connections_);
    wakeServerLocked();
  }
  messageReady_.notify_all();
  if (thread_.joinable()) thread_.join();
  // Shut down rather than close: a write() still holding a connection is
  // woken and fails; the descriptor closes with its last reference.
  for (auto& entry : connections) shutdown(entry.second->fd, SHUT_RDWR);
  std::lock_guard<std::mutex> lock(mutex_);
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
  listenFd_ = wakeFd_ = -1;
}

void ResourceManager::wakeServerLocked() {
  if (wakeFd_ < 0) return;
  uint64_t one = 1;
  ssize_t ignored = ::write(wakeFd_, &one, sizeof(one));
  (void)ignored;
}

long ResourceManager::read(uint64_t* client, void* buffer, unsigned long size, IoState& state) {
  state = IoState();
  std::unique_lock<std::mutex> lock(mutex_);
  messageReady_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
  if (stopping_) return -1;
  Message message = std::move(queue_.front());
  queue_.pop_front();
  bool wasFull = queuedBytes_ >= kMaxQueuedBytes;
  queuedBytes_ -= message.bytes.size();
  if (wasFull && queuedBytes_ < kMaxQueuedBytes) wakeServerLocked();
  lock.unlock();

  if (client) *client = message.client;
  unsigned long count = buffer ? std::min<unsigned long>(size, message.bytes.size()) : 0;
  if (count) memcpy(buffer, message.bytes.data(), count);
  state.messageSize = message.bytes.size();
  state.truncated = count < message.bytes.size();
  return static_cast<long>(count);
}

long ResourceManager::write(uint64_t client, const void* data, unsigned long size) {
  std::shared_ptr<Connection> connection;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = connections_.find(client);
    if (found != connections_.end()) connection = found->second;
  }
  if (!connection) {
    errno = ENOTCONN;
    return -1;
  }
  // An empty message would look like a hang-up to the reader.
  if (size == 0) return 0;
  ssize_t sent;
  do {
    sent = send(connection->fd, data, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? -1 : static_cast<long>(sent);
}

void ResourceManager::serve() {
  // listenFd_ and wakeFd_ stay open until this thread has been joined.
  std::vector<pollfd> fds;
  std::vector<std::shared_ptr<Connection>> polled;
  for (;;) {
    fds.clear();
    polled.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      if (queuedBytes_ < kMaxQueuedBytes) {
        for (auto& entry : connections_) {
          fds.push_back({entry.second->fd, POLLIN, 0});
          polled.push_back(entry.second);
        }
      }
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      // Only a lack of kernel memory gets here; it passes, so try again.
      COMM_ERROR("[communication::ResourceManager] ERROR: %d:%s poll failed on channel %s", errno,
                 strerror(errno), name_.c_str());
      usleep(10 * 1000);
      continue;
    }
    if (fds[0].revents & POLLIN) {
      uint64_t count;
      ssize_t ignored = ::read(wakeFd_, &count, sizeof(count));
      (void)ignored;
    }
    if (fds[1].revents & POLLIN) acceptClient();
    for (size_t i = 2; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      const std::shared_ptr<Connection>& connection = polled[i - 2];
      if (!receiveFrom(connection)) dropConnection(connection->id);
    }
  }
}

void ResourceManager::acceptClient() {
  int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    // Out of descriptors the waiting client stays queued and the socket
    // stays readable: pause instead of spinning until one is free.
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
      usleep(10 * 1000);
    }
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  uint64_t id = nextClientId_++;
  connections_[id] = std::make_shared<Connection>(id, fd);
}

bool ResourceManager::receiveFrom(const std::shared_ptr<Connection>& connection) {
  // MSG_TRUNC with an empty buffer reports the whole length of the next
  // message, so a message of any size is taken in one piece.
  ssize_t size = recv(connection->fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
  if (size < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  // Zero bytes is the peer's hang-up (empty messages are never sent).
  if (size == 0) return false;
  Message message{connection->id, std::vector<unsigned char>(static_cast<size_t>(size))};
  ssize_t received = recv(connection->fd, message.bytes.data(), message.bytes.size(), MSG_DONTWAIT);
  if (received != size) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return true;
    queuedBytes_ += message.bytes.size();
    queue_.push_back(std::move(message));
  }
  messageReady_.notify_one();
  return true;
}

void ResourceManager::dropConnection(uint64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = connections_.find(id);
  if (found == connections_.end()) return;
  shutdown(found->second->fd, SHUT_RDWR);
  connections_.erase(found);
}

}  // namespace communication
