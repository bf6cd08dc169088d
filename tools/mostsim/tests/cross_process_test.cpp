// The simulated server and an FBlock application as real processes, asked by
// a controller in this process: the FBlock answers across processes, a long
// answer arrives reassembled, and a restarted server sees the FBlock
// registered again.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_data.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_broker.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint16_t kKey = 0x2201;

pid_t spawn(const char* path, const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(path, argv.data());
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Runs this thread's loop until done() holds or the time is up; the other
// processes answer through sockets, so this waits in real time.
bool waitFor(const std::function<bool()>& done, int ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    CZvEventLoop::current().runUntilIdle();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

class Controller : public CZvMOSTClientImpl, public IZvLogDevReportSink {
 public:
  Controller() : CZvMOSTClientImpl("MOSTSubSystem") {
    getLogDevAdmin().setReportSink(this);
    sendLogDevRegistration(kKey, true);
  }
  ~Controller() override { getLogDevAdmin().setReportSink(nullptr); }
  void onReport(const CZvMOSTMessageData& m) override { reports.push_back(m); }
  void informationConnect(const DSYSMOSTServer::DeviceInfoVector& devices) override {
    CZvMOSTClientImpl::informationConnect(devices);
    for (const auto& d : devices) connected = connected || d.fblockKey == kKey;
  }
  void informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    CZvMOSTClientImpl::informationDisconnect(keys);
    for (uint16_t k : keys) connected = connected && k != kKey;
  }

  const CZvMOSTMessageData* ask(uint16_t fkt, uint8_t op, Bytes payload = {}) {
    reports.clear();
    DSYSMOSTTypes::MessageType msg;
    msg.header.fblockID = kKey >> 8;
    msg.header.instID = kKey & 0xFF;
    msg.header.functionID = fkt;
    msg.header.opType = op;
    msg.data = CZvBuffer(payload.data(), static_cast<uint32_t>(payload.size()));
    requestServerProcessMessage(msg, false);
    if (!waitFor([this] { return !reports.empty(); })) return nullptr;
    return &reports.front();
  }

  std::vector<CZvMOSTMessageData> reports;
  bool connected = false;
};

Bytes bytesOf(const CZvMOSTMessageData& m) { return Bytes(m.data.getData(), m.data.getData() + m.data.getSize()); }

class CrossProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string ns = "mostsim-cross-" + std::to_string(getpid());
    setenv("ZV_QRVI_NAMESPACE", ns.c_str(), 1);
    CZvServiceBroker::setNamespace(ns.c_str());
    server = spawn(ZV_MOSTSIM_BINARY, {});
    fblock = spawn(ZV_DEMO_FBLOCK_BINARY, {"--fblock", "0x2201"});
    controller = std::make_unique<Controller>();
    ASSERT_TRUE(waitFor([this] { return controller->connected; }));
  }
  void TearDown() override {
    controller.reset();
    CZvEventLoop::current().runUntilIdle();
    stop(fblock);
    stop(server);
  }
  pid_t server = -1;
  pid_t fblock = -1;
  std::unique_ptr<Controller> controller;
};

TEST_F(CrossProcessTest, TheFBlockProcessAnswersStandardAndUnknownFunctions) {
  const CZvMOSTMessageData* r = controller->ask(0x000, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->header.getOpType(), 12);
  EXPECT_EQ(bytesOf(*r), (Bytes{0x00, 0x30, 0x10, 0x01, 0x14, 0x00, 0x40, 0x20}));

  r = controller->ask(0x010, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{1, 2, 3}));

  r = controller->ask(0x002, 1, {0x01, 0x00});
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{0x01, 0x00}));

  r = controller->ask(0x555, 8, {0xAB, 0xCD});  // acknowledged command
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->header.getOpType(), 9);
  EXPECT_EQ(bytesOf(*r), (Bytes{0xAB, 0xCD, 0x03}));

  r = controller->ask(0x401, 1);  // longer than a control message
  ASSERT_NE(r, nullptr);
  EXPECT_GT(r->data.getSize(), 45u);
  EXPECT_EQ(r->data.getData()[0], 'H');
  EXPECT_EQ(controller->reports.size(), 1u);
}

TEST_F(CrossProcessTest, ARestartedServerFindsTheFBlockRegisteredAgain) {
  stop(server);
  ASSERT_TRUE(waitFor([this] { return !controller->isRegistered(); }));
  controller->connected = false;
  server = spawn(ZV_MOSTSIM_BINARY, {});
  ASSERT_TRUE(waitFor([this] { return controller->connected; }));
  const CZvMOSTMessageData* r = controller->ask(0x010, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{1, 2, 3}));
}

}  // namespace
