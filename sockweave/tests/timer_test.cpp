#include "sockweave/io/zv_io_native_timer.h"

#include <functional>
#include <memory>

#include "gtest/gtest.h"
#include "sockweave/io/zv_io_dispatcher.h"

namespace {

// Counts its expiries and keeps itself running for `runs` expiries.
class CountingTimerHandler : public ZvIO::ZvPrivate::NativeTimerHandlerBase {
 public:
  CountingTimerHandler(uint32_t periodMs, int runs, int* count, bool* deleted,
                       std::function<void()> action = {})
      : NativeTimerHandlerBase(periodMs), mRuns(runs), mCount(count), mDeleted(deleted),
        mAction(std::move(action)) {}
  ~CountingTimerHandler() override { *mDeleted = true; }
  bool expired(int) override {
    ++*mCount;
    if (mAction) mAction();
    return *mCount < mRuns;
  }

 private:
  int mRuns;
  int* mCount;
  bool* mDeleted;
  std::function<void()> mAction;
};

// Real timers with periods of a millisecond or two: the loop runs them.
class NativeTimerTest : public ::testing::Test {
 protected:
  // Polls until the handler is gone (bounded, so a lost timer fails the test).
  void pollUntilDeleted() {
    for (int i = 0; i < 1000 && !deleted_; ++i) ASSERT_EQ(dispatcher_.poll(0), 0);
  }
  ZvIO::Dispatcher dispatcher_;
  int count_ = 0;
  bool deleted_ = false;
};

TEST_F(NativeTimerTest, HandlerReturningTrueIsArmedAgainUntilItReturnsFalse) {
  ZvIO::NativeTimer timer(dispatcher_);
  ASSERT_NE(timer.getId(), -1);
  auto* handler = new CountingTimerHandler(1, 3, &count_, &deleted_);
  ASSERT_TRUE(dispatcher_.enqueueTimer(&timer, handler));
  auto* second = new CountingTimerHandler(1, 1, &count_, &deleted_);
  EXPECT_FALSE(dispatcher_.enqueueTimer(&timer, second)) << "one handler per timer";
  delete second;
  deleted_ = false;
  ASSERT_EQ(handler->arm(timer.getId()), 0);
  pollUntilDeleted();
  EXPECT_EQ(count_, 3);
  EXPECT_TRUE(deleted_);
}

TEST_F(NativeTimerTest, PeriodZeroStillFires) {
  ZvIO::NativeTimer timer(dispatcher_);
  auto* handler = new CountingTimerHandler(0, 2, &count_, &deleted_);
  ASSERT_TRUE(dispatcher_.enqueueTimer(&timer, handler));
  ASSERT_EQ(handler->arm(timer.getId()), 0);
  pollUntilDeleted();
  EXPECT_EQ(count_, 2);
}

TEST_F(NativeTimerTest, HandlerRemovingItsOwnTimerEndsIt) {
  ZvIO::NativeTimer timer(dispatcher_);
  auto* handler =
      new CountingTimerHandler(1, 100, &count_, &deleted_, [&] { dispatcher_.removeTimer(&timer); });
  ASSERT_TRUE(dispatcher_.enqueueTimer(&timer, handler));
  ASSERT_EQ(handler->arm(timer.getId()), 0);
  pollUntilDeleted();
  EXPECT_EQ(count_, 1) << "removed while it ran: not armed again";
}

TEST_F(NativeTimerTest, HandlerDestroyingItsTimerEndsIt) {
  auto timer = std::make_unique<ZvIO::NativeTimer>(dispatcher_);
  auto* handler = new CountingTimerHandler(1, 100, &count_, &deleted_, [&] { timer.reset(); });
  ASSERT_TRUE(dispatcher_.enqueueTimer(timer.get(), handler));
  ASSERT_EQ(handler->arm(timer->getId()), 0);
  pollUntilDeleted();
  EXPECT_EQ(count_, 1);
  EXPECT_EQ(timer, nullptr);
}

TEST_F(NativeTimerTest, RemovedTimerDoesNotFire) {
  ZvIO::NativeTimer removed(dispatcher_);
  ZvIO::NativeTimer kept(dispatcher_);
  int keptCount = 0;
  bool keptDeleted = false;
  auto* first = new CountingTimerHandler(1, 1, &count_, &deleted_);
  ASSERT_TRUE(dispatcher_.enqueueTimer(&removed, first));
  ASSERT_EQ(first->arm(removed.getId()), 0);
  dispatcher_.removeTimer(&removed);
  EXPECT_TRUE(deleted_);
  auto* second = new CountingTimerHandler(5, 1, &keptCount, &keptDeleted);
  ASSERT_TRUE(dispatcher_.enqueueTimer(&kept, second));
  ASSERT_EQ(second->arm(kept.getId()), 0);
  while (!keptDeleted) ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(count_, 0);
  EXPECT_EQ(keptCount, 1);
}

TEST(NativeTimerLifetimeTest, TimerMayOutliveItsDispatcher) {
  int count = 0;
  bool deleted = false;
  auto dispatcher = std::make_unique<ZvIO::Dispatcher>();
  ZvIO::NativeTimer timer(*dispatcher);
  ASSERT_TRUE(dispatcher->enqueueTimer(&timer, new CountingTimerHandler(1, 1, &count, &deleted)));
  dispatcher.reset();
  EXPECT_TRUE(deleted) << "the dispatcher deletes the handlers it still holds";
  EXPECT_EQ(timer.getId(), -1);
  EXPECT_EQ(timer.getDispatcher(), nullptr);
}

}  // namespace
