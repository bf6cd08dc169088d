// CZvEventLoop: the per-thread queue through which events, posted tasks and
// timer expiries reach a thread. Each thread gets its loop on first use.
// Everything posted to one loop runs on its thread in the order posted.
#ifndef PLATFORM_BASALT_ZV_EVENT_LOOP_H
#define PLATFORM_BASALT_ZV_EVENT_LOOP_H

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/basalt/zv_noncopyable.h"

namespace ZvEventInternal {
class LoopCore;
}

class CZvEventLoop : private CZvNonCopyable {
 public:
  // The calling thread's loop (created on first use, destroyed when the
  // thread ends; work still queued then is dropped and its events deleted).
  static CZvEventLoop& current();

  // Processes events, tasks and timers until quit() is called.
  void run();
  // Makes run() return after the item it is processing; callable from any
  // thread. A quit() before run() makes the next run() return at once.
  void quit();
  // Processes everything that is pending now, including what that work
  // posts to this loop meanwhile and the timers that are due, then returns.
  // Returns the number of items processed. Only on the loop's own thread.
  uint32_t runUntilIdle();

  // Runs task on this loop's thread; callable from any thread.
  void postTask(std::function<void()> task);

  uintptr_t getContextID() const;
  const std::shared_ptr<ZvEventInternal::LoopCore>& core() const { return mCore; }

  ~CZvEventLoop();

 private:
  CZvEventLoop();
  friend struct CZvEventLoopFactory;

  std::shared_ptr<ZvEventInternal::LoopCore> mCore;
};

#endif  // PLATFORM_BASALT_ZV_EVENT_LOOP_H
