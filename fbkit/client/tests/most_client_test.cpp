#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/client/most_error_handler.h"
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/tests/fblock_test_support.h"
#include "platform/basalt/zv_trace.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Keys = std::vector<uint16_t>;

class RecordingSink : public IZvLogDevReportSink {
 public:
  void onReport(const CZvMOSTMessageData& message) override { reports.push_back(message); }
  void onRegistryChange(const Keys& added, const Keys& removed) override {
    registryChanges.push_back({added, removed});
  }
  void onConnectionChange(const Keys& valids, const Keys& invalids) override {
    connectionChanges.push_back({valids, invalids});
  }
  std::vector<CZvMOSTMessageData> reports;
  std::vector<std::pair<Keys, Keys>> registryChanges;
  std::vector<std::pair<Keys, Keys>> connectionChanges;
};

// A function that keeps the commands it receives.
class PayloadFunction : public RecordingFunction {
 public:
  explicit PayloadFunction(uint16_t id) : RecordingFunction(id, false) {}
  bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) override {
    received.push_back(message);
    return RecordingFunction::readFromMessage(message, routing);
  }
  std::vector<CZvMOSTMessageData> received;
};

DSYSMOSTTypes::MessageType serverMessage(uint16_t source, uint16_t key, uint16_t fkt, uint8_t op,
                                         Bytes payload, int32_t ti, int32_t type = 0) {
  DSYSMOSTTypes::MessageType msg;
  msg.transmissionType = static_cast<DSYSMOSTTypes::eTransmissionType>(type);
  msg.transmissionVariant.setTransmissionInfo(static_cast<DSYSMOSTTypes::eTransmissionInfo>(ti));
  msg.header.sourceAddress = source;
  msg.header.fblockID = static_cast<uint8_t>(key >> 8);
  msg.header.instID = static_cast<uint8_t>(key);
  msg.header.functionID = fkt;
  msg.header.opType = op;
  msg.header.routingAddress = 0x00070000u | source;
  msg.data = CZvBuffer(payload.data(), static_cast<uint32_t>(payload.size()));
  return msg;
}

Bytes bytesOf(const CZvMOSTMessageData& m) {
  return Bytes(m.data.getData(), m.data.getData() + m.data.getSize());
}

class MOSTClientTest : public ::testing::Test {
 protected:
  MOSTClientTest() : function(0x100) {
    device = new CZvDeviceBase(0x22, 0x01, nullptr, &client, true);
    device->addFunction(&function);
    client.getDeviceAdmin().addDevice(0x2201, device);
    client.getLogDevAdmin().setReportSink(&sink);
  }
  ~MOSTClientTest() override { client.getLogDevAdmin().setReportSink(nullptr); }

  PayloadFunction function;
  CapturingClient client;
  RecordingSink sink;
  CZvDeviceBase* device;
};

TEST_F(MOSTClientTest, SegmentsAreReassembledInArrivalOrder) {
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {1, 2}, 19, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {3}, 20, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {4, 5}, 20, 1));
  EXPECT_TRUE(function.received.empty());
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {6}, 21, 1));
  ASSERT_EQ(function.received.size(), 1u);
  EXPECT_EQ(bytesOf(function.received[0]), (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(function.received[0].transmissionInfo, 0);
  EXPECT_EQ(function.received[0].header.getLength(), 6);
  EXPECT_EQ(client.partialSegmentCount(), 0u);
}

TEST_F(MOSTClientTest, ANewFirstSegmentDiscardsThePartialMessage) {
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {1, 2}, 19, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {9}, 19, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {8}, 21, 1));
  ASSERT_EQ(function.received.size(), 1u);
  EXPECT_EQ(bytesOf(function.received[0]), (Bytes{9, 8}));
}

TEST_F(MOSTClientTest, SegmentsWithoutTheirFirstAreDropped) {
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {3}, 20, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {4}, 21, 1));
  // Another header (other sender) does not complete the first one either.
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, {1}, 19, 1));
  client.informationProcessMessage(serverMessage(0x0102, 0x2201, 0x100, 0, {2}, 21, 1));
  EXPECT_TRUE(function.received.empty());
  EXPECT_EQ(client.partialSegmentCount(), 1u);
}

TEST_F(MOSTClientTest, OversizedReassemblyIsDropped) {
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, Bytes(40000, 1), 19, 1));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 0, Bytes(40000, 2), 21, 1));
  EXPECT_TRUE(function.received.empty());
  EXPECT_EQ(client.partialSegmentCount(), 0u);
}

TEST_F(MOSTClientTest, DispatchFollowsOpTypeAndSwapsRolesForFailedTransmissions) {
  struct Case {
    const char* what;
    uint16_t source;
    uint8_t op;
    Bytes payload;
    int32_t ti;
    bool toFBlock;
  };
  const Case cases[] = {
      {"command", 0x0101, 1, {}, 0, true},
      {"report", 0x0101, 12, {1}, 0, false},
      {"own report failed", 0x0101, 12, {1}, 7, true},
      {"own command failed", 0x0101, 1, {}, 5, false},
      {"segmentation error from an external sender", 0x0101, 15, {0x0C}, 0, true},
      {"segmentation error from an internal sender", 0x1101, 15, {0x0C}, 0, false},
      {"other error", 0x0101, 15, {0x41}, 0, false},
  };
  for (const Case& c : cases) {
    function.received.clear();
    sink.reports.clear();
    client.informationProcessMessage(serverMessage(c.source, 0x2201, 0x100, c.op, c.payload, c.ti));
    EXPECT_EQ(function.received.size(), c.toFBlock ? 1u : 0u) << c.what;
    EXPECT_EQ(sink.reports.size(), c.toFBlock ? 0u : 1u) << c.what;
  }
}

TEST_F(MOSTClientTest, ReportsArePublishedToErrorHandlers) {
  struct Handler : CZvMOSTErrorHandler {
    void onErrorReport(uint16_t key, uint16_t, uint8_t code, const CZvByteStream&) override {
      seen.push_back(key);
      seen.push_back(code);
    }
    void onErrorAckReport(uint16_t, uint16_t, uint16_t, uint8_t, const CZvByteStream&) override {}
    void onLogDevEvent(const CZvLogDevInfoData&, int32_t) override {}
    void onTransmissionError(uint16_t, uint16_t, int32_t) override {}
    std::vector<uint16_t> seen;
  } handler;
  ZvSystemConfig::getMOSTConfig().addErrorHandler(&handler);
  client.informationProcessMessage(serverMessage(0x0101, 0x3101, 0x100, 15, {0x41}, 0));
  client.informationProcessMessage(serverMessage(0x0101, 0x2201, 0x100, 1, {}, 0));  // a command
  ZvSystemConfig::getMOSTConfig().removeErrorHandler(&handler);
  EXPECT_EQ(handler.seen, (std::vector<uint16_t>{0x3101, 0x41}));
}

TEST_F(MOSTClientTest, MessageWithoutTransmissionInfoIsStillDispatched) {
  DSYSMOSTTypes::MessageType msg = serverMessage(0x0101, 0x2201, 0x100, 1, {}, 0);
  msg.transmissionVariant.clear();
  client.informationProcessMessage(msg);
  ASSERT_EQ(function.received.size(), 1u);
  EXPECT_EQ(function.received[0].transmissionInfo, 0);
}

struct SRegistryStep {
  Keys registry;
  Keys added;
  Keys removed;
};

TEST_F(MOSTClientTest, RegistryComparisonReportsAddedAndRemovedKeys) {
  const SRegistryStep steps[] = {
      {{0x2201, 0x3101}, {0x2201, 0x3101}, {}},
      {{0x2201, 0x3101}, {}, {}},
      {{0x1101, 0x3101, 0x5201}, {0x1101, 0x5201}, {0x2201}},
      {{0x0101}, {0x0101}, {0x1101, 0x3101, 0x5201}},
      {{}, {}, {0x0101}},
  };
  for (const SRegistryStep& step : steps) {
    DSYSMOSTTypes::Registry entries;
    // Unordered on purpose: the comparison works on the sorted keys.
    for (auto it = step.registry.rbegin(); it != step.registry.rend(); ++it) {
      entries.push_back({0x0100, *it});
    }
    sink.registryChanges.clear();
    client.onRegistryUpdate(entries, ZvServices::DATA_STATE_VALID);
    ASSERT_EQ(sink.registryChanges.size(), 1u);
    EXPECT_EQ(sink.registryChanges[0].first, step.added);
    EXPECT_EQ(sink.registryChanges[0].second, step.removed);
    EXPECT_EQ(client.getCurrentRegistry(), step.registry);
  }
  // Invalid data changes nothing.
  sink.registryChanges.clear();
  client.onRegistryUpdate({{0x0100, 0x7701}}, ZvServices::DATA_STATE_INVALID);
  EXPECT_TRUE(sink.registryChanges.empty());
}

TEST_F(MOSTClientTest, DisconnectReportsEveryKnownFBlockAsGone) {
  client.onRegistryUpdate({{0x0100, 0x2201}, {0x0100, 0x3101}}, ZvServices::DATA_STATE_VALID);
  sink.registryChanges.clear();
  client.componentDisconnected(nullptr);
  ASSERT_EQ(sink.registryChanges.size(), 1u);
  EXPECT_EQ(sink.registryChanges[0].second, (Keys{0x2201, 0x3101}));
  EXPECT_FALSE(client.isRegistered());
}

TEST_F(MOSTClientTest, ConnectAndDisconnectReachTheControllerSide) {
  client.informationConnect({});
  EXPECT_TRUE(sink.connectionChanges.empty());
  DSYSMOSTServer::DeviceInfo a, b;
  a.deviceID = 0x0100;
  a.fblockKey = 0x2201;
  b.deviceID = 0x0200;
  b.fblockKey = 0x3101;
  client.informationConnect({a, b});
  ASSERT_EQ(sink.connectionChanges.size(), 1u);
  EXPECT_EQ(sink.connectionChanges[0].first, (Keys{0x3101, 0x2201}));  // last to first
  EXPECT_EQ(client.getBroadcastLogDevs(0x31), (Keys{0x3101}));
  client.informationDisconnect({0x3101});
  EXPECT_EQ(sink.connectionChanges.back().second, (Keys{0x3101}));
  EXPECT_TRUE(client.getBroadcastLogDevs(0x31).empty());
}

TEST_F(MOSTClientTest, QueriesWithoutAValidRegistry) {
  EXPECT_EQ(client.getDeviceID(0x2201), 0xFFFF);
  DSYSMOSTTypes::Registry entries;
  EXPECT_FALSE(client.getAvailableDevices(entries));
  std::vector<uint8_t> insts;
  EXPECT_FALSE(client.getAvailableInstIDs(0x22, insts));
  EXPECT_FALSE(client.isCommunicationOk());
}

TEST_F(MOSTClientTest, FlushWithAnEmptyBatchEndsBatchMode) {
  client.startMOSTMessages();
  EXPECT_TRUE(client.isBatchMode());
  client.flushMOSTMessages();
  EXPECT_FALSE(client.isBatchMode());
}

TEST_F(MOSTClientTest, RegistrationListsFollowRegistrations) {
  client.sendRegistration(0x3101, true, "");
  client.sendRegistration(0x3201, true, "Amplifier");
  client.sendLogDevRegistration(0x4401, true);
  EXPECT_EQ(client.getDevicesToRegister(), (Keys{0x3101}));
  ASSERT_EQ(client.getNamedDevicesToRegister().size(), 1u);
  EXPECT_EQ(client.getDevCtrlsToRegister(), (Keys{0x4401}));
  // Ending a registration removes it from the lists sent after a reconnection,
  // named registrations included.
  client.sendRegistration(0x3101, false, "");
  client.sendRegistration(0x3201, false, "Amplifier");
  client.sendLogDevRegistration(0x4401, false);
  EXPECT_TRUE(client.getDevicesToRegister().empty());
  EXPECT_TRUE(client.getNamedDevicesToRegister().empty());
  EXPECT_TRUE(client.getDevCtrlsToRegister().empty());
}

TEST_F(MOSTClientTest, TraceTextsNameTheClientAndWhatHappened) {
  CZvTraceCapture capture("framework_comm_most_CZvMOSTClientImpl*");
  client.onRegistryUpdate({{0x0100, 0x2201}}, ZvServices::DATA_STATE_VALID);
  client.informationConnect({});
  client.informationActivate({0x2201});
  client.informationCleanUp(DSYSMOSTServer::CLEANUP_INTERNAL, 0x2201, 0x0100);
  client.sendRegistration(0x3101, true, "Amp");
  EXPECT_TRUE(capture.contains("  MOSTClient 0 processNewRegistry cur:0 new:1"));
  EXPECT_TRUE(capture.contains(" MOSTClient 0 informationConnect with empty devCtrl list !"));
  EXPECT_TRUE(capture.contains(" MOSTClient 0 activate fbKey 2201"));
  EXPECT_TRUE(capture.contains(
      "  MOSTClient 0x00 (ownDeviceId: 0x0000) informationCleanUp internal: devCtrl 0x2201 devID 100 "));
  EXPECT_TRUE(capture.contains("  MOSTClient 0 sendRegistration fBlockKey 3101(Amp) 1"));
  EXPECT_TRUE(capture.contains("  MOSTClient 0 responseCleanUp"));
}

TEST(MOSTClientThreadTest, EachThreadFindsItsOwnClient) {
  CZvMOSTClientImpl* mine = CZvMOSTClientImpl::getRealMOSTClientImpl();
  EXPECT_EQ(CZvMOSTClientImpl::getRealMOSTClientImpl(), mine);
  EXPECT_EQ(CZvMOSTClientImpl::peekMOSTClientImpl(), mine);
  delete mine;
  EXPECT_EQ(CZvMOSTClientImpl::peekMOSTClientImpl(), nullptr);
}

}  // namespace
