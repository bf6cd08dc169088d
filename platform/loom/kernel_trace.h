// Kernel-trace user events of the component framework.
//
// Events are kept in memory, in a ring of the newest kRingCapacity events,
// where tools and tests read them back.
#ifndef PLATFORM_LOOM_KERNEL_TRACE_H
#define PLATFORM_LOOM_KERNEL_TRACE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ZvKernelTrace {

// Who raised an event; the event numbers are that party's own.
enum class EventKind : uint32_t { kApplication = 0, kFramework = 1 };

struct SZvKernelTraceEvent {
  EventKind kind;
  uint32_t eventNumber;
  std::vector<uint8_t> data;
  uint64_t monotonicTimeNs;
  uint64_t threadId;  // The kernel's id of the raising thread.
};

constexpr size_t kRingCapacity = 4096;
// Largest data an event may carry.
constexpr size_t kMaxEventData = 256;

// Records one event; false (nothing recorded) when the data is too large or
// null with a non-zero size.
bool addUserEvent(EventKind kind, uint32_t eventNumber, const void* data, size_t size);
inline bool addFrameworkUserEvent(uint32_t eventNumber, const void* data, size_t size) {
  return addUserEvent(EventKind::kFramework, eventNumber, data, size);
}

// The recorded events, oldest first.
std::vector<SZvKernelTraceEvent> getRecordedEvents();
// Events that fell out of the ring since the last clear.
uint64_t getDroppedEventCount();
void clearRecordedEvents();

}  // namespace ZvKernelTrace

#endif  // PLATFORM_LOOM_KERNEL_TRACE_H
