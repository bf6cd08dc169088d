// CZvPerformanceCheck: a stopwatch on the real monotonic clock.
#ifndef PLATFORM_BASALT_ZV_PERF_H
#define PLATFORM_BASALT_ZV_PERF_H

#include <cstdint>

#include "platform/basalt/zv_os.h"

class CZvPerformanceCheck {
 public:
  CZvPerformanceCheck() { start(); }
  void start() { mStartNs = ZvOperatingSystem::getRealMonotonicTime(); }
  // Nanoseconds since the last start(); the watch keeps running.
  uint64_t stop() const { return ZvOperatingSystem::getRealMonotonicTime() - mStartNs; }

 private:
  uint64_t mStartNs = 0;
};

#endif  // PLATFORM_BASALT_ZV_PERF_H
