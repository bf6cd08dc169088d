#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/mostsim/sim_config.h"
#include "tools/mostsim/sim_network.h"

namespace {

struct SSent {
  uint32_t client;
  DSYSMOSTTypes::MessageType msg;
};

class RecordingOutput : public ISimOutput {
 public:
  void sendProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) override {
    messages.push_back({clientID, msg});
  }
  void sendActivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    log.push_back("activate " + std::to_string(clientID) + " " + keysText(keys));
  }
  void sendDeactivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    log.push_back("deactivate " + std::to_string(clientID) + " " + keysText(keys));
  }
  void sendConnect(uint32_t clientID, const DSYSMOSTServer::DeviceInfoVector& devices) override {
    DSYSMOSTTypes::FBlockKeyVector keys;
    for (const auto& d : devices) keys.push_back(d.fblockKey);
    log.push_back("connect " + std::to_string(clientID) + " " + keysText(keys));
  }
  void sendDisconnect(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    log.push_back("disconnect " + std::to_string(clientID) + " " + keysText(keys));
  }
  void sendCleanUp(uint32_t clientID, DSYSMOSTServer::CleanUpRequest request, uint16_t devCtrl,
                   uint16_t) override {
    log.push_back("cleanup " + std::to_string(clientID) + " " + std::to_string(request) + " " +
                  std::to_string(devCtrl));
  }
  void publishRegistry(const DSYSMOSTTypes::Registry& registry) override { registries.push_back(registry); }

  static std::string keysText(const DSYSMOSTTypes::FBlockKeyVector& keys) {
    std::string text;
    for (uint16_t k : keys) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%04X", k);
      text += (text.empty() ? "" : ",") + std::string(buf);
    }
    return text;
  }

  std::vector<std::string> log;
  std::vector<SSent> messages;
  std::vector<DSYSMOSTTypes::Registry> registries;
};

DSYSMOSTTypes::MessageType command(uint16_t key, uint16_t fkt, uint8_t op, uint32_t payloadSize = 0) {
  DSYSMOSTTypes::MessageType m;
  m.header.fblockID = static_cast<uint8_t>(key >> 8);
  m.header.instID = static_cast<uint8_t>(key);
  m.header.functionID = fkt;
  m.header.opType = op;
  std::vector<uint8_t> bytes(payloadSize);
  for (uint32_t i = 0; i < payloadSize; ++i) bytes[i] = static_cast<uint8_t>(i);
  m.data = CZvBuffer(bytes.data(), payloadSize);
  return m;
}

class SimNetworkTest : public ::testing::Test {
 protected:
  SimNetworkTest() : net(config(), out) {}
  static SZvSimConfig config() {
    SZvSimConfig c;
    c.segmentSize = 10;
    c.remoteNodes.push_back({0x0200, {0x5201}});
    return c;
  }
  RecordingOutput out;
  CZvSimNetwork net;
};

TEST_F(SimNetworkTest, RegisteredFBlocksAreActivatedListedAndConnected) {
  const uint32_t fblock = net.addClient("app-A");
  const uint32_t ctrl = net.addClient("app-B");
  net.registerDevCtrls(ctrl, {0x2201, 0x5201});  // 0x5201 lives on a remote node
  net.registerDevices(fblock, {0x2201});
  const std::vector<std::string> expected = {"connect 2 5201", "activate 1 2201", "connect 2 2201"};
  EXPECT_EQ(out.log, expected);
  const auto& registry = out.registries.back();
  ASSERT_EQ(registry.size(), 2u);
  EXPECT_EQ(registry[0].fblockKey, 0x2201);
  EXPECT_EQ(registry[0].deviceID, 0x0100);
  EXPECT_EQ(registry[1].deviceID, 0x0200);
  // A second client cannot take a key that is owned.
  net.registerDevices(ctrl, {0x2201});
  EXPECT_EQ(net.ownerOf(0x2201), fblock);
}

TEST_F(SimNetworkTest, CommandsReachTheOwnerAndReportsTheControllers) {
  const uint32_t fblock = net.addClient("fb");
  const uint32_t ctrl = net.addClient("ctrl");
  net.registerDevices(fblock, {0x2201});
  net.registerDevCtrls(ctrl, {0x2201});

  net.processMessage(ctrl, command(0x2201, 0x000, 1));
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0].client, fblock);
  EXPECT_EQ(out.messages[0].msg.header.sourceAddress, 0x0100);
  EXPECT_EQ(out.messages[0].msg.header.routingAddress >> 16, ctrl);
  EXPECT_EQ(out.messages[0].msg.transmissionVariant.getTransmissionInfo(), 0);

  net.processMessage(fblock, command(0x2201, 0x000, 12));
  ASSERT_EQ(out.messages.size(), 2u);
  EXPECT_EQ(out.messages[1].client, ctrl);
}

TEST_F(SimNetworkTest, MessagesToAbsentTargetsComeBackAsFailedTransmissions) {
  const uint32_t ctrl = net.addClient("ctrl");
  const auto sent = command(0x3301, 0x200, 1);
  net.processMessage(ctrl, sent);
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0].client, ctrl);
  EXPECT_EQ(out.messages[0].msg.header, sent.header);  // its own header
  EXPECT_EQ(out.messages[0].msg.transmissionVariant.getTransmissionInfo(),
            CZvSimNetwork::kTargetNotReached);
}

TEST_F(SimNetworkTest, LongPayloadsTravelInSegments) {
  const uint32_t fblock = net.addClient("fb");
  const uint32_t ctrl = net.addClient("ctrl");
  net.registerDevices(fblock, {0x2201});
  net.processMessage(ctrl, command(0x2201, 0x200, 0, 25));
  ASSERT_EQ(out.messages.size(), 3u);
  const int32_t expectedTI[] = {19, 20, 21};
  const uint32_t expectedSize[] = {10, 10, 5};
  for (size_t i = 0; i < 3; ++i) {
    const auto& m = out.messages[i].msg;
    EXPECT_EQ(m.transmissionVariant.getTransmissionInfo(), expectedTI[i]);
    EXPECT_EQ(m.transmissionType, DSYSMOSTTypes::TRANSMISSION_TYPE_PACKET);
    EXPECT_EQ(m.data.getSize(), expectedSize[i]);
  }
  EXPECT_EQ(out.messages[2].msg.data.getData()[4], 24);
}

TEST_F(SimNetworkTest, ADepartingClientIsCleanedUpAfter) {
  const uint32_t fblock = net.addClient("fb");
  const uint32_t ctrl = net.addClient("ctrl");
  net.registerDevices(fblock, {0x2201});
  net.registerDevCtrls(ctrl, {0x2201});
  out.log.clear();
  net.removeClient(fblock);
  EXPECT_EQ(out.log, std::vector<std::string>{"disconnect 2 2201"});
  EXPECT_EQ(out.registries.back().size(), 1u);  // only the remote FBlock
  out.log.clear();
  net.registerDevices(net.addClient("fb2"), {0x2201});
  net.removeClient(ctrl);
  EXPECT_EQ(out.log.back(), "cleanup 3 0 8705");  // devCtrl 0x2201
}

TEST(SimConfigTest, ParsesItemsAndRejectsMalformedLines) {
  SZvSimConfig config;
  std::string error;
  ASSERT_TRUE(ZvSimConfig::parse("# desk\nnode-id 0x0101\nsegment-size 12\n"
                                 "remote 0x0200 0x2201 0x3101  # two FBlocks\n",
                                 config, error))
      << error;
  EXPECT_EQ(config.nodeDeviceID, 0x0101);
  EXPECT_EQ(config.segmentSize, 12u);
  ASSERT_EQ(config.remoteNodes.size(), 1u);
  EXPECT_EQ(config.remoteNodes[0].fblockKeys.size(), 2u);

  const char* bad[] = {"node-id", "node-id 0x10000", "node-id -1", "segment-size 0",
                       "remote 0x0200", "remote 0x0200 0x12345", "frobnicate 1", "node-id 12abc"};
  for (const char* text : bad) {
    SZvSimConfig untouched;
    EXPECT_FALSE(ZvSimConfig::parse(text, untouched, error)) << text;
    EXPECT_EQ(untouched.nodeDeviceID, 0x0100) << text;
  }
}

}  // namespace
