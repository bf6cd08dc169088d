#include "sockweave/io/zv_io_descriptor_device.h"

#include <errno.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "platform/basalt/zv_assert.h"
#include "sockweave/io/zv_io_dispatcher.h"
#include "sockweave/io/zv_io_endpoint.h"
#include "sockweave/io/zv_io_error.h"
#include "sockweave/io/zv_io_handler.h"
#include "sockweave/io/zv_io_iov.h"
#include "sockweave/io/zv_io_pipe.h"

namespace {

class DescriptorDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousPipe_ = signal(SIGPIPE, SIG_DFL);  // must never be raised
    ASSERT_TRUE(ZvIO::Pipe::create(pipe_));
    device_.setDescriptor(pipe_[0]);
  }
  void TearDown() override {
    device_.close();
    ZvIO::Pipe::destroy(pipe_);
    signal(SIGPIPE, previousPipe_);
  }
  sighandler_t previousPipe_ = SIG_DFL;
  int pipe_[2] = {-1, -1};
  ZvIO::DescriptorDevice device_;
  char buffer_[16] = {};
  ZvIO::error_code ec_ = 12345;
};

TEST_F(DescriptorDeviceTest, ReadAllGathersEverythingOrReportsTheEnd) {
  ASSERT_EQ(write(pipe_[1], "0123456789", 10), 10);
  EXPECT_EQ(device_.read_all(buffer_, 10, ec_), 10u);
  EXPECT_EQ(ec_, ZvIO::kSuccess);
  EXPECT_EQ(std::memcmp(buffer_, "0123456789", 10), 0);

  ASSERT_EQ(write(pipe_[1], "abc", 3), 3);
  close(pipe_[1]);
  pipe_[1] = -1;
  EXPECT_EQ(device_.read_all(buffer_, 10, ec_), 3u) << "3 of 10 bytes, then the end";
  EXPECT_EQ(ec_, ZvIO::kEndOfData);
  EXPECT_EQ(device_.read_some(buffer_, 10, ec_), 0u);
  EXPECT_EQ(ec_, ZvIO::kEndOfData);
}

TEST_F(DescriptorDeviceTest, WritesReachThePeerAndAVanishedPeerGivesEpipe) {
  EXPECT_EQ(device_.write_all("hello", 5, ec_), 5u);
  EXPECT_EQ(ec_, ZvIO::kSuccess);
  EXPECT_EQ(device_.write_some("!", 1, ec_), 1u);
  char received[6];
  ASSERT_EQ(read(pipe_[1], received, 6), 6);
  EXPECT_EQ(std::memcmp(received, "hello!", 6), 0);

  close(pipe_[1]);
  pipe_[1] = -1;
  EXPECT_EQ(device_.write_all("x", 1, ec_), 0u);
  EXPECT_EQ(ec_, EPIPE);
  EXPECT_EQ(device_.write_some("x", 1, ec_), 0u);
  EXPECT_EQ(ec_, EPIPE);
}

TEST_F(DescriptorDeviceTest, BadArgumentsAndClosedDescriptors) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  EXPECT_EQ(device_.read_all(nullptr, 4, ec_), 0u);
  EXPECT_EQ(ec_, EINVAL);
  EXPECT_EQ(device_.read_all(buffer_, 0, ec_), 0u);
  EXPECT_EQ(device_.write_all(nullptr, 4, ec_), 0u);
  EXPECT_EQ(device_.write_all(buffer_, 0, ec_), 0u);
  EXPECT_EQ(ec_, EINVAL);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 4);

  EXPECT_EQ(device_.close(), ZvIO::kSuccess);
  pipe_[0] = -1;
  EXPECT_EQ(device_.getDescriptor(), -1);
  EXPECT_EQ(device_.close(), ZvIO::kSuccess) << "closing twice does nothing";

  const int stale = dup(pipe_[1]);
  close(stale);
  ZvIO::DescriptorDevice closed(nullptr, stale);
  EXPECT_EQ(closed.read_some(buffer_, 4, ec_), 0u);
  EXPECT_EQ(ec_, EBADF);
  EXPECT_EQ(closed.write_all("x", 1, ec_), 0u);
  EXPECT_EQ(ec_, EBADF);
  EXPECT_EQ(closed.close(), EBADF);
}

TEST(ErrorCodeTest, ListedErrorsStayAndOthersBecomeMinusTwo) {
  for (int error : {0, EINTR, EBADF, EAGAIN, EACCES, EINVAL, EMFILE, EPIPE, EINPROGRESS, ECONNRESET,
                    EISCONN, ENOTCONN, ECONNREFUSED}) {
    EXPECT_EQ(ZvIO::ZvPrivate::to_error_code(error), error);
  }
  for (int error : {ENOMEM, ETIMEDOUT, ENOENT, -7}) {
    EXPECT_EQ(ZvIO::ZvPrivate::to_error_code(error), ZvIO::kOtherError) << error;
  }
}

TEST(IovTest, TotalLengthAndSkippingWrittenBytes) {
  char a[4], b[6], c[2];
  iovec pieces[3] = {{a, sizeof a}, {b, sizeof b}, {c, sizeof c}};
  EXPECT_EQ(ZvIO::ZvPrivate::calculate_total_length(pieces, 3), 12u);
  EXPECT_EQ(ZvIO::ZvPrivate::calculate_total_length(nullptr, 3), 0u);
  EXPECT_EQ(ZvIO::ZvPrivate::calculate_total_length(pieces, 0), 0u);

  struct Case {
    size_t written;
    int expectedCount;
    char* expectedBase;
    size_t expectedLength;
  } cases[] = {
      {0, 3, a, 4},      {3, 3, a + 3, 1}, {4, 2, b, 6},  {7, 2, b + 3, 3},
      {11, 1, c + 1, 1}, {12, 0, nullptr, 0},
      {1000, 0, nullptr, 0},  // more than the list holds: empty, not past its end
  };
  for (const Case& k : cases) {
    iovec list[3] = {{a, sizeof a}, {b, sizeof b}, {c, sizeof c}};
    iovec* vector = list;
    int count = 3;
    ZvIO::ZvPrivate::adopt_iov_pointers(vector, count, k.written);
    EXPECT_EQ(count, k.expectedCount) << k.written;
    if (count > 0) {
      EXPECT_EQ(vector->iov_base, k.expectedBase) << k.written;
      EXPECT_EQ(vector->iov_len, k.expectedLength) << k.written;
      EXPECT_EQ(ZvIO::ZvPrivate::calculate_total_length(vector, count), 12 - k.written);
    }
  }
}

TEST(IPv4EndpointTest, ParsesAddressAndPortTexts) {
  struct Case {
    const char* text;
    bool valid;
    uint32_t address;
    uint16_t port;
  } cases[] = {
      {"10.0.0.1:80", true, 0x0A000001u, 80},
      {"127.0.0.1:65535", true, 0x7F000001u, 65535},
      {"10.0.0.1", false, 0, 0},                 // no colon
      {"10.0.0.1:", false, 0, 0},                // no port
      {"10.0.0.1:65536", false, 0, 0},           // port out of range
      {"10.0.0.1:8x", false, 0, 0},              // not decimal
      {"10.0.0.1:-1", false, 0, 0},
      {"bogus:80", false, 0, 0},                 // no address
      {":80", false, 0, 0},
      {"1.2.3.4:0000000000000000000000080", false, 0, 0},  // over 31 characters
  };
  for (const Case& c : cases) {
    const ZvIO::IPv4::Endpoint endpoint(c.text);
    EXPECT_EQ(!endpoint.isUnspecified(), c.valid) << c.text;
    EXPECT_EQ(endpoint.getAddress(), c.address) << c.text;
    EXPECT_EQ(endpoint.getPort(), c.port) << c.text;
  }
  const unsigned before = ZvAssertStats::cheapAsserts();
  EXPECT_TRUE(ZvIO::IPv4::Endpoint(static_cast<const char*>(nullptr)).isUnspecified());
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 1);
}

TEST(IPv4EndpointTest, BuildsFromPartsAndPrintsItself) {
  char text[ZvIO::IPv4::Endpoint::kTextSize];
  ZvIO::IPv4::Endpoint endpoint("192.168.1.20", 8080);
  endpoint.toString(text);
  EXPECT_STREQ(text, "192.168.1.20:8080");
  endpoint.set(0xFFFFFFFFu, 65535);
  endpoint.toString(text);
  EXPECT_STREQ(text, "255.255.255.255:65535");
  EXPECT_TRUE(ZvIO::IPv4::Endpoint("nonsense", 1).isUnspecified());
}

TEST(UnixEndpointTest, PathsAbstractNamesAndLimits) {
  const unsigned before = ZvAssertStats::cheapAsserts();
  const ZvIO::Unix::Endpoint path("/tmp/sockweave.sock");
  EXPECT_TRUE(path.isValid());
  EXPECT_FALSE(path.isAbstract());

  char abstractName[2 + ZvIO::Unix::Endpoint::kMaxAbstractLength] = {};
  std::memset(abstractName + 1, 'a', ZvIO::Unix::Endpoint::kMaxAbstractLength);
  const ZvIO::Unix::Endpoint abstract(abstractName);
  EXPECT_TRUE(abstract.isAbstract());
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before);

  std::string longPath(ZvIO::Unix::Endpoint::kMaxPathLength + 1, 'p');
  char longAbstract[3 + ZvIO::Unix::Endpoint::kMaxAbstractLength] = {};
  std::memset(longAbstract + 1, 'a', ZvIO::Unix::Endpoint::kMaxAbstractLength + 1);
  for (const char* bad : {longPath.c_str(), static_cast<const char*>(longAbstract),
                          static_cast<const char*>(nullptr)}) {
    EXPECT_FALSE(ZvIO::Unix::Endpoint(bad).isValid());
  }
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), before + 3);
}

TEST(UnixEndpointTest, AbstractEndpointCarriesAConnection) {
  const std::string name = std::string(1, '\0') + "sockweave-test-" + std::to_string(getpid());
  const ZvIO::Unix::Endpoint endpoint(name.c_str());
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(server, endpoint.data(), endpoint.size()), 0);
  ASSERT_EQ(listen(server, 1), 0);
  const int client = socket(AF_UNIX, SOCK_STREAM, 0);
  EXPECT_EQ(connect(client, endpoint.data(), endpoint.size()), 0);
  close(client);
  close(server);
}

TEST(PipeTest, BothEndsTalkAndDestroyClosesThem) {
  int ends[2];
  ASSERT_TRUE(ZvIO::Pipe::create(ends));
  ASSERT_EQ(write(ends[0], "a", 1), 1);
  ASSERT_EQ(write(ends[1], "b", 1), 1);
  char c;
  ASSERT_EQ(read(ends[1], &c, 1), 1);
  EXPECT_EQ(c, 'a');
  ASSERT_EQ(read(ends[0], &c, 1), 1);
  EXPECT_EQ(c, 'b');
  const int first = ends[0];
  ZvIO::Pipe::destroy(ends);
  EXPECT_EQ(ends[0], -1);
  EXPECT_EQ(ends[1], -1);
  EXPECT_EQ(write(first, "x", 1), -1);
}

}  // namespace
