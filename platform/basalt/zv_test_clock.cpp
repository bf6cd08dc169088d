#include "platform/basalt/zv_test_clock.h"

#include <atomic>

#include "platform/basalt/zv_event_internal.h"
#include "platform/basalt/zv_os.h"

namespace ZvTestClock {
namespace {
constexpr uint64_t kVirtualStartNs = 1000000000ull;
std::atomic<bool> gEnabled{false};
std::atomic<uint64_t> gVirtualNs{kVirtualStartNs};

void moveTo(uint64_t ns) {
  uint64_t current = gVirtualNs.load(std::memory_order_acquire);
  while (current < ns && !gVirtualNs.compare_exchange_weak(current, ns, std::memory_order_acq_rel)) {
  }
}
}  // namespace

void enable() {
  gVirtualNs.store(kVirtualStartNs, std::memory_order_release);
  gEnabled.store(true, std::memory_order_release);
}

void disable() {
  gEnabled.store(false, std::memory_order_release);
  ZvEventInternal::wakeAllLoops();
}

bool isEnabled() { return gEnabled.load(std::memory_order_acquire); }

uint64_t nowNs() {
  return isEnabled() ? gVirtualNs.load(std::memory_order_acquire) : ZvOperatingSystem::getRealMonotonicTime();
}

uint64_t now() { return nowNs() / 1000000ull; }

void advance(uint32_t ms) {
  if (!isEnabled()) return;
  const uint64_t target = gVirtualNs.load(std::memory_order_acquire) + static_cast<uint64_t>(ms) * 1000000ull;
  const auto& core = ZvEventInternal::currentCore();
  core->runUntilIdle();
  uint64_t firedAt = 0;
  // Fire this thread's timers one by one with the clock at each deadline, so
  // that what they start or post sees the time it would see in real life.
  for (;;) {
    uint64_t deadline = 0;
    if (!core->earliestDeadline(&deadline) || deadline > target) break;
    moveTo(deadline);
    if (core->fireOneDueTimer(deadline, &firedAt)) core->runUntilIdle();
  }
  moveTo(target);
  core->runUntilIdle();
  ZvEventInternal::wakeAllLoops();
}
}  // namespace ZvTestClock
