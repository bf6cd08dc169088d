// ResourceManagerClient: the client end of a named message channel.
//
// Each write() is one message to the server. Reading is a byte stream over
// the server's messages: read() returns at most the bytes asked for, and
// what is left of a message comes with the next read(), so nothing the
// server sends is lost however the reader splits it.
#ifndef PLATFORM_COMMUNICATION_RESOURCE_MANAGER_CLIENT_H
#define PLATFORM_COMMUNICATION_RESOURCE_MANAGER_CLIENT_H

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace communication {

class ResourceManagerClient {
 public:
  explicit ResourceManagerClient(const char* name);
  // Stops the connection.
  ~ResourceManagerClient();
  ResourceManagerClient(const ResourceManagerClient&) = delete;
  ResourceManagerClient& operator=(const ResourceManagerClient&) = delete;

  // Connects to the server of the channel; true on success. A client that
  // was stopped may start again.
  bool start();
  // Disconnects and wakes a blocked read(), which then returns -1. Safe to
  // call from any thread and more than once.
  void stop();

  // The connection's descriptor while connected; -1 before start(), once
  // stopped and once the server has gone.
  int getHandle() const { return handle_.load(); }

  // Sends |size| bytes as one message. Returns |size|, or -1 with errno set
  // (not connected, server gone, message too large for the channel). An
  // empty message is not sent and gives 0.
  long write(const void* data, unsigned long size);

  // Blocks until data from the server is available and copies up to |size|
  // bytes of it; may return fewer than asked. Returns -1 once stopped or
  // disconnected. One reader at a time.
  long read(void* buffer, unsigned long size);

  const std::string& name() const { return name_; }

 private:
  void closeSocket();

  const std::string name_;
  std::atomic<int> handle_{-1};

  // Guards fd_ against start()/stop() racing each other.
  std::mutex lifecycleMutex_;
  int fd_ = -1;

  // What is left of the message being read; owned by the reader.
  std::mutex readMutex_;
  std::vector<unsigned char> pending_;
  size_t pendingOffset_ = 0;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_RESOURCE_MANAGER_CLIENT_H
