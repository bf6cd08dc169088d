// Operating-system helpers.
#ifndef PLATFORM_BASALT_ZV_OS_H
#define PLATFORM_BASALT_ZV_OS_H

#include <cstdint>

namespace ZvOperatingSystem {
// Monotonic time in nanoseconds (CLOCK_MONOTONIC). While the test clock
// (zv_test_clock.h) is enabled this is the virtual time instead, so that
// code measuring elapsed time agrees with the virtual timers.
// Returns false (and leaves *nanoseconds alone) when nanoseconds is null or
// the clock cannot be read.
bool getMonotonicTime(uint64_t* nanoseconds);

// The real CLOCK_MONOTONIC, never virtual. Returns 0 if unreadable.
uint64_t getRealMonotonicTime();
}  // namespace ZvOperatingSystem

#endif  // PLATFORM_BASALT_ZV_OS_H
