// ResourceManager: the server end of a named message channel.
//
// Clients (ResourceManagerClient, in any process of the machine) connect by
// name. Each message keeps its boundaries: one client write is one server
// read. The server serves on a thread of its own that accepts clients and
// queues their messages; read() hands them out one at a time, in the order
// they arrived from each client.
#ifndef PLATFORM_COMMUNICATION_RESOURCE_MANAGER_H
#define PLATFORM_COMMUNICATION_RESOURCE_MANAGER_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace communication {

// What a read found besides the bytes it returned.
struct IoState {
  // Size of the message as the client sent it.
  unsigned long messageSize = 0;
  // True when the message was longer than the reader's buffer: the reader
  // got the first bytes that fit and the rest of that message was dropped.
  bool truncated = false;
};

class ResourceManager {
 public:
  // Messages waiting for read() are limited to this many bytes in total;
  // beyond it the server stops taking messages off the sockets, so senders
  // wait instead of the queue growing without bound.
  static constexpr unsigned long kMaxQueuedBytes = 1ul << 20;

  explicit ResourceManager(const char* name);
  // Stops the channel and joins the serving thread.
  ~ResourceManager();
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  // Opens the channel under its name and starts the serving thread. False
  // when the name is invalid or already served, or when the channel was
  // started or stopped before.
  bool start();
  // Closes the channel and every client connection, joins the serving
  // thread and wakes a blocked read(). Safe to call more than once.
  void stop();

  // -1 once the channel is stopped; another value before (0 until started).
  int getHandle() const;

  // Blocks for one message from any client. Stores the sender's id in
  // |*client| (when not null), copies at most |size| bytes to |buffer| and
  // returns the count copied; a longer message is cut (see IoState). Returns
  // -1 once the channel is stopped.
  long read(uint64_t* client, void* buffer, unsigned long size, IoState& state);

  // Sends one message to |client|. Returns |size|, or -1 with errno set when
  // the client is unknown (ENOTCONN) or the send fails. Messages to one
  // client arrive in the order written. An empty message is not sent.
  long write(uint64_t client, const void* data, unsigned long size);

  const std::string& name() const { return name_; }

 private:
  struct Connection;
  struct Message {
    uint64_t client;
    std::vector<unsigned char> bytes;
  };

  void serve();
  void acceptClient();
  // Takes one message off the connection; false when it is gone.
  bool receiveFrom(const std::shared_ptr<Connection>& connection);
  void dropConnection(uint64_t id);
  // Makes the serving thread poll again; needs mutex_ held.
  void wakeServerLocked();

  const std::string name_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable messageReady_;
  int handle_ = 0;
  bool started_ = false;
  bool stopping_ = false;
  uint64_t nextClientId_ = 1;
  std::map<uint64_t, std::shared_ptr<Connection>> connections_;
  std::deque<Message> queue_;
  unsigned long queuedBytes_ = 0;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_RESOURCE_MANAGER_H
