#include "sockweave/io/zv_io_dispatcher.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/basalt/zv_assert.h"
#include "sockweave/io/zv_io_descriptor_device.h"
#include "sockweave/io/zv_io_pipe.h"
#include "sockweave/tests/test_support.h"

namespace {

using ZvIO::kPollIn;
using ZvIO::kPollOut;
using Log = std::vector<std::string>;

// Logs each run and its deletion; returns the scripted results in turn
// (false once they are used up) and runs an optional action first.
class ScriptedHandler : public ZvIO::HandlerBase {
 public:
  ScriptedHandler(Log& log, std::string name, std::vector<bool> results, uint32_t key = 0,
                  std::function<void()> action = {})
      : HandlerBase(key), mLog(log), mName(std::move(name)), mResults(std::move(results)),
        mAction(std::move(action)) {}
  ~ScriptedHandler() override { mLog.push_back(mName + "~"); }

  bool handleEvent(int, int events) override {
    mLog.push_back(mName);
    lastEvents = events;
    if (mAction) mAction();
    if (mResults.empty()) return false;
    const bool result = mResults.front();
    mResults.erase(mResults.begin());
    return result;
  }
  int lastEvents = 0;

 private:
  Log& mLog;
  std::string mName;
  std::vector<bool> mResults;
  std::function<void()> mAction;
};

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ZvIO::Pipe::create(pipe_));
    fd_ = pipe_[0];
  }
  void TearDown() override {
    dispatcher_.doRemoveAll(fd_);
    ZvIO::Pipe::destroy(pipe_);
  }
  ScriptedHandler* handler(std::string name, std::vector<bool> results = {}, uint32_t key = 0,
                           std::function<void()> action = {}) {
    return new ScriptedHandler(log_, std::move(name), std::move(results), key, std::move(action));
  }
  void makeReadable() { ASSERT_EQ(write(pipe_[1], "x", 1), 1); }

  ZvIO::Dispatcher dispatcher_{16};
  int pipe_[2] = {-1, -1};
  int fd_ = -1;
  Log log_;
};

TEST_F(DispatcherTest, SecondReadHandlerReplacesTheFirstAfterAnAssertion) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("R1"), kPollIn));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("R2"), kPollIn));
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 1);
  EXPECT_EQ(log_, Log({"R1~"}));
  makeReadable();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"R1~", "R2", "R2~"}));
  EXPECT_EQ(dispatcher_.getMask(fd_), 0);
}

TEST_F(DispatcherTest, WritersRunOnePerEventInFifoOrderAndAKeptOneStaysInFront) {
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W1", {true, false}), kPollOut));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W2"), kPollOut));
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollOut);
  EXPECT_EQ(dispatcher_.getWriteHandlerCount(fd_), 2u);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"W1", "W1", "W1~", "W2", "W2~"}));
  EXPECT_EQ(dispatcher_.getMask(fd_), 0);
}

TEST_F(DispatcherTest, ReaderAndOneWriterShareAnEventWithBothConditions) {
  auto* reader = handler("R", {true});
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, reader, kPollIn));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W1"), kPollOut));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W2"), kPollOut));
  makeReadable();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"R", "W1", "W1~"}));
  EXPECT_EQ(reader->lastEvents, kPollIn | kPollOut) << "readable and writable, not an error";
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollIn | kPollOut);
}

TEST_F(DispatcherTest, HandlersQueuedWhileHandlersRunComeAfterTheKeptOnes) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  // The reader queues a writer and a second reader on its own descriptor
  // and stays; the kept writer W0 keeps its place before the new writer.
  auto queueMore = [this] {
    dispatcher_.doEnqueueEvent(fd_, handler("Wnew"), kPollOut);
    dispatcher_.doEnqueueEvent(fd_, handler("Rnew"), kPollIn);
  };
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("R", {true}, 0, queueMore), kPollIn));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W0", {true, false}), kPollOut));
  makeReadable();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 1) << "a kept reader meets a new one";
  EXPECT_EQ(log_, Log({"R", "W0", "Rnew~"}));
  EXPECT_EQ(dispatcher_.getWriteHandlerCount(fd_), 2u);

  char drained;
  ASSERT_EQ(read(fd_, &drained, 1), 1);  // now only writable
  log_.clear();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"W0", "W0~", "Wnew", "Wnew~"}));
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollIn) << "the kept reader R is still there";
}

TEST_F(DispatcherTest, RemovalByKey) {
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("R", {}, 1), kPollIn));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("Wa", {}, 2), kPollOut));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("Wb", {}, 3), kPollOut));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("Wc", {}, 2), kPollOut));

  dispatcher_.removeEvent(fd_, 99);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(dispatcher_.getWriteHandlerCount(fd_), 3u);

  dispatcher_.removeEvent(fd_, 2);
  EXPECT_EQ(log_, Log({"Wa~", "Wc~"}));
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollIn | kPollOut);

  dispatcher_.removeEvent(fd_, 1);
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollOut);
  log_.clear();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"Wb", "Wb~"}));

  // A key shared by reader and writers removes the reader only.
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("R2", {}, 7), kPollIn));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W7", {}, 7), kPollOut));
  dispatcher_.removeEvent(fd_, 7);
  EXPECT_EQ(dispatcher_.getMask(fd_), kPollOut);
}

TEST_F(DispatcherTest, RunningHandlerRemovedByItsOwnKeyIsDeletedAfterItReturns) {
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(
      fd_, handler("R", {true}, 5, [this] { dispatcher_.removeEvent(fd_, 5); }), kPollIn));
  makeReadable();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"R", "R~"}));
  EXPECT_EQ(dispatcher_.getMask(fd_), 0);
}

TEST_F(DispatcherTest, HandlerClosingItsDescriptorLeavesNothingBehind) {
  ZvIO::DescriptorDevice device(&dispatcher_, fd_);
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fd_, handler("W", {}), kPollOut));
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(
      fd_, handler("R", {true}, 0, [&device] { EXPECT_EQ(device.close(), 0); }), kPollIn));
  makeReadable();
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"R", "W~", "R~"})) << "the waiting writer and the reader are gone";
  EXPECT_EQ(dispatcher_.getMask(fd_), 0);

  // The number comes back for a new pipe, which is watched afresh.
  const int oldFd = fd_;
  pipe_[0] = -1;
  int fresh[2];
  ASSERT_TRUE(ZvIO::Pipe::create(fresh));
  ASSERT_EQ(fresh[0], oldFd);
  log_.clear();
  ASSERT_TRUE(dispatcher_.doEnqueueEvent(fresh[0], handler("F"), kPollIn));
  ASSERT_EQ(write(fresh[1], "y", 1), 1);
  ASSERT_EQ(dispatcher_.poll(0), 0);
  EXPECT_EQ(log_, Log({"F", "F~"}));
  ZvIO::Pipe::destroy(fresh);
}

TEST_F(DispatcherTest, RefusedHandlersAreDeleted) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  EXPECT_FALSE(dispatcher_.doEnqueueEvent(fd_, handler("none"), 0));
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 1);
  int closed[2];
  ASSERT_TRUE(ZvIO::Pipe::create(closed));
  ZvIO::Pipe::destroy(closed);
  const int closedFd = dup(fd_);
  close(closedFd);
  EXPECT_FALSE(dispatcher_.doEnqueueEvent(closedFd, handler("closed"), kPollIn));
  EXPECT_FALSE(dispatcher_.doEnqueueEvent(-1, handler("negative"), kPollOut));
  EXPECT_FALSE(dispatcher_.doEnqueueEvent(fd_, nullptr, kPollIn));
  EXPECT_EQ(log_, Log({"none~", "closed~", "negative~"}));
  EXPECT_EQ(dispatcher_.getMask(closedFd), 0);
}

TEST_F(DispatcherTest, PollReturnsZeroWhenASignalInterrupts) {
  sockweave_test::InterruptingSignal signal;
  int result;
  {
    sockweave_test::SignalStorm storm(pthread_self(), -1, 10);
    result = dispatcher_.poll(0);  // nothing queued: only a signal ends it
    storm.stop();
  }
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(log_.empty());
}

class ConnectProbe : public ZvIO::ZvPrivate::ConnectHandlerBase {
 public:
  explicit ConnectProbe(ZvIO::error_code* outcome) : mOutcome(outcome) {}
  bool handleEvent(int descriptor, int) override {
    *mOutcome = doEval(descriptor);
    return false;
  }

 private:
  ZvIO::error_code* mOutcome;
};

TEST(DispatcherConnectTest, ConnectHandlerResolvesTheOutcome) {
  sockweave_test::Listener listener;
  const uint16_t closedPort = sockweave_test::freePort();
  struct {
    uint16_t port;
    ZvIO::error_code expected;
  } cases[] = {{listener.port, 0}, {closedPort, ECONNREFUSED}};
  for (const auto& c : cases) {
    ZvIO::Dispatcher dispatcher;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(c.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ASSERT_TRUE(rc == 0 || errno == EINPROGRESS);
    ZvIO::error_code outcome = 12345;
    ASSERT_TRUE(dispatcher.doEnqueueEvent(fd, new ConnectProbe(&outcome), kPollOut));
    ASSERT_EQ(dispatcher.poll(0), 0);
    EXPECT_EQ(outcome, c.expected) << c.port;
    dispatcher.doRemoveAll(fd);
    close(fd);
  }
}

}  // namespace
