// Internals shared by the dispatch handle and the pulse timers.
#ifndef PLATFORM_QNX_DISPATCH_INTERNAL_H
#define PLATFORM_QNX_DISPATCH_INTERNAL_H

#include <sys/epoll.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/qnx/dispatch.h"

namespace qnx {
namespace internal {

// What an epoll registration stands for; kept in the top byte of its data.
enum class Source : uint8_t { kSelect = 1, kPulseQueue = 2, kTimer = 3 };

// Packs source, generation (24 bits) and descriptor into epoll's 64-bit data.
inline uint64_t packEventData(Source source, uint32_t generation, int fd) {
  return (uint64_t{static_cast<uint8_t>(source)} << 56) |
         (uint64_t{generation & 0xFFFFFFu} << 32) | static_cast<uint32_t>(fd);
}
inline Source eventSource(uint64_t data) { return static_cast<Source>(data >> 56); }
inline uint32_t eventGeneration(uint64_t data) { return (data >> 32) & 0xFFFFFFu; }
inline int eventDescriptor(uint64_t data) { return static_cast<int>(data & 0xFFFFFFFFu); }

struct Attachment {
  bool attached = false;
  unsigned flags = 0;
  select_func_t func = nullptr;
  void* handle = nullptr;
  // Bumped by every detach: events fetched for an older generation are stale.
  uint32_t generation = 0;
  // What the kernel currently has for the descriptor (0: not registered).
  uint32_t registeredEvents = 0;
  uint32_t registeredGeneration = 0;
  bool dirty = false;
};

struct PulseHandler {
  pulse_func_t func = nullptr;
  void* handle = nullptr;
};

struct Pulse {
  int code = 0;
  uintptr_t value = 0;
};

}  // namespace internal

struct dispatch_t {
  int epollFd = -1;
  // Semaphore eventfd: one count per queued pulse.
  int pulseQueueFd = -1;
  std::vector<internal::Attachment> attachments;  // indexed by descriptor
  std::vector<int> dirtyDescriptors;
  internal::PulseHandler pulseHandlers[PULSE_CODE_MAXAVAIL + 1];

  // Guards the pulse queue and the timer table, which other threads reach.
  std::mutex mutex;
  std::deque<internal::Pulse> pulseQueue;
  std::unordered_map<int, internal::Pulse> timers;  // timerfd -> pulse to send
};

namespace internal {
// The process-wide table of connections and timers.
std::mutex& registryMutex();
// The handle behind a connection, or null. Call with registryMutex() held.
dispatch_t* findConnectionLocked(int coid);
// Timer ids -> their handle (null once the handle is destroyed).
std::unordered_map<int, dispatch_t*>& timerOwnersLocked();
}  // namespace internal

}  // namespace qnx

#endif  // PLATFORM_QNX_DISPATCH_INTERNAL_H
