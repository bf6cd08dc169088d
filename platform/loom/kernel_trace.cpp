#include "platform/loom/kernel_trace.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>
#include <deque>
#include <mutex>

namespace ZvKernelTrace {
namespace {

struct Ring {
  std::mutex mutex;
  std::deque<SZvKernelTraceEvent> events;
  uint64_t dropped = 0;
};

Ring& ring() {
  static Ring* instance = new Ring;  // Outlives threads still tracing at exit.
  return *instance;
}

uint64_t monotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000ull + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

bool addUserEvent(EventKind kind, uint32_t eventNumber, const void* data, size_t size) {
  if (size > kMaxEventData || (size > 0 && !data)) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  SZvKernelTraceEvent event{kind, eventNumber, std::vector<uint8_t>(bytes, bytes + size),
                            monotonicNow(), static_cast<uint64_t>(syscall(SYS_gettid))};
  Ring& events = ring();
  std::lock_guard<std::mutex> lock(events.mutex);
  if (events.events.size() == kRingCapacity) {
    events.events.pop_front();
    ++events.dropped;
  }
  events.events.push_back(std::move(event));
  return true;
}

std::vector<SZvKernelTraceEvent> getRecordedEvents() {
  Ring& events = ring();
  std::lock_guard<std::mutex> lock(events.mutex);
  return std::vector<SZvKernelTraceEvent>(events.events.begin(), events.events.end());
}

uint64_t getDroppedEventCount() {
  Ring& events = ring();
  std::lock_guard<std::mutex> lock(events.mutex);
  return events.dropped;
}

void clearRecordedEvents() {
  Ring& events = ring();
  std::lock_guard<std::mutex> lock(events.mutex);
  events.events.clear();
  events.dropped = 0;
}

}  // namespace ZvKernelTrace
