#include "platform/qnx/dispatch.h"

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gtest/gtest.h"

namespace {

struct Report {
  int fd;
  unsigned flags;
};

struct Recorder {
  std::vector<Report> reports;
};

int recordSelect(qnx::dispatch_context_t*, int fd, unsigned flags, void* handle) {
  auto* recorder = static_cast<Recorder*>(handle);
  recorder->reports.push_back(Report{fd, flags});
  return 0;
}

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dpp_ = qnx::dispatch_create();
    ASSERT_NE(dpp_, nullptr);
    ctp_ = qnx::dispatch_context_alloc(dpp_);
    ASSERT_NE(ctp_, nullptr);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pairA_), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pairB_), 0);
  }
  void TearDown() override {
    for (int fd : {pairA_[0], pairA_[1], pairB_[0], pairB_[1]}) {
      if (fd >= 0) close(fd);
    }
    qnx::dispatch_context_free(ctp_);
    qnx::dispatch_destroy(dpp_);
  }
  // Blocks for one event and runs it.
  void runOne() {
    ASSERT_EQ(qnx::dispatch_block(ctp_), ctp_);
    ASSERT_EQ(qnx::dispatch_handler(ctp_), 0);
  }

  qnx::dispatch_t* dpp_ = nullptr;
  qnx::dispatch_context_t* ctp_ = nullptr;
  int pairA_[2] = {-1, -1};
  int pairB_[2] = {-1, -1};
  Recorder recorder_;
};

TEST_F(DispatchTest, RearmedAttachmentKeepsReportingWhileReady) {
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ | qnx::SELECT_FLAG_REARM,
                               recordSelect, &recorder_), 0);
  ASSERT_EQ(write(pairA_[1], "x", 1), 1);
  runOne();
  runOne();  // the byte was not read: level-triggered, so it is reported again
  ASSERT_EQ(recorder_.reports.size(), 2u);
  EXPECT_EQ(recorder_.reports[1].fd, pairA_[0]);
  EXPECT_EQ(recorder_.reports[1].flags, qnx::SELECT_FLAG_READ);
}

TEST_F(DispatchTest, AttachmentWithoutRearmReportsOnce) {
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ, recordSelect, &recorder_), 0);
  ASSERT_EQ(write(pairA_[1], "x", 1), 1);
  runOne();
  EXPECT_EQ(qnx::select_detach(dpp_, pairA_[0]), -1) << "already dropped after its report";
  EXPECT_EQ(errno, EINVAL);
}

TEST_F(DispatchTest, ReattachWithNewFlagsReportsOnlyTheNewCondition) {
  const unsigned rearm = qnx::SELECT_FLAG_REARM;
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ | rearm, recordSelect, &recorder_), 0);
  ASSERT_EQ(write(pairA_[1], "x", 1), 1);  // readable and writable from now on
  ASSERT_EQ(qnx::select_detach(dpp_, pairA_[0]), 0);
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_WRITE | rearm, recordSelect, &recorder_), 0);
  runOne();
  ASSERT_EQ(qnx::select_detach(dpp_, pairA_[0]), 0);
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ | qnx::SELECT_FLAG_WRITE | rearm,
                               recordSelect, &recorder_), 0);
  runOne();
  ASSERT_EQ(recorder_.reports.size(), 2u);
  EXPECT_EQ(recorder_.reports[0].flags, qnx::SELECT_FLAG_WRITE);
  EXPECT_EQ(recorder_.reports[1].flags, qnx::SELECT_FLAG_READ | qnx::SELECT_FLAG_WRITE);
}

TEST_F(DispatchTest, EventsFetchedForADetachedDescriptorAreDropped) {
  const unsigned flags = qnx::SELECT_FLAG_READ | qnx::SELECT_FLAG_REARM;
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], flags, recordSelect, &recorder_), 0);
  ASSERT_EQ(qnx::select_attach(dpp_, pairB_[0], flags, recordSelect, &recorder_), 0);
  ASSERT_EQ(write(pairA_[1], "x", 1), 1);
  ASSERT_EQ(write(pairB_[1], "x", 1), 1);
  // Both events are fetched by one wait; the second is detached before its turn.
  runOne();
  const int first = recorder_.reports.at(0).fd;
  const int second = first == pairA_[0] ? pairB_[0] : pairA_[0];
  ASSERT_EQ(qnx::select_detach(dpp_, second), 0);
  runOne();  // only the first one is still attached
  ASSERT_EQ(recorder_.reports.size(), 2u);
  EXPECT_EQ(recorder_.reports[1].fd, first);
}

TEST_F(DispatchTest, DescriptorNumberReusedAfterCloseCanBeAttachedAgain) {
  const unsigned flags = qnx::SELECT_FLAG_READ | qnx::SELECT_FLAG_REARM;
  const int fd = pairA_[0];
  ASSERT_EQ(qnx::select_attach(dpp_, fd, flags, recordSelect, &recorder_), 0);
  ASSERT_EQ(qnx::select_detach(dpp_, fd), 0);
  close(pairA_[0]);
  close(pairA_[1]);
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pairA_), 0);
  ASSERT_EQ(pairA_[0], fd) << "the lowest free number is reused";
  ASSERT_EQ(qnx::select_attach(dpp_, fd, flags, recordSelect, &recorder_), 0);
  ASSERT_EQ(write(pairA_[1], "x", 1), 1);
  runOne();
  ASSERT_EQ(recorder_.reports.size(), 1u);
  EXPECT_EQ(recorder_.reports[0].fd, fd);
}

TEST_F(DispatchTest, HangupIsReportedAsReadable) {
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ, recordSelect, &recorder_), 0);
  close(pairA_[1]);
  pairA_[1] = -1;
  runOne();
  ASSERT_EQ(recorder_.reports.size(), 1u);
  EXPECT_EQ(recorder_.reports[0].flags, qnx::SELECT_FLAG_READ);
}

TEST_F(DispatchTest, MisuseIsRefusedWithErrno) {
  const int closedFd = dup(pairA_[0]);
  close(closedFd);
  struct Case {
    int fd;
    unsigned flags;
    int expectedErrno;
  } cases[] = {
      {closedFd, qnx::SELECT_FLAG_READ, EBADF},
      {-1, qnx::SELECT_FLAG_READ, EINVAL},
      {pairA_[0], qnx::SELECT_FLAG_REARM, EINVAL},  // nothing to watch
  };
  for (const Case& c : cases) {
    errno = 0;
    EXPECT_EQ(qnx::select_attach(dpp_, c.fd, c.flags, recordSelect, &recorder_), -1) << c.fd;
    EXPECT_EQ(errno, c.expectedErrno) << c.fd;
  }
  ASSERT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ, recordSelect, &recorder_), 0);
  EXPECT_EQ(qnx::select_attach(dpp_, pairA_[0], qnx::SELECT_FLAG_READ, recordSelect, &recorder_), -1);
  EXPECT_EQ(errno, EBUSY);
  EXPECT_EQ(qnx::select_detach(dpp_, pairB_[0]), -1);
  EXPECT_EQ(qnx::dispatch_handler(ctp_), -1) << "no event was received";
}

struct PulseLog {
  std::vector<std::pair<int, uintptr_t>> pulses;
};

int recordPulse(qnx::dispatch_context_t*, int code, uintptr_t value, void* handle) {
  static_cast<PulseLog*>(handle)->pulses.emplace_back(code, value);
  return 0;
}

TEST_F(DispatchTest, PulsesFromAnotherThreadArriveInOrder) {
  PulseLog log;
  const int code = qnx::pulse_attach(dpp_, qnx::PULSE_CODE_ALLOCATE, recordPulse, &log);
  ASSERT_GE(code, qnx::PULSE_CODE_MINAVAIL);
  const int coid = qnx::message_connect(dpp_);
  ASSERT_GT(coid, 0);
  std::thread sender([&] {
    for (uintptr_t value = 1; value <= 3; ++value) qnx::pulse_send(coid, -1, code, value);
  });
  sender.join();
  for (int i = 0; i < 3; ++i) runOne();
  ASSERT_EQ(log.pulses.size(), 3u);
  for (uintptr_t i = 0; i < 3; ++i) EXPECT_EQ(log.pulses[i], std::make_pair(code, i + 1));

  EXPECT_EQ(qnx::connect_detach(coid), 0);
  EXPECT_EQ(qnx::pulse_send(coid, -1, code, 9), -1) << "connection is closed";
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(qnx::pulse_attach(dpp_, code, recordPulse, &log), -1);
  EXPECT_EQ(errno, EBUSY);
}

void ignoreSignal(int) {}

TEST_F(DispatchTest, SignalInterruptsTheWaitWithEintr) {
  struct sigaction action {};
  action.sa_handler = ignoreSignal;  // no SA_RESTART: the wait must come back
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  std::atomic<bool> done{false};
  std::atomic<int> result{0};
  std::atomic<int> error{0};
  std::thread waiter([&] {
    result = qnx::dispatch_block(ctp_) == nullptr ? -1 : 0;
    error = errno;
    done = true;
  });
  const pthread_t handle = waiter.native_handle();
  while (!done) {
    pthread_kill(handle, SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  waiter.join();
  sigaction(SIGUSR1, &previous, nullptr);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, EINTR);
}

}  // namespace
