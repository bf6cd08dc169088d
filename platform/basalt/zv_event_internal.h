// Internals of the event system shared by events, loops and timers.
// Not for use outside the base runtime library.
#ifndef PLATFORM_BASALT_ZV_EVENT_INTERNAL_H
#define PLATFORM_BASALT_ZV_EVENT_INTERNAL_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

class CZvEvent;
class CZvTimer;
class IZvEventConsumer;

namespace ZvEventInternal {
class LoopCore;

// Shared between a consumer and the events addressed to it, so that an
// event can tell whether its consumer still exists.
struct ConsumerState {
  std::atomic<bool> alive{true};
  IZvEventConsumer* consumer = nullptr;
  uintptr_t contextID = 0;
  std::shared_ptr<LoopCore> loop;
  std::atomic<uint32_t> registrations{0};  // listener registrations
};

struct QueueItem {
  CZvEvent* event = nullptr;
  std::shared_ptr<ConsumerState> target;  // null: deliver to this thread's listeners
  std::function<void()> task;
};

// The state of one thread's loop; outlives the thread while timers,
// consumers or senders still refer to it.
class LoopCore {
 public:
  explicit LoopCore(uintptr_t contextID) : mContextID(contextID) {}
  uintptr_t contextID() const { return mContextID; }

  // Queues item; false when the loop's thread has ended (the caller then
  // disposes of the item).
  bool post(QueueItem&& item);
  void quit();
  void run();
  uint32_t runUntilIdle();
  // Wakes a waiting run() so that it looks at the clock again.
  void wake();
  // The thread ends: nothing more is accepted, pending items are disposed of.
  void close();

  // Timers (any thread; the expiry runs on this loop's thread).
  bool startTimer(CZvTimer* timer, uint32_t ms, int32_t count);
  void stopTimer(CZvTimer* timer);
  bool isTimerArmed(const CZvTimer* timer);
  int32_t timerRemaining(const CZvTimer* timer);
  // Fires the earliest timer due at or before limitNs; false if none.
  bool fireOneDueTimer(uint64_t limitNs, uint64_t* firedDeadlineNs);
  bool earliestDeadline(uint64_t* deadlineNs);

 private:
  using TimerKey = std::pair<uint64_t, uint64_t>;  // deadline, start sequence

  static void dispatch(QueueItem& item, uintptr_t contextID);
  static void dispose(QueueItem& item);
  void disarmLocked(CZvTimer* timer);
  // Processes what has been posted so far; returns the count. Stops early
  // on quit when honourQuit, keeping the rest for the next run.
  uint32_t processBatch(bool honourQuit);
  uint32_t fireDueTimers();

  const uintptr_t mContextID;
  std::mutex mMutex;
  std::condition_variable mWakeUp;
  std::deque<QueueItem> mQueue;  // posted, not yet taken (guarded by mMutex)
  std::deque<QueueItem> mLocal;  // taken, not yet dispatched (loop thread only)
  bool mWaiting = false;
  std::atomic<bool> mQuit{false};
  bool mClosed = false;
  std::map<TimerKey, CZvTimer*> mTimers;
  uint64_t mTimerSequence = 0;
};

// Wakes every live loop (the virtual clock moved).
void wakeAllLoops();
// The calling thread's loop core (creating the loop).
const std::shared_ptr<LoopCore>& currentCore();
}  // namespace ZvEventInternal

#endif  // PLATFORM_BASALT_ZV_EVENT_INTERNAL_H
