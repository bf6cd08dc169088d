#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/tests/fblock_test_support.h"

namespace {

// The configuration with a chosen InstID 0 handling.
class InstAnyConfig : public CZvMOSTPrjConfig {
 public:
  explicit InstAnyConfig(int32_t handling) : mHandling(handling) {}
  int32_t getInstAnyHandling() const override { return mHandling; }

 private:
  int32_t mHandling;
};

struct SDelivery {
  uint16_t key;
  bool instAny;
  bool broadcast;
  uint32_t readPosition;  // where the payload stood when the device got it
};

// A device that records every command it receives and reads it to its end.
class RecordingDevice : public CZvDeviceBase {
 public:
  RecordingDevice(uint16_t key, CZvMOSTClientImpl* client, std::vector<SDelivery>& log)
      : CZvDeviceBase(static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key), nullptr, client),
        mLog(log) {}
  void processMOSTMessage(CZvMOSTMessageData& message) override {
    mLog.push_back({getFBlockKey(), getInstAnyReceived(), getReceivedAsBroadcast(),
                    message.data.getReadPosition()});
    message.data.skip(message.data.getRemaining());
  }

 private:
  std::vector<SDelivery>& mLog;
};

struct SRuleCase {
  const char* name;
  int32_t instAnyHandling;
  std::vector<uint16_t> devices;
  uint8_t fblockID;
  uint8_t instID;
  int32_t transmissionInfo;
  std::vector<SDelivery> expected;  // readPosition expected 0 for every delivery
};

class InstanceRulesTest : public ::testing::TestWithParam<SRuleCase> {
 protected:
  void TearDown() override { ZvSystemConfig::setMOSTConfig(nullptr); }
};

TEST_P(InstanceRulesTest, CommandReachesExactlyTheRuleTargets) {
  const SRuleCase& c = GetParam();
  InstAnyConfig config(c.instAnyHandling);
  ZvSystemConfig::setMOSTConfig(&config);
  CapturingClient client;
  std::vector<SDelivery> log;
  for (uint16_t key : c.devices) {
    client.getDeviceAdmin().addDevice(key, new RecordingDevice(key, &client, log));
  }
  CZvMOSTMessageData m = makeCommand(0x0101, c.fblockID, c.instID, 0x200, 1, {1, 2, 3},
                                     c.transmissionInfo);
  client.getDeviceAdmin().dispatchMOSTMessage(m);

  ASSERT_EQ(log.size(), c.expected.size()) << c.name;
  for (size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].key, c.expected[i].key) << c.name << " #" << i;
    EXPECT_EQ(log[i].instAny, c.expected[i].instAny) << c.name << " #" << i;
    EXPECT_EQ(log[i].broadcast, c.expected[i].broadcast) << c.name << " #" << i;
    EXPECT_EQ(log[i].readPosition, 0u) << c.name << " #" << i;  // each reads from the start
  }
}

const std::vector<uint16_t> kRing = {0x2201, 0x2203, 0x3102, 0xF101, 0xFFFF};

INSTANTIATE_TEST_SUITE_P(
    Table, InstanceRulesTest,
    ::testing::Values(
        SRuleCase{"exact instance", 0, kRing, 0x22, 0x03, 0, {{0x2203, false, false, 0}}},
        SRuleCase{"inst 0 takes the highest instance", 0, kRing, 0x22, 0x00, 0,
                  {{0x2203, true, false, 0}}},
        SRuleCase{"inst 0 with handling 1 takes instance 0", 1, {0x2200, 0x2201, 0x2203}, 0x22, 0x00,
                  0, {{0x2200, true, false, 0}}},
        SRuleCase{"inst 0 with handling 1 and no instance 0", 1, {0x2201, 0x2203}, 0x22, 0x00, 0,
                  {{0x2203, true, false, 0}}},
        SRuleCase{"inst 0xFF reaches every instance, then the catch-all", 0, kRing, 0x22, 0xFF, 0,
                  {{0x2203, false, false, 0}, {0x2201, false, false, 0}, {0xFFFF, false, false, 0}}},
        SRuleCase{"unknown instance goes to the catch-all", 0, kRing, 0x22, 0x09, 0,
                  {{0xFFFF, false, false, 0}}},
        SRuleCase{"unknown instance without catch-all reaches no one", 0, {0x2201}, 0x22, 0x09, 0, {}},
        SRuleCase{"broadcast transmission info marks the command", 0, kRing, 0x31, 0x02, 1,
                  {{0x3102, false, true, 0}}},
        SRuleCase{"FBlock 0xFF inst 0xFF skips 0xF0 to 0xFE", 0, kRing, 0xFF, 0xFF, 0,
                  {{0xFFFF, false, false, 0}, {0x2201, false, false, 0}, {0x2203, false, false, 0},
                   {0x3102, false, false, 0}}},
        SRuleCase{"FBlock 0xFF inst 0 reaches the first instance of each FBlock", 0,
                  {0x2201, 0x2203, 0x3102, 0xF101}, 0xFF, 0x00, 0,
                  {{0x2201, true, true, 0}, {0x3102, true, true, 0}}},
        SRuleCase{"FBlock 0xFF with an instance reaches that instance everywhere", 0,
                  {0x2201, 0x2203, 0x3101, 0xF101}, 0xFF, 0x01, 0,
                  {{0x2201, false, true, 0}, {0x3101, false, true, 0}}}),
    [](const ::testing::TestParamInfo<SRuleCase>& info) { return "case" + std::to_string(info.index); });

TEST(DeviceAdminTest, ChangeFBlockKeyMovesTheDeviceButNeverOntoAnother) {
  CapturingClient client;
  std::vector<SDelivery> log;
  CZvDeviceAdmin& admin = client.getDeviceAdmin();
  auto* a = new RecordingDevice(0x2201, &client, log);
  auto* b = new RecordingDevice(0x2203, &client, log);
  ASSERT_TRUE(admin.addDevice(0x2201, a));
  ASSERT_TRUE(admin.addDevice(0x2203, b));
  EXPECT_FALSE(admin.addDevice(0x2203, a));  // key taken
  EXPECT_TRUE(admin.changeFBlockKey(0x2201, 0x05));
  EXPECT_EQ(admin.getDevice(0x2205), a);
  EXPECT_EQ(a->getInstID(), 0x05);
  EXPECT_EQ(admin.getDevice(0x2201), nullptr);
  EXPECT_FALSE(admin.changeFBlockKey(0x2205, 0x03));  // would replace b
  EXPECT_EQ(admin.getDevice(0x2203), b);
  EXPECT_FALSE(admin.changeFBlockKey(0x4401, 0x02));  // no such device
}

}  // namespace
