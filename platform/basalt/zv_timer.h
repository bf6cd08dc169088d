// CZvTimer: one-shot and repeating timers delivered through the owning
// thread's event loop.
//
// A timer belongs to the thread that constructed it; its expiry calls
// consumer.processEvent() on that thread while the thread runs its
// CZvEventLoop (run() or runUntilIdle()), or inside ZvTestClock::advance()
// on that thread. Timers due at the same moment fire in the order they were
// started (a repeating timer keeps its place). Restarting a running timer
// re-arms it; stop() and start() may be called from the consumer's
// processEvent() and from other threads; destroying a timer cancels it.
// Destroy a timer on its own thread (or after that thread's loop ended):
// the loop may be about to call it.
#ifndef PLATFORM_BASALT_ZV_TIMER_H
#define PLATFORM_BASALT_ZV_TIMER_H

#include <cstdint>
#include <memory>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"

class CZvTimer;

class CZvTimerEvent {
 public:
  explicit CZvTimerEvent(CZvTimer& timer) : mTimer(timer) {}
  CZvTimer& getTimer() const { return mTimer; }

 private:
  CZvTimer& mTimer;
};

class IZvTimerConsumer {
 public:
  virtual ~IZvTimerConsumer() = default;
  virtual void processEvent(const CZvTimerEvent& event) = 0;
};

namespace ZvEventInternal {
class LoopCore;
}

class CZvTimer : private CZvNonCopyable {
 public:
  static constexpr int32_t CONTINUOUSLY = -1;

  CZvTimer(IZvTimerConsumer& consumer, const char* name);
  ~CZvTimer();

  // Arms the timer to fire after ms milliseconds, count times (1: once,
  // CONTINUOUSLY: until stopped), every ms milliseconds. A running timer is
  // re-armed from now. ms 0 fires at the loop's next turn; a repeating timer
  // with ms 0 repeats every millisecond so that it cannot starve the loop.
  // Returns false (and stops the timer) for count 0 or a negative count
  // other than CONTINUOUSLY.
  bool start(uint32_t ms, int32_t count = 1);
  void stop();
  bool isRunning() const;

  const CZvString& getName() const { return mName; }
  IZvTimerConsumer& getConsumer() const { return mConsumer; }
  uint32_t getInterval() const { return mIntervalMs; }
  // Expiries still to come (CONTINUOUSLY for a repeating timer, 0 when stopped).
  int32_t getRemainingCount() const;

  // Identity: a timer equals only itself.
  bool operator==(const CZvTimer& other) const { return this == &other; }
  bool operator!=(const CZvTimer& other) const { return this != &other; }

 private:
  friend class ZvEventInternal::LoopCore;

  IZvTimerConsumer& mConsumer;
  CZvString mName;
  std::shared_ptr<ZvEventInternal::LoopCore> mLoop;
  // Scheduling state, guarded by the loop's lock.
  uint64_t mDeadlineNs = 0;
  uint64_t mSequence = 0;
  uint32_t mIntervalMs = 0;
  int32_t mRemaining = 0;
  bool mArmed = false;
};

#endif  // PLATFORM_BASALT_ZV_TIMER_H
