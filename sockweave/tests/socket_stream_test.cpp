#include "sockweave/zv_socket_stream.h"

#include <errno.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "platform/basalt/zv_assert.h"
#include "sockweave/tests/test_support.h"

namespace {

// A stream over the client end of a loopback TCP connection; peer_ is the
// accepted end.
class SocketStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A SIGPIPE would end the test binary: it must never be raised.
    previousPipe_ = signal(SIGPIPE, SIG_DFL);
    int fds[2];
    ASSERT_TRUE(sockweave_test::tcpPair(fds));
    socket_ = std::make_unique<CZvSocket>(nullptr, fds[0]);
    peer_ = fds[1];
    stream_ = std::make_unique<CZvSocketStream>(*socket_);
  }
  void TearDown() override {
    stream_.reset();
    socket_.reset();
    if (peer_ >= 0) close(peer_);
    signal(SIGPIPE, previousPipe_);
  }
  void peerSends(size_t count) {
    std::string data(count, 'p');
    ASSERT_EQ(send(peer_, data.data(), count, 0), static_cast<ssize_t>(count));
    ASSERT_TRUE(stream_->waitToRead(1000));
  }
  // Closes the peer with a reset instead of an orderly shutdown.
  void peerResets() {
    linger abortive{1, 0};
    setsockopt(peer_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    close(peer_);
    peer_ = -1;
    ASSERT_TRUE(stream_->waitToRead(1000));
  }

  sighandler_t previousPipe_ = SIG_DFL;
  std::unique_ptr<CZvSocket> socket_;
  std::unique_ptr<CZvSocketStream> stream_;
  int peer_ = -1;
  char buffer_[100] = {};
};

TEST_F(SocketStreamTest, ShortFormattedReadSetsReadIncompleteButUnformattedDoesNot) {
  peerSends(40);
  EXPECT_EQ(stream_->read(buffer_, 100), 40u);
  EXPECT_EQ(stream_->getFailure(), CZvSocketStream::FAILURE_READ_INCOMPLETE);
  EXPECT_TRUE(stream_->isConnected());
  EXPECT_TRUE(ZvSocket::isBlocking(socket_->getDescriptor())) << "mode restored after the rest";

  stream_->resetFailure(0);
  stream_->setUnformattedIO(true);
  peerSends(40);
  EXPECT_EQ(stream_->read(buffer_, 100), 40u);
  EXPECT_EQ(stream_->getFailure(), 0u);
  EXPECT_TRUE(stream_->isUnformattedIO());
}

TEST_F(SocketStreamTest, FailureBitsStickUntilReset) {
  peerSends(10);
  EXPECT_EQ(stream_->read(buffer_, 20), 10u);
  peerSends(20);
  EXPECT_EQ(stream_->read(buffer_, 20), 0u) << "refused while read incomplete is set";
  stream_->resetFailure(0);
  EXPECT_EQ(stream_->read(buffer_, 20), 20u);
  EXPECT_EQ(stream_->getFailure(), 0u);
}

TEST_F(SocketStreamTest, PeerClosingSetsConnectionLost) {
  close(peer_);
  peer_ = -1;
  EXPECT_EQ(stream_->read(buffer_, 100), 0u);
  EXPECT_EQ(stream_->getFailure(),
            CZvSocketStream::FAILURE_CONNECTION_LOST | CZvSocketStream::FAILURE_READ_INCOMPLETE);
  EXPECT_FALSE(stream_->isConnected());
  EXPECT_TRUE(socket_->isConnected()) << "the socket itself still has its descriptor";
  EXPECT_EQ(stream_->read(buffer_, 100), 0u);
  EXPECT_EQ(stream_->write("x", 1), 0u) << "writes are refused as well";
  stream_->resetFailure(0);
  EXPECT_TRUE(stream_->isConnected());
}

TEST_F(SocketStreamTest, WritesToAClosedPeerSetConnectionLostWithoutSigpipe) {
  close(peer_);
  peer_ = -1;
  // The first writes may still be queued; the peer answers them with a
  // reset, after which sends fail with EPIPE or ECONNRESET.
  const std::string block(4096, 'w');
  for (int i = 0; i < 50 && stream_->getFailure() == 0; ++i) {
    stream_->write(block.data(), static_cast<uint32_t>(block.size()));
    usleep(1000);
  }
  EXPECT_TRUE(stream_->getFailure() & CZvSocketStream::FAILURE_CONNECTION_LOST);
  EXPECT_TRUE(stream_->getFailure() & CZvSocketStream::FAILURE_WRITE_INCOMPLETE);
  EXPECT_FALSE(stream_->isConnected());
}

TEST_F(SocketStreamTest, PeerResetMidStreamSetsConnectionLost) {
  peerSends(5);
  EXPECT_EQ(stream_->read(buffer_, 5), 5u);
  peerResets();
  EXPECT_EQ(stream_->read(buffer_, 100), 0u);
  EXPECT_TRUE(stream_->getFailure() & CZvSocketStream::FAILURE_CONNECTION_LOST);
  EXPECT_FALSE(stream_->getFailure() & CZvSocketStream::FAILURE_ERROR);
  stream_->resetFailure(0);
  EXPECT_EQ(stream_->write("abc", 3), 0u);
  EXPECT_TRUE(stream_->getFailure() & CZvSocketStream::FAILURE_CONNECTION_LOST);
}

TEST_F(SocketStreamTest, NullBuffersAssertAndZeroSizesDoNothing) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  EXPECT_EQ(stream_->read(nullptr, 10), 0u);
  EXPECT_EQ(stream_->write(nullptr, 10), 0u);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 2);
  EXPECT_EQ(stream_->read(nullptr, 0), 0u);
  EXPECT_EQ(stream_->read(buffer_, 0), 0u);
  EXPECT_EQ(stream_->write(buffer_, 0), 0u);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 2);
  EXPECT_EQ(stream_->getFailure(), 0u) << "a zero-size read is not a closed peer";
  EXPECT_TRUE(stream_->isConnected());
}

TEST_F(SocketStreamTest, BulkWriteArrivesWhole) {
  std::string data(1 << 20, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  std::string received;
  std::thread reader([&] {
    char chunk[65536];
    while (received.size() < data.size()) {
      const ssize_t n = recv(peer_, chunk, sizeof chunk, 0);
      if (n <= 0) break;
      received.append(chunk, static_cast<size_t>(n));
    }
  });
  EXPECT_EQ(stream_->write(data.data(), static_cast<uint32_t>(data.size())), data.size());
  reader.join();
  EXPECT_EQ(stream_->getFailure(), 0u);
  EXPECT_TRUE(received == data);
}

}  // namespace

namespace {

TEST(SocketStreamWithoutSocketTest, ClosedDescriptorGivesTheErrorBitNotConnectionLost) {
  CZvSocketClient client;  // never connected: its descriptor is open but not connected
  client.disconnect();     // now -1
  CZvSocketStream stream(client);
  EXPECT_FALSE(stream.isSocketValid());
  EXPECT_FALSE(stream.isConnected());
  char buffer[8];
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(stream.getFailure(), CZvSocketStream::FAILURE_ERROR | CZvSocketStream::FAILURE_READ_INCOMPLETE);
  EXPECT_EQ(stream.write("x", 1), 0u);
  EXPECT_FALSE(stream.waitToRead(0));
  EXPECT_FALSE(stream.waitToWrite(-1)) << "a wait on no descriptor must not block";
}

TEST(SocketStreamWithoutSocketTest, UnconnectedSocketSetsConnectionLost) {
  CZvSocketClient client;
  CZvSocketStream stream(client);
  char buffer[8];
  EXPECT_EQ(stream.write("abc", 3), 0u);
  EXPECT_TRUE(stream.getFailure() & CZvSocketStream::FAILURE_CONNECTION_LOST) << "ENOTCONN";
  stream.resetFailure(0);
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0u);
  EXPECT_TRUE(stream.getFailure() & CZvSocketStream::FAILURE_CONNECTION_LOST);
}

}  // namespace
