#include "platform/qnx/pulse_timer.h"

#include <errno.h>

#include <chrono>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "platform/qnx/dispatch.h"

namespace {

struct Expiries {
  std::vector<uintptr_t> values;
};

int recordExpiry(qnx::dispatch_context_t*, int, uintptr_t value, void* handle) {
  static_cast<Expiries*>(handle)->values.push_back(value);
  return 0;
}

itimerspec afterMilliseconds(long ms) {
  itimerspec expiry{};
  expiry.it_value.tv_sec = ms / 1000;
  expiry.it_value.tv_nsec = (ms % 1000) * 1000000L;
  return expiry;
}

class PulseTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dpp_ = qnx::dispatch_create();
    ctp_ = qnx::dispatch_context_alloc(dpp_);
    code_ = qnx::pulse_attach(dpp_, qnx::PULSE_CODE_ALLOCATE, recordExpiry, &expiries_);
    coid_ = qnx::message_connect(dpp_);
  }
  void TearDown() override {
    qnx::connect_detach(coid_);
    qnx::dispatch_context_free(ctp_);
    qnx::dispatch_destroy(dpp_);
  }
  int makeTimer(uintptr_t value) {
    qnx::pulse_event event;
    event.coid = coid_;
    event.code = code_;
    event.value = value;
    return qnx::pulse_timer_create(CLOCK_MONOTONIC, &event);
  }
  void runOne() {
    ASSERT_EQ(qnx::dispatch_block(ctp_), ctp_);
    ASSERT_EQ(qnx::dispatch_handler(ctp_), 0);
  }

  qnx::dispatch_t* dpp_ = nullptr;
  qnx::dispatch_context_t* ctp_ = nullptr;
  int code_ = -1;
  int coid_ = -1;
  Expiries expiries_;
};

TEST_F(PulseTimerTest, ExpiryDeliversThePulseAndCanBeArmedAgain) {
  const int timer = makeTimer(42);
  ASSERT_GE(timer, 0);
  for (int round = 0; round < 2; ++round) {
    const itimerspec expiry = afterMilliseconds(1);
    ASSERT_EQ(qnx::pulse_timer_settime(timer, 0, &expiry, nullptr), 0);
    runOne();
  }
  EXPECT_EQ(expiries_.values, (std::vector<uintptr_t>{42, 42}));
  EXPECT_EQ(qnx::pulse_timer_delete(timer), 0);
}

TEST_F(PulseTimerTest, DeletedTimerDeliversNothing) {
  const int first = makeTimer(1);
  const int second = makeTimer(2);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  const itimerspec soon = afterMilliseconds(1);
  ASSERT_EQ(qnx::pulse_timer_settime(first, 0, &soon, nullptr), 0);
  // Real OS behaviour: let the first expire before it is deleted.
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(qnx::pulse_timer_delete(first), 0);
  ASSERT_EQ(qnx::pulse_timer_settime(second, 0, &soon, nullptr), 0);
  runOne();
  EXPECT_EQ(expiries_.values, (std::vector<uintptr_t>{2}));
  EXPECT_EQ(qnx::pulse_timer_delete(second), 0);
}

TEST_F(PulseTimerTest, UnknownTimersAndConnectionsAreRefused) {
  const itimerspec expiry = afterMilliseconds(1);
  EXPECT_EQ(qnx::pulse_timer_settime(12345, 0, &expiry, nullptr), -1);
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(qnx::pulse_timer_delete(12345), -1);
  qnx::pulse_event event;
  event.coid = 999999;
  EXPECT_EQ(qnx::pulse_timer_create(CLOCK_MONOTONIC, &event), -1);
  EXPECT_EQ(qnx::pulse_timer_create(CLOCK_MONOTONIC, nullptr), -1);
}

TEST_F(PulseTimerTest, TimerOutlivingItsHandleCanStillBeDeleted) {
  const int timer = makeTimer(7);
  ASSERT_GE(timer, 0);
  qnx::connect_detach(coid_);
  qnx::dispatch_context_free(ctp_);
  qnx::dispatch_destroy(dpp_);
  EXPECT_EQ(qnx::pulse_timer_delete(timer), 0);
  dpp_ = qnx::dispatch_create();  // for TearDown
  ctp_ = qnx::dispatch_context_alloc(dpp_);
}

}  // namespace
