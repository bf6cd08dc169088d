#include "platform/basalt/zv_event_loop.h"

#include <chrono>
#include <vector>

#include "platform/basalt/zv_event.h"
#include "platform/basalt/zv_event_internal.h"
#include "platform/basalt/zv_test_clock.h"
#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_timer.h"

namespace ZvEventInternal {
namespace {
struct LoopRegistry {
  std::mutex mutex;
  std::vector<std::weak_ptr<LoopCore>> loops;
};

LoopRegistry& registry() {
  static LoopRegistry* instance = new LoopRegistry();  // never destroyed: used during exit
  return *instance;
}

void registerLoop(const std::shared_ptr<LoopCore>& core) {
  LoopRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (auto it = r.loops.begin(); it != r.loops.end();) {
    it = it->expired() ? r.loops.erase(it) : it + 1;
  }
  r.loops.push_back(core);
}
}  // namespace

void wakeAllLoops() {
  std::vector<std::shared_ptr<LoopCore>> live;
  {
    LoopRegistry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto& weak : r.loops) {
      if (auto core = weak.lock()) live.push_back(std::move(core));
    }
  }
  for (auto& core : live) core->wake();
}

bool LoopCore::post(QueueItem&& item) {
  std::unique_lock<std::mutex> lock(mMutex);
  if (mClosed) return false;
  mQueue.push_back(std::move(item));
  const bool wake = mWaiting;
  lock.unlock();
  if (wake) mWakeUp.notify_one();
  return true;
}

void LoopCore::quit() {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mQuit = true;
  }
  mWakeUp.notify_all();
}

void LoopCore::wake() {
  // Notifying under the lock: once it is released the loop's thread may end
  // and destroy this core (a timer started from another thread may fire,
  // quit the loop and be destroyed before start() returned otherwise).
  std::lock_guard<std::mutex> lock(mMutex);
  mWakeUp.notify_all();
}

void LoopCore::dispatch(QueueItem& item, uintptr_t contextID) {
  if (item.task) {
    item.task();
    return;
  }
  CZvEvent* event = item.event;
  if (item.target) {
    if (item.target->alive.load(std::memory_order_acquire)) {
      CZvEventDispatcher dispatcher(item.target->consumer, contextID);
      event->dispatchSelf(dispatcher);
    }
    event->release();
    return;
  }
  CZvEventDispatcher dispatcher(nullptr, contextID);
  event->dispatchSelf(dispatcher);
  if (event->pendingDeliveries().fetch_sub(1, std::memory_order_acq_rel) == 1) event->release();
}

void LoopCore::dispose(QueueItem& item) {
  if (item.event == nullptr) return;
  if (item.target) {
    item.event->release();
  } else if (item.event->pendingDeliveries().fetch_sub(1, std::memory_order_acq_rel) == 1) {
    item.event->release();
  }
  item.event = nullptr;
}

uint32_t LoopCore::processBatch(bool honourQuit) {
  // Items are taken from mLocal one at a time, so that a nested
  // runUntilIdle() (from inside a callback) continues with the next item
  // instead of overtaking it.
  if (mLocal.empty()) {
    std::lock_guard<std::mutex> lock(mMutex);
    mLocal.swap(mQueue);
  }
  uint32_t count = 0;
  while (!mLocal.empty()) {
    if (honourQuit && mQuit.load(std::memory_order_relaxed)) return count;  // the rest waits for the next run
    QueueItem item = std::move(mLocal.front());
    mLocal.pop_front();
    dispatch(item, mContextID);
    ++count;
  }
  return count;
}

uint32_t LoopCore::fireDueTimers() {
  uint32_t count = 0;
  uint64_t firedAt = 0;
  while (fireOneDueTimer(ZvTestClock::nowNs(), &firedAt)) ++count;
  return count;
}

uint32_t LoopCore::runUntilIdle() {
  uint32_t total = 0;
  for (;;) {
    const uint32_t n = processBatch(false) + fireDueTimers();
    if (n == 0) break;
    total += n;
  }
  return total;
}

void LoopCore::run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      if (mQuit) {
        mQuit = false;
        return;
      }
    }
    const uint32_t n = fireDueTimers() + processBatch(true);
    if (n > 0) continue;

    if (!mLocal.empty()) continue;
    // Everything that can end the wait (a post, a timer started from another
    // thread, a quit, the virtual clock moving) changes state under mMutex
    // before notifying, so checking under the lock cannot miss a wake-up.
    std::unique_lock<std::mutex> lock(mMutex);
    if (!mQueue.empty() || mQuit) continue;
    const bool haveDeadline = !mTimers.empty();
    const uint64_t deadline = haveDeadline ? mTimers.begin()->first.first : 0;
    if (haveDeadline && deadline <= ZvTestClock::nowNs()) continue;
    mWaiting = true;
    if (haveDeadline && !ZvTestClock::isEnabled()) {
      // steady_clock is CLOCK_MONOTONIC, the clock of the deadlines.
      const std::chrono::steady_clock::time_point until{std::chrono::nanoseconds(deadline)};
      mWakeUp.wait_until(lock, until);
    } else {
      // Virtual time moves only by ZvTestClock::advance(), which wakes us.
      mWakeUp.wait(lock);
    }
    mWaiting = false;
  }
}

void LoopCore::close() {
  std::deque<QueueItem> rest;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mClosed = true;
    rest.swap(mQueue);
    rest.insert(rest.begin(), std::make_move_iterator(mLocal.begin()), std::make_move_iterator(mLocal.end()));
    mLocal.clear();
    for (auto& entry : mTimers) entry.second->mArmed = false;
    mTimers.clear();
  }
  for (auto& item : rest) dispose(item);
}

bool LoopCore::startTimer(CZvTimer* timer, uint32_t ms, int32_t count) {
  const uint64_t now = ZvTestClock::nowNs();
  {
    std::lock_guard<std::mutex> lock(mMutex);
    disarmLocked(timer);
    if (count == 0 || (count < 0 && count != CZvTimer::CONTINUOUSLY)) return false;
    timer->mIntervalMs = ms;
    timer->mRemaining = count;
    timer->mDeadlineNs = now + static_cast<uint64_t>(ms) * 1000000ull;
    timer->mSequence = ++mTimerSequence;
    timer->mArmed = true;
    mTimers.emplace(TimerKey(timer->mDeadlineNs, timer->mSequence), timer);
    // Under the lock for the reason given in wake(): after the unlock the
    // timer may already have fired and been destroyed with its loop.
    mWakeUp.notify_all();
  }
  return true;
}

void LoopCore::disarmLocked(CZvTimer* timer) {
  if (timer->mArmed) {
    mTimers.erase(TimerKey(timer->mDeadlineNs, timer->mSequence));
    timer->mArmed = false;
  }
  timer->mRemaining = 0;
}

void LoopCore::stopTimer(CZvTimer* timer) {
  std::lock_guard<std::mutex> lock(mMutex);
  disarmLocked(timer);
}

bool LoopCore::isTimerArmed(const CZvTimer* timer) {
  std::lock_guard<std::mutex> lock(mMutex);
  return timer->mArmed;
}

int32_t LoopCore::timerRemaining(const CZvTimer* timer) {
  std::lock_guard<std::mutex> lock(mMutex);
  return timer->mArmed ? timer->mRemaining : 0;
}

bool LoopCore::earliestDeadline(uint64_t* deadlineNs) {
  std::lock_guard<std::mutex> lock(mMutex);
  if (mTimers.empty()) return false;
  *deadlineNs = mTimers.begin()->first.first;
  return true;
}

bool LoopCore::fireOneDueTimer(uint64_t limitNs, uint64_t* firedDeadlineNs) {
  CZvTimer* timer = nullptr;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mTimers.empty() || mTimers.begin()->first.first > limitNs) return false;
    auto first = mTimers.begin();
    timer = first->second;
    const uint64_t deadline = first->first.first;
    *firedDeadlineNs = deadline;
    mTimers.erase(first);
    timer->mArmed = false;
    if (timer->mRemaining != CZvTimer::CONTINUOUSLY) --timer->mRemaining;
    if (timer->mRemaining != 0) {
      // Re-arm before the callback, so that stop() or start() inside it win.
      // A zero interval repeats every millisecond so that it cannot starve
      // the loop; a late loop skips missed periods instead of bursting.
      const uint64_t period = static_cast<uint64_t>(timer->mIntervalMs ? timer->mIntervalMs : 1) * 1000000ull;
      const uint64_t now = ZvTestClock::nowNs();
      uint64_t next = deadline + period;
      if (next <= now) next = now + period;
      timer->mDeadlineNs = next;
      // The start sequence stays: ties are decided by the order of start().
      timer->mArmed = true;
      mTimers.emplace(TimerKey(next, timer->mSequence), timer);
    }
  }
  // The callback may stop, restart or destroy the timer; do not touch it after.
  CZvTimerEvent event(*timer);
  timer->getConsumer().processEvent(event);
  return true;
}

namespace {
thread_local std::unique_ptr<CZvEventLoop> tLoop;
}  // namespace
}  // namespace ZvEventInternal

struct CZvEventLoopFactory {
  static CZvEventLoop* create() { return new CZvEventLoop(); }
};

CZvEventLoop::CZvEventLoop()
    : mCore(std::make_shared<ZvEventInternal::LoopCore>(CZvThread::currentContextID())) {
  ZvEventInternal::registerLoop(mCore);
}

CZvEventLoop::~CZvEventLoop() { mCore->close(); }

CZvEventLoop& CZvEventLoop::current() {
  auto& loop = ZvEventInternal::tLoop;
  if (!loop) loop.reset(CZvEventLoopFactory::create());
  return *loop;
}

const std::shared_ptr<ZvEventInternal::LoopCore>& ZvEventInternal::currentCore() {
  return CZvEventLoop::current().core();
}

void CZvEventLoop::run() { mCore->run(); }
// A foreign thread may hold only a reference to this loop; the loop's thread
// can end (and destroy the loop) as soon as it sees the quit or the task, so
// the core is kept alive by a local reference until the call is over.
void CZvEventLoop::quit() {
  std::shared_ptr<ZvEventInternal::LoopCore> core = mCore;
  core->quit();
}
uint32_t CZvEventLoop::runUntilIdle() { return mCore->runUntilIdle(); }
uintptr_t CZvEventLoop::getContextID() const { return mCore->contextID(); }

void CZvEventLoop::postTask(std::function<void()> task) {
  if (!task) return;
  std::shared_ptr<ZvEventInternal::LoopCore> core = mCore;
  ZvEventInternal::QueueItem item;
  item.task = std::move(task);
  core->post(std::move(item));
}
