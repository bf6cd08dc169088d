#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_os.h"
#include "platform/basalt/zv_test_clock.h"
#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_timer.h"

namespace {

// Records "<timer name>@<virtual ms>" for every expiry.
class Recorder : public IZvTimerConsumer {
 public:
  void processEvent(const CZvTimerEvent& event) override {
    log.push_back(std::string(event.getTimer().getName().c_str()) + "@" +
                  std::to_string(ZvTestClock::now() - 1000));
    if (onExpiry) onExpiry(event.getTimer());
  }
  std::vector<std::string> log;
  std::function<void(CZvTimer&)> onExpiry;
};

using Log = std::vector<std::string>;

class CZvTimerTest : public ::testing::Test {
 protected:
  CZvVirtualClockScope mClock;
  Recorder mRecorder;
};

TEST_F(CZvTimerTest, OnceFiresExactlyOnceAtItsDeadline) {
  CZvTimer timer(mRecorder, "once");
  ASSERT_TRUE(timer.start(100));
  EXPECT_TRUE(timer.isRunning());
  ZvTestClock::advance(99);
  EXPECT_TRUE(mRecorder.log.empty());
  ZvTestClock::advance(1);
  EXPECT_EQ(mRecorder.log, (Log{"once@100"}));
  EXPECT_FALSE(timer.isRunning());
  ZvTestClock::advance(1000);
  EXPECT_EQ(mRecorder.log.size(), 1u);
}

TEST_F(CZvTimerTest, RepeatsAndCountsDownInDeadlineOrder) {
  CZvTimer forever(mRecorder, "forever");
  CZvTimer thrice(mRecorder, "thrice");
  CZvTimer tie(mRecorder, "tie");
  forever.start(30, CZvTimer::CONTINUOUSLY);
  thrice.start(20, 3);
  tie.start(60);             // due with the others at 60; started last, fires last
  ZvTestClock::advance(95);  // one call covering several expiries
  EXPECT_EQ(mRecorder.log,
            (Log{"thrice@20", "forever@30", "thrice@40", "forever@60", "thrice@60", "tie@60", "forever@90"}));
  EXPECT_TRUE(forever.isRunning());
  EXPECT_FALSE(thrice.isRunning());
  EXPECT_EQ(forever.getRemainingCount(), CZvTimer::CONTINUOUSLY);
}

TEST_F(CZvTimerTest, StopRestartAndDestroyCancel) {
  auto doomed = std::make_unique<CZvTimer>(mRecorder, "doomed");
  CZvTimer stopped(mRecorder, "stopped");
  CZvTimer restarted(mRecorder, "restarted");
  doomed->start(10);
  stopped.start(10);
  restarted.start(10);
  ZvTestClock::advance(5);
  doomed.reset();
  stopped.stop();
  restarted.start(10);  // re-armed from now: due at 15
  ZvTestClock::advance(20);
  EXPECT_EQ(mRecorder.log, (Log{"restarted@15"}));
}

TEST_F(CZvTimerTest, StopAndRestartInsideTheCallback) {
  CZvTimer repeating(mRecorder, "rep");
  int expiries = 0;
  mRecorder.onExpiry = [&](CZvTimer& timer) {
    if (++expiries == 2) timer.stop();
  };
  repeating.start(10, CZvTimer::CONTINUOUSLY);
  ZvTestClock::advance(100);
  EXPECT_EQ(mRecorder.log, (Log{"rep@10", "rep@20"}));

  mRecorder.log.clear();
  CZvTimer once(mRecorder, "again");
  int restarts = 0;
  mRecorder.onExpiry = [&](CZvTimer& timer) {
    if (restarts++ < 2) timer.start(5);  // a one-shot timer restarting itself
  };
  once.start(5);
  ZvTestClock::advance(100);
  EXPECT_EQ(mRecorder.log, (Log{"again@105", "again@110", "again@115"}));
}

TEST_F(CZvTimerTest, DestroyingTheTimerInsideItsCallbackIsSafe) {
  auto* timer = new CZvTimer(mRecorder, "self");
  mRecorder.onExpiry = [&](CZvTimer& t) { delete &t; };
  timer->start(1, CZvTimer::CONTINUOUSLY);
  ZvTestClock::advance(10);
  EXPECT_EQ(mRecorder.log, (Log{"self@1"}));
}

TEST_F(CZvTimerTest, BadCountsAreRefusedAndZeroIntervalCannotStarve) {
  CZvTimer timer(mRecorder, "t");
  EXPECT_FALSE(timer.start(10, 0));
  EXPECT_FALSE(timer.start(10, -7));
  EXPECT_FALSE(timer.isRunning());

  ASSERT_TRUE(timer.start(0, CZvTimer::CONTINUOUSLY));
  CZvEventLoop::current().runUntilIdle();  // returns: the repeat waits a millisecond
  EXPECT_EQ(mRecorder.log, (Log{"t@0"}));
  ZvTestClock::advance(3);
  EXPECT_EQ(mRecorder.log.size(), 4u);
  timer.stop();
}

TEST_F(CZvTimerTest, MonotonicTimeFollowsTheVirtualClock) {
  uint64_t before = 0;
  uint64_t after = 0;
  ASSERT_TRUE(ZvOperatingSystem::getMonotonicTime(&before));
  ZvTestClock::advance(250);
  ASSERT_TRUE(ZvOperatingSystem::getMonotonicTime(&after));
  EXPECT_EQ(after - before, 250000000u);
  EXPECT_FALSE(ZvOperatingSystem::getMonotonicTime(nullptr));
}

TEST_F(CZvTimerTest, TimerFiresOnItsOwnThreadsLoop) {
  std::atomic<CZvEventLoop*> loop{nullptr};
  std::atomic<uintptr_t> firedOn{0};
  uintptr_t ownerThread = 0;
  std::atomic<bool> armed{false};
  class QuitOnExpiry : public IZvTimerConsumer {
   public:
    explicit QuitOnExpiry(std::atomic<uintptr_t>& firedOn) : mFiredOn(firedOn) {}
    void processEvent(const CZvTimerEvent&) override {
      mFiredOn = CZvThread::currentContextID();
      CZvEventLoop::current().quit();
    }
    std::atomic<uintptr_t>& mFiredOn;
  };
  std::thread owner([&] {
    QuitOnExpiry consumer(firedOn);
    CZvTimer timer(consumer, "remote");
    ownerThread = CZvThread::currentContextID();
    timer.start(50);
    loop = &CZvEventLoop::current();
    armed = true;
    CZvEventLoop::current().run();
  });
  while (!armed) std::this_thread::yield();
  ZvTestClock::advance(50);  // wakes the owner's loop, which fires its timer
  owner.join();
  EXPECT_EQ(firedOn.load(), ownerThread);
  EXPECT_NE(firedOn.load(), CZvThread::currentContextID());
}

// Real time: the owner sleeps in run() with no timer armed; a start() from
// another thread must wake it so that the timer fires.
TEST(CZvTimerRealTimeTest, StartFromAnotherThreadWakesTheOwner) {
  class QuitOnExpiry : public IZvTimerConsumer {
   public:
    void processEvent(const CZvTimerEvent&) override { CZvEventLoop::current().quit(); }
  };
  std::atomic<CZvTimer*> timer{nullptr};
  std::thread owner([&] {
    QuitOnExpiry consumer;
    CZvTimer ownTimer(consumer, "woken");
    timer = &ownTimer;
    CZvEventLoop::current().run();
    timer = nullptr;
  });
  while (timer.load() == nullptr) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));  // let the owner fall asleep
  ASSERT_TRUE(timer.load()->start(5));
  owner.join();  // hangs if the wake-up were lost
}

}  // namespace
