#include "platform/basalt/zv_os.h"

#include <time.h>

#include "platform/basalt/zv_test_clock.h"

namespace ZvOperatingSystem {
uint64_t getRealMonotonicTime() {
  timespec ts{};
  if (clock_gettime(CLOCK_MONOTONIC, &ts) != 0) return 0;
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

bool getMonotonicTime(uint64_t* nanoseconds) {
  if (nanoseconds == nullptr) return false;
  if (ZvTestClock::isEnabled()) {
    *nanoseconds = ZvTestClock::nowNs();
    return true;
  }
  const uint64_t now = getRealMonotonicTime();
  if (now == 0) return false;
  *nanoseconds = now;
  return true;
}
}  // namespace ZvOperatingSystem
