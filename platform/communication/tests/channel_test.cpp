#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/communication/resource_manager.h"
#include "platform/communication/resource_manager_client.h"

namespace communication {
namespace {

// Unique per test process, so parallel test runs do not meet.
std::string channelName(const char* test) {
  return std::string("test-") + test + "-" + std::to_string(getpid());
}

// Waits (up to 2 s) until thread |tid| sleeps in the kernel, as it does in a
// blocked read, so that stop() is known to meet a read already waiting.
bool waitUntilSleeping(const std::atomic<pid_t>& tid) {
  for (int attempt = 0; attempt < 2000; ++attempt) {
    if (tid.load() != 0) {
      std::string path = "/proc/self/task/" + std::to_string(tid.load()) + "/stat";
      FILE* file = fopen(path.c_str(), "r");
      char state = '?';
      if (file) {
        // The state follows the command name, which is in parentheses.
        char line[512] = {};
        if (fgets(line, sizeof(line), file)) {
          const char* close = strrchr(line, ')');
          if (close && close[1] == ' ') state = close[2];
        }
        fclose(file);
      }
      if (state == 'S') return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

std::vector<unsigned char> patternMessage(size_t size, unsigned seed) {
  std::vector<unsigned char> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(seed * 31 + i * 7);
  return bytes;
}

// Reads exactly |size| bytes through reads of at most |piece| bytes.
std::vector<unsigned char> readExactly(ResourceManagerClient& client, size_t size, size_t piece) {
  std::vector<unsigned char> bytes(size);
  size_t done = 0;
  while (done < size) {
    long count = client.read(bytes.data() + done, std::min(piece, size - done));
    if (count <= 0) break;
    done += static_cast<size_t>(count);
  }
  bytes.resize(done);
  return bytes;
}

constexpr int kSmallMessages = 40;
constexpr size_t kLargeMessage = 100000;
constexpr size_t kReplyHeader = 284;
constexpr size_t kReplyText = 3000;

// The client process: connects (the server may not be up yet), sends small
// messages of growing size and one large one, then reads the server's reply,
// written as two messages, in small pieces. Exit status 0 means every check
// held; the other values say which one failed.
int runClientProcess(const std::string& name) {
  ResourceManagerClient client(name.c_str());
  bool connected = false;
  for (int attempt = 0; attempt < 500 && !connected; ++attempt) {
    connected = client.start();
    if (!connected) usleep(10 * 1000);
  }
  if (!connected) return 10;
  for (int i = 0; i < kSmallMessages; ++i) {
    std::vector<unsigned char> message = patternMessage(static_cast<size_t>(i) + 1, i);
    if (client.write(message.data(), message.size()) != static_cast<long>(message.size())) {
      return 11;
    }
  }
  std::vector<unsigned char> large = patternMessage(kLargeMessage, 99);
  if (client.write(large.data(), large.size()) != static_cast<long>(large.size())) return 12;

  std::vector<unsigned char> expected = patternMessage(kReplyHeader, 7);
  std::vector<unsigned char> text = patternMessage(kReplyText, 8);
  expected.insert(expected.end(), text.begin(), text.end());
  if (readExactly(client, expected.size(), 100) != expected) return 13;
  // The server stops next: the read ends with -1 and the handle reads -1.
  char byte;
  if (client.read(&byte, 1) != -1 || client.getHandle() != -1) return 14;
  return 0;
}

TEST(ChannelTest, MessagesCrossProcessesInOrderWithTheirBoundaries) {
  std::string name = channelName("cross");
  // Fork before the server starts its thread.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(runClientProcess(name));

  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  std::vector<unsigned char> buffer(2 * kLargeMessage);
  uint64_t firstClient = 0;
  for (int i = 0; i < kSmallMessages; ++i) {
    uint64_t client = 0;
    IoState state;
    long count = server.read(&client, buffer.data(), buffer.size(), state);
    ASSERT_EQ(count, i + 1) << "message " << i;
    EXPECT_FALSE(state.truncated);
    EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + count),
              patternMessage(static_cast<size_t>(count), i));
    if (i == 0) firstClient = client;
    EXPECT_EQ(client, firstClient);
  }
  IoState state;
  uint64_t client = 0;
  ASSERT_EQ(server.read(&client, buffer.data(), buffer.size(), state),
            static_cast<long>(kLargeMessage));
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + kLargeMessage),
            patternMessage(kLargeMessage, 99));

  std::vector<unsigned char> header = patternMessage(kReplyHeader, 7);
  std::vector<unsigned char> text = patternMessage(kReplyText, 8);
  EXPECT_EQ(server.write(client, header.data(), header.size()), static_cast<long>(kReplyHeader));
  EXPECT_EQ(server.write(client, text.data(), text.size()), static_cast<long>(kReplyText));
  // Stopping the server right away is fine: what it wrote is queued at the
  // client, which reads it all before it sees the hang-up.
  server.stop();
  EXPECT_EQ(server.getHandle(), -1);

  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed client check, see runClientProcess";
}

TEST(ChannelTest, MessageLongerThanTheReadBufferIsCutAndTheNextStaysInStep) {
  std::string name = channelName("cut");
  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  ResourceManagerClient client(name.c_str());
  ASSERT_TRUE(client.start());
  std::vector<unsigned char> longMessage = patternMessage(300, 1);
  ASSERT_EQ(client.write(longMessage.data(), longMessage.size()), 300);
  ASSERT_EQ(client.write("next", 4), 4);

  // Guard bytes after the buffer show the read stays inside it.
  std::vector<unsigned char> buffer(100 + 8, 0xAB);
  IoState state;
  uint64_t id = 0;
  ASSERT_EQ(server.read(&id, buffer.data(), 100, state), 100);
  EXPECT_TRUE(state.truncated);
  EXPECT_EQ(state.messageSize, 300u);
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + 100),
            std::vector<unsigned char>(longMessage.begin(), longMessage.begin() + 100));
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin() + 100, buffer.end()),
            std::vector<unsigned char>(8, 0xAB));

  ASSERT_EQ(server.read(&id, buffer.data(), 100, state), 4);
  EXPECT_FALSE(state.truncated);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 4), "next");
}

TEST(ChannelTest, ClientReadsAServerMessageInPiecesWithoutLosingBytes) {
  std::string name = channelName("pieces");
  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  ResourceManagerClient client(name.c_str());
  ASSERT_TRUE(client.start());
  ASSERT_EQ(client.write("hello", 5), 5);
  IoState state;
  uint64_t id = 0;
  char request[8];
  ASSERT_EQ(server.read(&id, request, sizeof(request), state), 5);

  ASSERT_EQ(server.write(id, "abcdefg", 7), 7);
  ASSERT_EQ(server.write(id, "XY", 2), 2);
  char piece[4] = {};
  EXPECT_EQ(client.read(piece, 3), 3);
  EXPECT_EQ(std::string(piece, 3), "abc");
  // A read ends at the message's end even when more was asked for.
  EXPECT_EQ(client.read(piece, 4), 4);
  EXPECT_EQ(std::string(piece, 4), "defg");
  EXPECT_EQ(client.read(piece, 4), 2);
  EXPECT_EQ(std::string(piece, 2), "XY");
}

TEST(ChannelTest, ConcurrentClientsEachKeepTheirOrder) {
  std::string name = channelName("many");
  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  constexpr int kClients = 4;
  // Few enough that the echoes fit in the socket buffers before the clients read.
  constexpr uint32_t kMessages = 100;
  std::vector<std::thread> clients;
  std::atomic<int> clientsInOrder{0};
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&name, &clientsInOrder] {
      ResourceManagerClient client(name.c_str());
      if (!client.start()) return;
      for (uint32_t i = 0; i < kMessages; ++i) client.write(&i, sizeof(i));
      // The server echoes every message back.
      for (uint32_t i = 0; i < kMessages; ++i) {
        uint32_t echoed = ~0u;
        if (client.read(&echoed, sizeof(echoed)) != sizeof(echoed) || echoed != i) return;
      }
      ++clientsInOrder;
    });
  }
  std::map<uint64_t, uint32_t> nextExpected;
  for (uint32_t n = 0; n < kClients * kMessages; ++n) {
    uint32_t value = 0;
    uint64_t id = 0;
    IoState state;
    ASSERT_EQ(server.read(&id, &value, sizeof(value), state), 4);
    EXPECT_EQ(value, nextExpected[id]++) << "client " << id;
    ASSERT_EQ(server.write(id, &value, sizeof(value)), 4);
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(nextExpected.size(), static_cast<size_t>(kClients));
  EXPECT_EQ(clientsInOrder.load(), kClients);
}

TEST(ChannelTest, StopUnblocksAServerRead) {
  ResourceManager server(channelName("stopserver").c_str());
  EXPECT_NE(server.getHandle(), -1);  // Not stopped yet, although not started.
  ASSERT_TRUE(server.start());
  std::atomic<long> result{0};
  std::atomic<pid_t> readerTid{0};
  std::thread reader([&] {
    readerTid = static_cast<pid_t>(syscall(SYS_gettid));
    char buffer[16];
    IoState state;
    uint64_t id;
    result = server.read(&id, buffer, sizeof(buffer), state);
  });
  EXPECT_TRUE(waitUntilSleeping(readerTid));
  server.stop();
  reader.join();
  EXPECT_EQ(result.load(), -1);
  EXPECT_EQ(server.getHandle(), -1);
  EXPECT_FALSE(server.start());  // A stopped channel stays stopped.
  server.stop();
}

TEST(ChannelTest, StopUnblocksAClientRead) {
  std::string name = channelName("stopclient");
  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  ResourceManagerClient client(name.c_str());
  ASSERT_TRUE(client.start());
  EXPECT_GE(client.getHandle(), 0);
  std::atomic<long> result{0};
  std::atomic<pid_t> readerTid{0};
  std::thread reader([&] {
    readerTid = static_cast<pid_t>(syscall(SYS_gettid));
    char buffer[16];
    result = client.read(buffer, sizeof(buffer));
  });
  EXPECT_TRUE(waitUntilSleeping(readerTid));
  client.stop();
  reader.join();
  EXPECT_EQ(result.load(), -1);
  EXPECT_EQ(client.getHandle(), -1);
  EXPECT_EQ(client.write("x", 1), -1);
  // The same client connects again.
  ASSERT_TRUE(client.start());
  EXPECT_EQ(client.write("x", 1), 1);
}

TEST(ChannelTest, ServerGoneEndsTheClient) {
  std::string name = channelName("gone");
  auto server = std::make_unique<ResourceManager>(name.c_str());
  ASSERT_TRUE(server->start());
  ResourceManagerClient client(name.c_str());
  ASSERT_TRUE(client.start());
  server.reset();
  char byte;
  EXPECT_EQ(client.read(&byte, 1), -1);
  EXPECT_EQ(client.getHandle(), -1);
  EXPECT_EQ(client.write("x", 1), -1);
  EXPECT_FALSE(client.start());  // Nobody serves the name any more.
}

TEST(ChannelTest, StartAndWriteFailures) {
  std::string name = channelName("fail");
  ResourceManager server(name.c_str());
  ASSERT_TRUE(server.start());
  EXPECT_FALSE(ResourceManager(name.c_str()).start());  // The name is taken.
  EXPECT_FALSE(ResourceManager("").start());
  EXPECT_FALSE(ResourceManager(std::string(200, 'n').c_str()).start());
  EXPECT_FALSE(ResourceManagerClient(std::string(200, 'n').c_str()).start());

  errno = 0;
  EXPECT_EQ(server.write(12345, "x", 1), -1);  // No such client.
  EXPECT_EQ(errno, ENOTCONN);
  ResourceManagerClient unstarted(name.c_str());
  EXPECT_EQ(unstarted.getHandle(), -1);
  EXPECT_EQ(unstarted.write("x", 1), -1);
}

}  // namespace
}  // namespace communication
