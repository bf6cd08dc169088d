// One-shot and periodic timers that deliver a pulse to a dispatch handle when
// they expire, in the style of QNX timers with a pulse event. Each timer is a
// timerfd watched by the handle behind the pulse's connection, so an expiry
// reaches the handle's pulse handler on the thread that runs its context.
#ifndef PLATFORM_QNX_PULSE_TIMER_H
#define PLATFORM_QNX_PULSE_TIMER_H

#include <time.h>

#include <cstdint>

namespace qnx {

// What an expiry sends: a pulse with this code and value over connection coid.
struct pulse_event {
  int coid = -1;
  int priority = -1;  // -1: inherit; kept for the interface, not used on Linux
  int code = 0;
  uintptr_t value = 0;
};

// Creates a disarmed timer on clock (CLOCK_MONOTONIC or CLOCK_REALTIME).
// Returns its id (>= 0) or -1 with errno EINVAL (bad arguments, unknown
// connection) or the error of the kernel.
int pulse_timer_create(clockid_t clock, const pulse_event* event);
// Arms (it_value non-zero) or disarms the timer, as timer_settime().
// 0, or -1 with errno EINVAL for an unknown timer.
int pulse_timer_settime(int timer_id, int flags, const struct itimerspec* value,
                        struct itimerspec* old_value);
// Deletes the timer; a pending expiry is not delivered any more.
// 0, or -1 with errno EINVAL for an unknown timer.
int pulse_timer_delete(int timer_id);

}  // namespace qnx

#endif  // PLATFORM_QNX_PULSE_TIMER_H
