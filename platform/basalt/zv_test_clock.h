// ZvTestClock: virtual time for tests.
//
// While enabled, timers and ZvOperatingSystem::getMonotonicTime() follow a
// virtual clock that moves only through advance(). Enable it before
// starting the timers under test.
#ifndef PLATFORM_BASALT_ZV_TEST_CLOCK_H
#define PLATFORM_BASALT_ZV_TEST_CLOCK_H

#include <cstdint>

namespace ZvTestClock {
// Switches to virtual time, which starts at 1 s (so that 0 can keep its
// usual meaning of "never").
void enable();
// Back to the real monotonic clock.
void disable();
bool isEnabled();
// Moves virtual time forward by ms. Timers of the calling thread that fall
// due are fired in deadline order (ties in start order), each with the
// clock set to its deadline, and the loop's pending work is processed after
// each one; so when advance() returns, everything due by then has run.
// Loops of other threads are woken to fire their own due timers.
void advance(uint32_t ms);
// Current time of the active clock in milliseconds and nanoseconds.
uint64_t now();
uint64_t nowNs();
}  // namespace ZvTestClock

// Enables the virtual clock for one scope (a test), disabling it after.
class CZvVirtualClockScope {
 public:
  CZvVirtualClockScope() { ZvTestClock::enable(); }
  ~CZvVirtualClockScope() { ZvTestClock::disable(); }
  CZvVirtualClockScope(const CZvVirtualClockScope&) = delete;
  CZvVirtualClockScope& operator=(const CZvVirtualClockScope&) = delete;
};

#endif  // PLATFORM_BASALT_ZV_TEST_CLOCK_H
