#include "sockweave/zv_socket_server.h"

#include <errno.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "sockweave/tests/test_support.h"
#include "sockweave/zv_socket.h"
#include "sockweave/zv_socket_stream.h"

namespace {

using sockweave_test::elapsedMs;
using Clock = std::chrono::steady_clock;

// A server on an ephemeral port of 127.0.0.1.
struct LoopbackServer {
  explicit LoopbackServer(bool blocking, int backlog = 4) : port(sockweave_test::freePort()), server(port, blocking) {
    bound = server.bindAndListen("127.0.0.1", backlog);
  }
  uint16_t port;
  CZvSocketServer server;
  bool bound = false;
};

TEST(SocketServerTest, AcceptWithNegativeTimeoutOnlyTakesAWaitingClient) {
  LoopbackServer fixture(false);
  ASSERT_TRUE(fixture.bound);
  EXPECT_TRUE(fixture.server.isValid());
  const auto start = Clock::now();
  EXPECT_EQ(fixture.server.acceptClient(-1), nullptr);
  EXPECT_LT(elapsedMs(start), 100);

  CZvSocketClient client(fixture.port, "127.0.0.1", 1000);
  ASSERT_TRUE(client.isConnected());
  ASSERT_EQ(ZvSocket::acceptselect(fixture.server.getListeningSocket()->getDescriptor(), 1000), 1);
  CZvSocket* accepted = fixture.server.acceptClient(-1);
  ASSERT_NE(accepted, nullptr);
  EXPECT_TRUE(fixture.server.isConnected());
  ZvSocket::CZvIPv4Endpoint local;
  ZvSocket::CZvIPv4Endpoint peer;
  ASSERT_TRUE(client.getLocalName(local));
  ASSERT_TRUE(accepted->getPeerName(peer));
  EXPECT_EQ(local.getPort(), peer.getPort());

  delete accepted;  // the server's list drops it
  EXPECT_FALSE(fixture.server.isConnected());
}

TEST(SocketServerTest, AcceptWithTimeoutZeroBlocksUntilAClientComes) {
  LoopbackServer fixture(true);
  ASSERT_TRUE(fixture.bound);
  std::thread connector([port = fixture.port] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    CZvSocketClient client(port, "127.0.0.1", 1000);
  });
  const auto start = Clock::now();
  CZvSocket* accepted = fixture.server.acceptClient(0);
  connector.join();
  EXPECT_NE(accepted, nullptr);
  EXPECT_GE(elapsedMs(start), 40);
}

TEST(SocketServerTest, AcceptWithTimeoutWaitsThenGivesUp) {
  LoopbackServer fixture(true);
  ASSERT_TRUE(fixture.bound);
  const auto start = Clock::now();
  EXPECT_EQ(fixture.server.acceptClient(100), nullptr);
  EXPECT_GE(elapsedMs(start), 95);
}

TEST(SocketServerTest, BindRefusesMissingArgumentsAndUnboundServerAcceptsNothing) {
  CZvSocketServer server(sockweave_test::freePort(), true);
  EXPECT_EQ(server.acceptClient(-1), nullptr);
  EXPECT_FALSE(server.isValid());
  struct {
    const char* address;
    int backlog;
  } cases[] = {{nullptr, 5}, {"127.0.0.1", 0}};
  for (const auto& c : cases) {
    errno = 0;
    EXPECT_FALSE(server.bindAndListen(c.address, c.backlog));
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_FALSE(server.bindAndListen("not-an-address", 5));
  EXPECT_FALSE(server.isValid()) << "a failed bind leaves no listening socket";
  EXPECT_TRUE(server.initServer());
  EXPECT_TRUE(server.isValid());
}

TEST(SocketServerTest, TermServerDeletesEveryAcceptedSocket) {
  const int before = CZvSocket::getSocketCount();
  {
    LoopbackServer fixture(true);
    ASSERT_TRUE(fixture.bound);
    CZvSocketClient first(fixture.port, "127.0.0.1", 1000);
    CZvSocketClient second(fixture.port, "127.0.0.1", 1000);
    ASSERT_NE(fixture.server.acceptClient(1000), nullptr);
    ASSERT_NE(fixture.server.acceptClient(1000), nullptr);
    fixture.server.termServer();
    EXPECT_FALSE(fixture.server.isConnected());
    EXPECT_FALSE(fixture.server.isValid());
    EXPECT_EQ(CZvSocket::getSocketCount(), before + 2) << "only the two clients are left";
  }
  EXPECT_EQ(CZvSocket::getSocketCount(), before);
}

TEST(SocketClientTest, LocalPortIsBoundOnlyWhenAboveZero) {
  LoopbackServer fixture(true);
  ASSERT_TRUE(fixture.bound);
  const uint16_t localPort = sockweave_test::freePort();
  CZvSocketClient bound(fixture.port, "127.0.0.1", 1000, localPort);
  CZvSocketClient unbound(fixture.port, "127.0.0.1", 1000, 0);
  ASSERT_TRUE(bound.isConnected());
  ASSERT_TRUE(unbound.isConnected());
  ZvSocket::CZvIPv4Endpoint name;
  ASSERT_TRUE(bound.getLocalName(name));
  EXPECT_EQ(name.getPort(), localPort);
  ASSERT_TRUE(unbound.getLocalName(name));
  EXPECT_NE(name.getPort(), 0);
  EXPECT_FALSE(bound.bind(localPort)) << "refused while connected";
  bound.disconnect();
  EXPECT_FALSE(bound.isConnected());
  EXPECT_FALSE(bound.isValid());
}

TEST(SocketClientTest, ReconnectsAfterATimedOutAttempt) {
  // A listener with a full queue keeps the first attempt in progress.
  sockweave_test::Listener full(0);
  int fillers[3];
  for (int& fd : fillers) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(full.port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ZvSocket::writeselect(fillers[1], 200);
  CZvSocketClient client;
  EXPECT_FALSE(client.connect(full.port, "127.0.0.1", 100));
  EXPECT_EQ(errno, ETIMEDOUT);

  LoopbackServer fixture(true);
  ASSERT_TRUE(fixture.bound);
  EXPECT_TRUE(client.connect(fixture.port, "127.0.0.1", 1000));
  for (int fd : fillers) ::close(fd);
}

// Real peers: socat as an echo server, nc as a client of our server.
TEST(SocketPeerTest, ClientTalksToSocatEchoServer) {
  const uint16_t port = sockweave_test::freePort();
  sockweave_test::Peer echo("exec socat TCP4-LISTEN:" + std::to_string(port) +
                            ",bind=127.0.0.1,reuseaddr PIPE 2>/dev/null");
  CZvSocketClient client;
  for (int attempt = 0; attempt < 100 && !client.connect(port, "127.0.0.1", 1000); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(client.isConnected());
  CZvSocketStream stream(client);
  const char message[] = "ping over loopback";
  ASSERT_EQ(stream.write(message, sizeof message), sizeof message);
  char reply[sizeof message] = {};
  uint32_t received = 0;
  while (received < sizeof reply && stream.waitToRead(2000)) {
    stream.resetFailure(0);  // a partial arrival sets "read incomplete"
    received += stream.read(reply + received, sizeof reply - received);
  }
  ASSERT_EQ(received, sizeof reply);
  EXPECT_STREQ(reply, message);
}

TEST(SocketPeerTest, ServerAcceptsNcAndReadsUntilItCloses) {
  LoopbackServer fixture(true);
  ASSERT_TRUE(fixture.bound);
  sockweave_test::Peer nc("printf 'hello from nc' | nc -N 127.0.0.1 " + std::to_string(fixture.port));
  CZvSocket* accepted = fixture.server.acceptClient(3000);
  ASSERT_NE(accepted, nullptr);
  CZvSocketStream stream(*accepted);
  std::string text;
  char buffer[64];
  while (stream.waitToRead(3000)) {
    stream.setUnformattedIO(true);
    const uint32_t n = stream.read(buffer, sizeof buffer);
    if (n == 0) break;
    text.append(buffer, n);
  }
  EXPECT_EQ(text, "hello from nc");
  EXPECT_FALSE(stream.isConnected()) << "nc closed its end";
  delete accepted;  // nc waits for our end to close too
  EXPECT_EQ(nc.wait(), 0);
}

}  // namespace
