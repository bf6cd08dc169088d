// One-shot timers that run their handler on a dispatcher's loop thread.
//
//   ZvIO::NativeTimer timer(dispatcher);
//   dispatcher.enqueueTimer(&timer, handler);  // the dispatcher owns handler
//   handler->arm(timer.getId());               // runs after its period
//
// A handler returning true from expired() is armed again for its period.
#ifndef SOCKWEAVE_IO_ZV_IO_NATIVE_TIMER_H
#define SOCKWEAVE_IO_ZV_IO_NATIVE_TIMER_H

#include <cstdint>

#include "platform/basalt/zv_noncopyable.h"
#include "sockweave/io/zv_io_error.h"

namespace ZvIO {

class Dispatcher;

class NativeTimer : public CZvNonCopyable {
 public:
  // Creates a monotonic timer whose expiry reaches dispatcher.
  explicit NativeTimer(Dispatcher& dispatcher);
  // Removes the timer's handler from the dispatcher and deletes the timer.
  ~NativeTimer();

  // The timer id, -1 when there is none.
  int getId() const { return mTimerId; }
  Dispatcher* getDispatcher() const { return mDispatcher; }

 private:
  friend class Dispatcher;
  // The dispatcher is going away first: the timer can no longer fire.
  void orphan();

  int mTimerId = -1;
  Dispatcher* mDispatcher;
};

namespace ZvPrivate {

class NativeTimerHandlerBase {
 public:
  explicit NativeTimerHandlerBase(uint32_t periodMs) : mPeriodMs(periodMs) {}
  virtual ~NativeTimerHandlerBase() = default;
  NativeTimerHandlerBase(const NativeTimerHandlerBase&) = delete;
  NativeTimerHandlerBase& operator=(const NativeTimerHandlerBase&) = delete;

  // Runs when the timer expires; true arms it again for the period.
  virtual bool expired(int timerId) = 0;

  // Starts the timer once, to expire after the period. 0 or the error code.
  error_code arm(int timerId);

  uint32_t getPeriod() const { return mPeriodMs; }
  void setPeriod(uint32_t periodMs) { mPeriodMs = periodMs; }

 private:
  uint32_t mPeriodMs;
};

}  // namespace ZvPrivate
}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_NATIVE_TIMER_H
