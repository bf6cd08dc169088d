#include <gtest/gtest.h>

#include <thread>

#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_thread.h"

namespace {

TEST(ZvAssertTest, CheapAssertAndAssertCountAndCarryOn) {
  ZvAssertStats::reset();
  ZV_CHEAP_ASSERT(1 + 1 == 2);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), 0u);
  ZV_CHEAP_ASSERT(false);
  doCheapAssert(389, "ZvDebug");
  ZV_ASSERT(false, "text");
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), 2u);
  EXPECT_EQ(ZvAssertStats::asserts(), 1u);
}

TEST(ZvAssertDeathTest, FatalErrorEndsTheProcess) {
  EXPECT_DEATH(doFatalError(12, "CZvFunctionHandler", "onGet not handled"),
               "fatal error at CZvFunctionHandler:12: onGet not handled");
}

TEST(ZvAssertDeathTest, RecursiveLockIsFatalInsteadOfADeadlock) {
  CZvCriticalSection section;
  section.lock();
  EXPECT_DEATH(section.lock(), "locked twice");
  section.unlock();
  CZvCriticalSectionLocker locker(section);
  EXPECT_FALSE(section.tryLock());
}

TEST(CZvThreadTest, TlsSlotsArePerThread) {
  CZvThreadLocalStorage slot;
  int value = 5;
  EXPECT_EQ(slot.get(), nullptr);
  slot.set(&value);
  EXPECT_EQ(CZvThread::getTLSEntry(slot.getIndex()), &value);
  void* seenElsewhere = &value;
  std::thread other([&] { seenElsewhere = slot.get(); });
  other.join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_FALSE(CZvThread::setTLSEntry(0, &value));
  EXPECT_FALSE(CZvThread::setTLSEntry(1u << 30, &value));
  EXPECT_EQ(CZvThread::getTLSEntry(1u << 30), nullptr);
}

}  // namespace
