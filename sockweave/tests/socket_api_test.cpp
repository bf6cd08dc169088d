#include "sockweave/zv_socket_api.h"
#include "sockweave/zv_socket_unblocker.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "gtest/gtest.h"
#include "platform/basalt/zv_test_clock.h"
#include "sockweave/tests/test_support.h"
#include "sockweave/zv_timeout_adjuster.h"

namespace {

using sockweave_test::elapsedMs;
using Clock = std::chrono::steady_clock;

TEST(TimeoutAdjusterTest, SubtractsElapsedTimeAndStopsAtZero) {
  CZvVirtualClockScope virtualClock;
  ZvSocket::ZvPrivate::CZvTimeoutAdjuster adjuster(50 * 1000000ull);
  adjuster.adjust();  // first use only starts the clock
  EXPECT_EQ(adjuster.getRemainingNs(), 50 * 1000000ull);
  ZvTestClock::advance(20);
  adjuster.adjust();
  EXPECT_EQ(adjuster.getRemainingNs(), 30 * 1000000ull);
  int64_t seconds = -1;
  int64_t microseconds = -1;
  adjuster.getRemaining(&seconds, &microseconds);
  EXPECT_EQ(seconds, 0);
  EXPECT_EQ(microseconds, 30000);
  ZvTestClock::advance(100);
  adjuster.adjust();
  EXPECT_EQ(adjuster.getRemainingNs(), 0u);
}

TEST(SocketWaitTest, BadDescriptorsFailWithEbadfInsteadOfWaiting) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  const int closedFd = fds[1];
  close(fds[1]);
  for (int fd : {-1, closedFd}) {
    errno = 0;
    EXPECT_EQ(ZvSocket::readselect(fd, -1), -1) << fd;
    EXPECT_EQ(errno, EBADF) << fd;
    EXPECT_EQ(ZvSocket::writeselect(fd, 10), -1) << fd;
  }
  close(fds[0]);
}

TEST(SocketWaitTest, DescriptorsAbove256AreWaitedFor) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  const int high = fcntl(fds[0], F_DUPFD_CLOEXEC, 300);
  ASSERT_GE(high, 300);
  EXPECT_EQ(ZvSocket::readselect(high, 0), 0);
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  EXPECT_EQ(ZvSocket::readselect(high, 1000), 1);
  EXPECT_EQ(ZvSocket::writeselect(high, 0), 1);
  close(high);
  close(fds[0]);
  close(fds[1]);
}

// Real signals hit the waiting thread: the wait must neither end early nor
// start over with the full time each time.
TEST(SocketWaitTest, TimeoutSurvivesInterruptions) {
  sockweave_test::InterruptingSignal signal;
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  const int before = sockweave_test::InterruptingSignal::delivered();
  const auto start = Clock::now();
  int result;
  {
    // Every 10 ms for up to 3 s: a wait that restarted its 200 ms each time
    // would only end with the storm.
    sockweave_test::SignalStorm storm(pthread_self(), 300, 10);
    result = ZvSocket::readselect(fds[0], 200);
    storm.stop();
  }
  const int64_t waited = elapsedMs(start);
  EXPECT_EQ(result, 0);
  EXPECT_GE(waited, 200);
  EXPECT_LT(waited, 2000);
  EXPECT_GT(sockweave_test::InterruptingSignal::delivered() - before, 3);
  close(fds[0]);
  close(fds[1]);
}

TEST(SocketTransferTest, RecvAndSendAreRepeatedAfterSignals) {
  sockweave_test::InterruptingSignal signal;
  int fds[2];
  ASSERT_TRUE(sockweave_test::tcpPair(fds));
  const int peer = fds[1];
  const int before = sockweave_test::InterruptingSignal::delivered();
  char buffer[8] = {};
  ssize_t received;
  {
    sockweave_test::SignalStorm storm(pthread_self(), 5, 10, [peer] { send(peer, "hello", 5, 0); });
    received = ZvSocket::recv(fds[0], buffer, sizeof buffer);
  }
  EXPECT_EQ(received, 5);
  EXPECT_EQ(std::memcmp(buffer, "hello", 5), 0);
  EXPECT_GE(sockweave_test::InterruptingSignal::delivered() - before, 5);

  // Fill the connection until a send would block, so that the next one
  // waits with nothing sent yet and every signal interrupts it.
  ASSERT_TRUE(ZvSocket::setBlockingMode(fds[0], false));
  static char chunk[65536];
  size_t queued = 0;
  for (ssize_t n; (n = ::send(fds[0], chunk, sizeof chunk, MSG_NOSIGNAL)) > 0;) queued += n;
  ASSERT_TRUE(ZvSocket::setBlockingMode(fds[0], true));
  const size_t expected = queued + 100;
  ssize_t sent;
  {
    sockweave_test::SignalStorm storm(pthread_self(), 5, 10, [peer, expected] {
      char sink[65536];
      size_t total = 0;
      while (total < expected) {
        const ssize_t n = ::recv(peer, sink, sizeof sink, 0);
        if (n <= 0) break;
        total += static_cast<size_t>(n);
      }
    });
    sent = ZvSocket::send(fds[0], chunk, 100);
  }
  EXPECT_EQ(sent, 100) << "an interrupted send must be repeated";
  close(fds[0]);
  close(fds[1]);
}

TEST(SocketAddressTest, ConvertsTextAndRefusesMalformedAddresses) {
  sockaddr_in native{};
  ASSERT_TRUE(ZvSocket::convertAddress(ZvSocket::CZvSocketAddress(8080, "10.0.0.1"), native));
  EXPECT_EQ(native.sin_family, AF_INET);
  EXPECT_EQ(ntohs(native.sin_port), 8080);
  EXPECT_EQ(ntohl(native.sin_addr.s_addr), 0x0A000001u);
  ASSERT_TRUE(ZvSocket::convertAddress(ZvSocket::CZvSocketAddress(1, nullptr), native));
  EXPECT_EQ(native.sin_addr.s_addr, htonl(INADDR_ANY));
  ASSERT_TRUE(ZvSocket::convertAddress(ZvSocket::CZvSocketAddress(1, "255.255.255.255"), native));

  for (const char* bad : {"", "localhost", "1.2.3.4.5", "300.1.1.1"}) {
    errno = 0;
    EXPECT_FALSE(ZvSocket::convertAddress(ZvSocket::CZvSocketAddress(1, bad), native)) << bad;
    EXPECT_EQ(errno, EINVAL) << bad;
  }
  const int fd = ZvSocket::socket();
  EXPECT_FALSE(ZvSocket::connect(fd, ZvSocket::CZvSocketAddress(1, "no.such.host"), 100));
  EXPECT_EQ(errno, EINVAL);
  ZvSocket::close(fd);
}

TEST(SocketAddressTest, CopiesOwnTheirText) {
  ZvSocket::CZvSocketAddress original(80, "127.0.0.1");
  ZvSocket::CZvSocketAddress copy(original);
  ZvSocket::CZvSocketAddress assigned;
  assigned = original;
  EXPECT_NE(copy.getAddress(), original.getAddress());
  EXPECT_STREQ(assigned.getAddress(), "127.0.0.1");
  EXPECT_EQ(assigned.getPort(), 80);
}

TEST(SocketConnectTest, ConnectsKeepsTheModeAndReportsRefusal) {
  sockweave_test::Listener listener;
  const ZvSocket::CZvSocketAddress address(listener.port, "127.0.0.1");
  for (int timeoutMs : {-1, 1000}) {
    const int fd = ZvSocket::socket();
    ASSERT_TRUE(ZvSocket::connect(fd, address, timeoutMs)) << timeoutMs;
    EXPECT_TRUE(ZvSocket::isBlocking(fd)) << "blocking mode comes back";
    ZvSocket::CZvIPv4Endpoint peer;
    ASSERT_TRUE(ZvSocket::getPeerName(fd, peer));
    EXPECT_EQ(peer.getPort(), listener.port);
    ZvSocket::close(fd);
    ::close(sockweave_test::acceptOne(listener.fd));
  }

  const uint16_t closedPort = sockweave_test::freePort();
  for (int timeoutMs : {-1, 1000}) {
    const int fd = ZvSocket::socket();
    ASSERT_TRUE(ZvSocket::setBlockingMode(fd, false));
    errno = 0;
    EXPECT_FALSE(ZvSocket::connect(fd, ZvSocket::CZvSocketAddress(closedPort, "127.0.0.1"), timeoutMs));
    EXPECT_EQ(errno, ECONNREFUSED) << timeoutMs;
    EXPECT_FALSE(ZvSocket::isBlocking(fd)) << "non-blocking mode comes back";
    ZvSocket::close(fd);
  }
}

// Linux drops SYNs for a listener whose accept queue is full, so a connect
// to it stays in progress: the time-out has to end it.
class FullListenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Backlog 0 admits one pending connection; fill it and its SYN queue.
    for (int i = 0; i < 4; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(listener_.port);
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
      fillers_[i] = fd;
    }
    // Give the handshakes of the fillers time to complete.
    ZvSocket::writeselect(fillers_[0], 200);
    ZvSocket::writeselect(fillers_[1], 200);
  }
  void TearDown() override {
    for (int fd : fillers_) ::close(fd);
  }
  sockweave_test::Listener listener_{0};
  int fillers_[4] = {-1, -1, -1, -1};
};

TEST_F(FullListenerTest, ConnectTimeoutReallyWaitsAndFailsWithEtimedout) {
  const ZvSocket::CZvSocketAddress address(listener_.port, "127.0.0.1");
  const int fd = ZvSocket::socket();
  const auto start = Clock::now();
  errno = 0;
  EXPECT_FALSE(ZvSocket::connect(fd, address, 300));
  EXPECT_EQ(errno, ETIMEDOUT);
  const int64_t waited = elapsedMs(start);
  EXPECT_GE(waited, 290);
  EXPECT_LT(waited, 3000);
  EXPECT_TRUE(ZvSocket::isBlocking(fd));
  ZvSocket::close(fd);
}

TEST_F(FullListenerTest, ConnectWithTimeoutZeroFailsAtOnce) {
  const ZvSocket::CZvSocketAddress address(listener_.port, "127.0.0.1");
  const int fd = ZvSocket::socket();
  const auto start = Clock::now();
  errno = 0;
  EXPECT_FALSE(ZvSocket::connect(fd, address, 0));
  EXPECT_EQ(errno, ETIMEDOUT);
  EXPECT_LT(elapsedMs(start), 250);
  ZvSocket::close(fd);
}

TEST(SocketBlockingTest, UnblockerRestoresTheModeAndKeepsErrno) {
  const int fd = ZvSocket::socket();
  {
    SZvSocketUnblocker unblocker(fd);
    EXPECT_FALSE(ZvSocket::isBlocking(fd));
    errno = ECONNRESET;
  }
  EXPECT_EQ(errno, ECONNRESET);
  EXPECT_TRUE(ZvSocket::isBlocking(fd));
  ZvSocket::close(fd);
}

}  // namespace
