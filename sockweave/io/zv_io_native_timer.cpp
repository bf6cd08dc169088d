#include "sockweave/io/zv_io_native_timer.h"

#include <errno.h>
#include <time.h>

#include "platform/basalt/zv_assert.h"
#include "platform/qnx/pulse_timer.h"
#include "sockweave/io/zv_io_dispatcher.h"

namespace ZvIO {

NativeTimer::NativeTimer(Dispatcher& dispatcher) : mDispatcher(&dispatcher) {
  qnx::pulse_event event;
  event.coid = dispatcher.pulseConnection();
  event.code = dispatcher.pulseCode();
  event.value = reinterpret_cast<uintptr_t>(this);
  mTimerId = qnx::pulse_timer_create(CLOCK_MONOTONIC, &event);
  if (mTimerId == -1) doCheapAssert(19, "NativeTimerQNX");
  dispatcher.addTimer(this);
}

NativeTimer::~NativeTimer() {
  if (mDispatcher != nullptr) {
    mDispatcher->removeTimer(this);
    mDispatcher->forgetTimer(this);
  }
  orphan();
}

void NativeTimer::orphan() {
  if (mTimerId != -1) qnx::pulse_timer_delete(mTimerId);
  mTimerId = -1;
  mDispatcher = nullptr;
}

namespace ZvPrivate {

error_code NativeTimerHandlerBase::arm(int timerId) {
  itimerspec expiry{};
  expiry.it_value.tv_sec = static_cast<time_t>(mPeriodMs / 1000);
  expiry.it_value.tv_nsec = static_cast<long>(mPeriodMs % 1000) * 1000000L;
  // A zero expiry would disarm the timer; a period of 0 means "as soon as possible".
  if (mPeriodMs == 0) expiry.it_value.tv_nsec = 1;
  if (qnx::pulse_timer_settime(timerId, 0, &expiry, nullptr) != 0) return to_error_code(errno);
  return kSuccess;
}

}  // namespace ZvPrivate
}  // namespace ZvIO
