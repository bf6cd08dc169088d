// The simulated server with real MOST clients in one process: registration,
// activation, the standard functions answered end to end, segmentation, and
// re-registration after a server restart.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <memory>
#include <vector>

#include <unistd.h>

#include "fbkit/client/most_client_impl.h"
#include "fbkit/fblock/tests/fblock_test_support.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_broker.h"
#include "tools/mostsim/sim_server.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kKey = 0x5201;

class RecordingSink : public IZvLogDevReportSink {
 public:
  void onReport(const CZvMOSTMessageData& message) override { reports.push_back(message); }
  std::vector<CZvMOSTMessageData> reports;
};

// A function with a long answer, to be segmented on its way.
class LongAnswer : public RecordingFunction {
 public:
  LongAnswer() : RecordingFunction(0x400, false) {}
  bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) override {
    Bytes text(100);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>(i);
    CZvByteStream payload(text.data(), static_cast<uint32_t>(text.size()));
    getDevice()->sendMessage(static_cast<uint16_t>(routing), 12, getFunctionID(), 0, 0, payload,
                             routing >> 16);
    return RecordingFunction::readFromMessage(message, routing);
  }
};

bool pumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 200; ++i) {
    CZvEventLoop::current().runUntilIdle();
    if (done()) return true;
  }
  return done();
}

class SimServerTest : public ::testing::Test {
 protected:
  SimServerTest() {
    // A namespace of our own: no server of another test process can answer.
    CZvServiceBroker::setNamespace(("mostsim-server-" + std::to_string(getpid())).c_str());
    startServer();
    fblockClient = std::make_unique<CZvMOSTClientImpl>("MOSTSubSystem");
    device = new CZvDeviceBase(0x52, 0x01, nullptr, fblockClient.get());
    device->setVersionEnabled(true);
    device->setVersion(4, 5, 6);
    device->addFunction(&longAnswer);
    fblockClient->getDeviceAdmin().addDevice(kKey, device);
    adapter = std::make_unique<CZvMOSTAdapter>(fblockClient.get());
    consumer = std::make_unique<RecordingConsumer>(*adapter);
    device->registerBaseListener(consumer.get());  // registers the FBlock

    ctrlClient = std::make_unique<CZvMOSTClientImpl>("MOSTSubSystem");
    ctrlClient->getLogDevAdmin().setReportSink(&sink);
    ctrlClient->sendLogDevRegistration(kKey, true);
    EXPECT_TRUE(pumpUntil([this] { return device->isActive() && ctrlClient->isRegistered(); }));
  }
  ~SimServerTest() override {
    ctrlClient->getLogDevAdmin().setReportSink(nullptr);
    consumer.reset();
    ctrlClient.reset();
    fblockClient.reset();
    server.reset();
    CZvEventLoop::current().runUntilIdle();
  }

  void startServer() {
    SZvSimConfig config;
    config.segmentSize = 45;
    config.remoteNodes.push_back({0x0200, {0x3101}});
    server = std::make_unique<CZvSimServer>("MOSTSubSystem", config);
    ASSERT_TRUE(server->start(false));
  }

  // Sends a command from the controller client and waits for one report.
  const CZvMOSTMessageData* ask(uint16_t key, uint16_t fkt, uint8_t op, Bytes payload = {}) {
    sink.reports.clear();
    DSYSMOSTTypes::MessageType msg;
    msg.header.targetAddress = 0x0100;
    msg.header.fblockID = static_cast<uint8_t>(key >> 8);
    msg.header.instID = static_cast<uint8_t>(key);
    msg.header.functionID = fkt;
    msg.header.opType = op;
    msg.data = CZvBuffer(payload.data(), static_cast<uint32_t>(payload.size()));
    ctrlClient->requestServerProcessMessage(msg, false);
    if (!pumpUntil([this] { return !sink.reports.empty(); })) return nullptr;
    return &sink.reports.front();
  }

  std::unique_ptr<CZvSimServer> server;
  LongAnswer longAnswer;
  std::unique_ptr<CZvMOSTClientImpl> fblockClient;
  std::unique_ptr<CZvMOSTAdapter> adapter;
  std::unique_ptr<RecordingConsumer> consumer;
  std::unique_ptr<CZvMOSTClientImpl> ctrlClient;
  RecordingSink sink;
  CZvDeviceBase* device = nullptr;
};

Bytes bytesOf(const CZvMOSTMessageData& m) { return Bytes(m.data.getData(), m.data.getData() + m.data.getSize()); }

TEST_F(SimServerTest, StandardFunctionsAreAnsweredThroughTheServer) {
  EXPECT_EQ(server->network().ownerOf(kKey), fblockClient->getClientID());
  EXPECT_EQ(fblockClient->getOwnDeviceID(), 0x0100);

  const CZvMOSTMessageData* r = ask(kKey, 0x000, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->header.getOpType(), 12);
  // FktIDs 0x001, 0x002, 0x010 and 0x400.
  EXPECT_EQ(bytesOf(*r), (Bytes{0x00, 0x30, 0x10, 0x01, 0x14, 0x00, 0x40, 0x10}));

  r = ask(kKey, 0x010, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{4, 5, 6}));

  r = ask(kKey, 0x002, 1, {0x01, 0x00});
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{0x01, 0x00}));

  r = ask(kKey, 0x123, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->header.getOpType(), 15);
  EXPECT_EQ(bytesOf(*r), (Bytes{0x03}));
}

TEST_F(SimServerTest, LongAnswersArriveReassembled) {
  const CZvMOSTMessageData* r = ask(kKey, 0x400, 1);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->data.getSize(), 100u);
  EXPECT_EQ(r->data.getData()[99], 99);
  EXPECT_EQ(r->transmissionInfo, 0);
  EXPECT_EQ(sink.reports.size(), 1u);
}

TEST_F(SimServerTest, CommandsToAbsentFBlocksComeBackAsFailures) {
  const CZvMOSTMessageData* r = ask(0x7701, 0x000, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->transmissionInfo, CZvSimNetwork::kTargetNotReached);
  EXPECT_EQ(r->header.getFBlockKey(), 0x7701);
}

TEST_F(SimServerTest, ARestartedServerSeesEveryFBlockRegisteredAgain) {
  server.reset();
  ASSERT_TRUE(pumpUntil([this] { return !fblockClient->isRegistered(); }));
  startServer();
  ASSERT_TRUE(pumpUntil([this] { return server->network().ownerOf(kKey) != 0; }));
  EXPECT_EQ(server->network().ownerOf(kKey), fblockClient->getClientID());
  ASSERT_TRUE(pumpUntil([this] { return ctrlClient->isRegistered(); }));
  const CZvMOSTMessageData* r = ask(kKey, 0x010, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(bytesOf(*r), (Bytes{4, 5, 6}));
}

TEST_F(SimServerTest, CommunicationStateAndControlArePublished) {
  EXPECT_TRUE(pumpUntil([this] { return fblockClient->isCommunicationOk(); }));
  consumer->events.clear();
  fblockClient->requestSetCommunicationCtrl(DSYSMOSTServer::COMM_CTRL_STOP);
  ASSERT_TRUE(pumpUntil([this] {
    for (const auto& e : consumer->events) {
      if (e.reason == CZvDeviceInfoData::REASON_COMMCTRL_DISABLE) return true;
    }
    return false;
  }));
  fblockClient->requestSetCommunicationCtrl(DSYSMOSTServer::COMM_CTRL_COMMUNICATE);
  ASSERT_TRUE(pumpUntil([this] {
    return !consumer->events.empty() &&
           consumer->events.back().reason == CZvDeviceInfoData::REASON_COMMCTRL_ENABLE;
  }));
}

TEST_F(SimServerTest, AClientThatLeavesIsCleanedUpAfter) {
  const size_t before = server->network().getRegistry().size();
  consumer.reset();  // releasing the last listener deregisters the FBlock
  ASSERT_TRUE(pumpUntil([this] { return server->network().ownerOf(kKey) == 0; }));
  EXPECT_EQ(server->network().getRegistry().size(), before - 1);
  ctrlClient->getLogDevAdmin().setReportSink(nullptr);
  ctrlClient.reset();
  ASSERT_TRUE(pumpUntil([this] { return server->network().clientCount() == 1; }));
  ctrlClient = std::make_unique<CZvMOSTClientImpl>("MOSTSubSystem");  // for the fixture's end
}

}  // namespace
