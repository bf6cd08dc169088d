// The dispatcher serving a real peer: socat sends a text, closes its sending
// side and prints what comes back; our loop echoes through a read handler
// that queues write handlers.
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "gtest/gtest.h"
#include "sockweave/io/zv_io_descriptor_device.h"
#include "sockweave/io/zv_io_dispatcher.h"
#include "sockweave/tests/test_support.h"
#include "sockweave/zv_socket_server.h"

namespace {

class EchoWriter : public ZvIO::HandlerBase {
 public:
  explicit EchoWriter(std::string data) : mData(std::move(data)) {}
  bool handleEvent(int fd, int) override {
    ZvIO::DescriptorDevice device(nullptr, fd);
    ZvIO::error_code ec = 0;
    const size_t sent = device.write_some(mData.data(), mData.size(), ec);
    mData.erase(0, sent);
    return ec == 0 && !mData.empty();  // stay until everything went out
  }

 private:
  std::string mData;
};

class EchoReader : public ZvIO::HandlerBase {
 public:
  EchoReader(ZvIO::Dispatcher& dispatcher, bool* done) : mDispatcher(dispatcher), mDone(done) {}
  bool handleEvent(int fd, int) override {
    char buffer[7];  // small, so that a message takes several events
    ZvIO::error_code ec = 0;
    const size_t n = ZvIO::DescriptorDevice(nullptr, fd).read_some(buffer, sizeof buffer, ec);
    if (n == 0) {
      // The peer finished sending: close once the queued echoes are out.
      if (mDispatcher.getWriteHandlerCount(fd) == 0) {
        ::shutdown(fd, SHUT_WR);
        *mDone = true;
        return false;
      }
      return true;
    }
    mDispatcher.doEnqueueEvent(fd, new EchoWriter(std::string(buffer, n)), ZvIO::kPollOut);
    return true;
  }

 private:
  ZvIO::Dispatcher& mDispatcher;
  bool* mDone;
};

TEST(DispatcherPeerTest, EchoesToSocatThroughQueuedWriters) {
  const uint16_t port = sockweave_test::freePort();
  CZvSocketServer server(port, true);
  ASSERT_TRUE(server.bindAndListen("127.0.0.1", 4));
  const std::string output = ::testing::TempDir() + "sockweave_socat_echo_" + std::to_string(getpid());
  const std::string message = "the quick brown fox jumps over the lazy dog, twice over";
  sockweave_test::Peer peer("printf '" + message + "' | socat -t 5 - TCP4:127.0.0.1:" +
                            std::to_string(port) + " > " + output);
  CZvSocket* accepted = server.acceptClient(5000);
  ASSERT_NE(accepted, nullptr);

  ZvIO::Dispatcher dispatcher;
  bool done = false;
  const int fd = accepted->getDescriptor();
  ASSERT_TRUE(dispatcher.doEnqueueEvent(fd, new EchoReader(dispatcher, &done), ZvIO::kPollIn));
  for (int i = 0; i < 10000 && !done; ++i) ASSERT_EQ(dispatcher.poll(0), 0);
  ASSERT_TRUE(done);
  dispatcher.doRemoveAll(fd);
  delete accepted;
  EXPECT_EQ(peer.wait(), 0);

  std::ifstream file(output);
  std::stringstream echoed;
  echoed << file.rdbuf();
  EXPECT_EQ(echoed.str(), message);
  ::unlink(output.c_str());
}

}  // namespace
