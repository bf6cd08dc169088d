#include <gtest/gtest.h>

#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/device_impl_base.h"
#include "fbkit/fblock/fkt_ids_codec.h"
#include "fbkit/fblock/tests/fblock_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kFB = 0x22;
constexpr uint8_t kInst = 0x01;
constexpr uint16_t kRequester = 0x0101;

class DeviceBaseTest : public ::testing::Test {
 protected:
  DeviceBaseTest() : adapter(&client), consumer(adapter) {
    device = new CZvDeviceBase(kFB, kInst, nullptr, &client, true);
    client.getDeviceAdmin().addDevice(device->getFBlockKey(), device);
  }

  // Sends one command to the device through the admin; returns what the
  // device answered (the last message sent), or nothing.
  void command(uint16_t fktID, uint8_t opType, Bytes payload = {}, int32_t ti = 0) {
    client.sent.clear();
    CZvMOSTMessageData m = makeCommand(kRequester, kFB, kInst, fktID, opType, payload, ti);
    client.getDeviceAdmin().dispatchMOSTMessage(m);
  }
  void expectAnswer(uint8_t opType, const Bytes& payload) {
    ASSERT_EQ(client.sent.size(), 1u);
    EXPECT_EQ(client.sent[0].header.opType, opType);
    EXPECT_EQ(client.lastPayload(), payload);
  }

  CapturingClient client;
  CZvMOSTAdapter adapter;
  RecordingConsumer consumer;
  CZvDeviceBase* device;
};

TEST(FktIDsCodecTest, BoundaryListsPackTwelveBitValues) {
  EXPECT_EQ(ZvFktIDs::encode({0x001, 0x002, 0x005, 0x006, 0x007}), (Bytes{0x00, 0x30, 0x05, 0x00, 0x80}));
  EXPECT_EQ(ZvFktIDs::encode({}), (Bytes{0x00, 0x10}));
  EXPECT_EQ(ZvFktIDs::toBoundaries({0x001, 0xFFF}), (std::vector<uint16_t>{0x002, 0xFFF}));
  EXPECT_EQ(ZvFktIDs::pack({0xABC, 0x123}), (Bytes{0xAB, 0xC1, 0x23}));
}

TEST_F(DeviceBaseTest, FktIDsListsFunctionsAndStandardFunctions) {
  RecordingFunction f5(0x005, false), f6(0x006, false), f7(0x007, false), high(0xF10, false);
  for (auto* f : {&f5, &f6, &f7, &high}) device->addFunction(f);
  command(0x000, 1);
  expectAnswer(12, {0x00, 0x30, 0x05, 0x00, 0x80});  // 0xF10 is left out

  CZvDeviceBase* bare = new CZvDeviceBase(0x31, 0x01, nullptr, &client, true);
  client.getDeviceAdmin().addDevice(0x3101, bare);
  bare->setBlockNotification(true);
  client.sent.clear();
  CZvMOSTMessageData m = makeCommand(kRequester, 0x31, 0x01, 0x000, 1);
  client.getDeviceAdmin().dispatchMOSTMessage(m);
  expectAnswer(12, {0x00, 0x10});
}

TEST_F(DeviceBaseTest, StandardFunctionsAnswerMalformedCommandsWithTheirError) {
  device->setVersionEnabled(true);
  device->setVersion(1, 2, 3);
  struct Case {
    const char* what;
    uint16_t fkt;
    uint8_t op;
    Bytes payload;
    uint8_t answerOp;
    Bytes answer;
  };
  const Case cases[] = {
      {"FktIDs with extra bytes", 0x000, 1, {0x01}, 15, {0x05}},
      {"FktIDs Set", 0x000, 0, {}, 15, {0x04, 0x00}},
      {"FktIDs StartResultAck", 0x000, 6, {0x12, 0x34}, 9, {0x12, 0x34, 0x04, 0x06}},
      {"FktIDs StartAck without handle", 0x000, 8, {}, 9, {0xFF, 0xFF, 0x04, 0x08}},
      {"Version", 0x010, 1, {}, 12, {1, 2, 3}},
      {"Version with payload", 0x010, 1, {0}, 15, {0x05}},
      {"NotificationCheck short", 0x002, 1, {0x01}, 15, {0x05}},
      {"Notification.Get short", 0x001, 1, {0x01}, 15, {0x05}},
      {"Notification.Get unknown function", 0x001, 1, {0x04, 0x44}, 15, {0x07, 0x01, 0x04, 0x44}},
      {"Notification.Set too short", 0x001, 0, {0x01, 0x01}, 15, {0x05}},
      {"Notification.Set no function", 0x001, 0, {0x01, 0x01, 0x01}, 15, {0x08}},
      {"Notification.Set two unknown", 0x001, 0, {0x01, 0x01, 0x01, 0x04, 0x00, 0x04, 0x01}, 15,
       {0x20, 0x10, 0x04, 0x00, 0x04, 0x01}},
      {"Notification.Set dangling byte", 0x001, 0, {0x01, 0x01, 0x01, 0x04}, 15, {0x05}},
      {"Notification.Set bad control", 0x001, 0, {0x07, 0x01, 0x01}, 15, {0x06, 0x01, 0x07}},
      {"Notification.Set all reaches none", 0x001, 0, {0x00, 0x01, 0x01}, 15, {0x20, 0x20}},
      {"Notification Increment", 0x001, 3, {}, 15, {0x04, 0x03}},
      {"Unknown function", 0x200, 1, {}, 15, {0x03}},
      {"Unknown function, acknowledged", 0x200, 8, {0x12, 0x34, 0x99}, 9, {0x12, 0x34, 0x03}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    command(c.fkt, c.op, c.payload);
    expectAnswer(c.answerOp, c.answer);
    if (!client.sent.empty()) {
      const auto& h = client.sent[0].header;
      EXPECT_EQ(h.targetAddress, kRequester);
      EXPECT_EQ(h.fblockID, kFB);
      EXPECT_EQ(h.instID, kInst);
      EXPECT_EQ(h.functionID, c.fkt);
    }
  }
}

TEST_F(DeviceBaseTest, NoErrorAnswersBroadcastsOrOwnFailedTransmissions) {
  command(0x200, 8, {0x12, 0x34}, 1);  // received as broadcast
  EXPECT_TRUE(client.sent.empty());
  for (int32_t ti = 4; ti <= 9; ++ti) {
    command(0x200, 1, {}, ti);
    EXPECT_TRUE(client.sent.empty()) << ti;
  }
  command(0x001, 0, {0x01, 0x01, 0x01}, 2);  // Notification.Set error, broadcast
  EXPECT_TRUE(client.sent.empty());
  command(0x000, 1, {}, 1);  // a FktIDs Status still goes out for a broadcast
  EXPECT_EQ(client.sent.size(), 1u);
}

TEST_F(DeviceBaseTest, NotificationAndCheckReachNotifiableFunctions) {
  RecordingFunction prop(0x100, true), method(0x200, false);
  device->addFunction(&prop);
  device->addFunction(&method);
  prop.matrix.insert(0x0123);

  command(0x001, 0, {0x01, 0x01, 0x23, 0x01, 0x00});  // set one function for device 0x0123
  EXPECT_TRUE(client.sent.empty());
  ASSERT_EQ(prop.notifications.size(), 1u);
  EXPECT_EQ(prop.notifications[0].control, 1);
  EXPECT_EQ(prop.notifications[0].routing, 0x00070123u);  // requester's client part kept

  command(0x001, 0, {0x01, 0x01, 0x23, 0x02, 0x00});  // a method is not notifiable
  expectAnswer(15, {0x20, 0x10, 0x02, 0x00});

  command(0x001, 0, {0x02, 0x01, 0x23});  // clear all
  EXPECT_TRUE(client.sent.empty());
  EXPECT_EQ(prop.notifications.back().control, 2);

  command(0x002, 1, {0x01, 0x23});
  expectAnswer(12, {0x01, 0x23, 0x01, 0x00});
  command(0x002, 1, {0x04, 0x56});
  expectAnswer(12, {0x04, 0x56});

  command(0x100, 2, {});
  EXPECT_EQ(prop.commands, Bytes{2});
  EXPECT_EQ(prop.lastRouting, 0x00070101u);
}

TEST_F(DeviceBaseTest, RegistrationFollowsListenersAndTheRegistry) {
  // Built with noAutoRegistration: the first listener does not register.
  device->registerBaseListener(&consumer);
  EXPECT_EQ(device->getRegistrationState(), CZvDeviceBase::STATE_UNREGISTERED);
  EXPECT_TRUE(device->sendRegistration(true));
  EXPECT_EQ(device->getRegistrationState(), CZvDeviceBase::STATE_REGISTRATION_REQUESTED);
  EXPECT_FALSE(device->sendRegistration(true));  // already requested

  client.informationActivate({device->getFBlockKey()});
  EXPECT_TRUE(device->isActive());
  device->releaseDevice(&consumer);  // last listener of an active device
  EXPECT_EQ(device->getRegistrationState(), CZvDeviceBase::STATE_DEREGISTRATION_REQUESTED);
}

TEST_F(DeviceBaseTest, InstanceChangeDeregistersMovesAndRegistersAgain) {
  device->registerBaseListener(&consumer);
  device->sendRegistration(true);
  client.informationActivate({0x2201});
  ASSERT_TRUE(device->isActive());
  CZvEventLoop::current().runUntilIdle();
  consumer.events.clear();

  EXPECT_TRUE(device->requestChangeInstId(0x04));
  EXPECT_EQ(device->getFBlockKey(), 0x2204);
  EXPECT_EQ(client.getDeviceAdmin().getDevice(0x2204), device);
  EXPECT_EQ(device->getRegistrationState(), CZvDeviceBase::STATE_REGISTRATION_REQUESTED);
  CZvEventLoop::current().runUntilIdle();
  ASSERT_EQ(consumer.events.size(), 1u);
  EXPECT_EQ(consumer.events[0].reason, CZvDeviceInfoData::REASON_FBLOCKKEY_CHANGED);
  EXPECT_EQ(consumer.events[0].fblockKey, 0x2204);
}

TEST_F(DeviceBaseTest, CommandActivatesAndNetOffReportsToListeners) {
  device->registerBaseListener(&consumer);
  command(0x000, 1);
  EXPECT_TRUE(device->isActive());  // activated by the incoming command
  client.informationCleanUp(DSYSMOSTServer::CLEANUP_EXTERNAL, 0, 0);
  CZvEventLoop::current().runUntilIdle();
  ASSERT_EQ(consumer.events.size(), 2u);
  EXPECT_EQ(consumer.events[0].reason, CZvDeviceInfoData::REASON_DEVICE_ACTIVATED);
  EXPECT_EQ(consumer.events[1].reason, CZvDeviceInfoData::REASON_NETOFF);
  EXPECT_EQ(consumer.events[1].detail, 1u);
}

class TableImpl : public CZvDeviceImplBase {
 public:
  explicit TableImpl(CZvMOSTAdapter& adapter) : CZvDeviceImplBase(adapter) {}
  void processEvent(const CZvDeviceInfoEvent& event) override {
    static const uint16_t ids[] = {0x100, 0x200};
    static const Handler handlers[] = {static_cast<Handler>(&TableImpl::onVolume),
                                       static_cast<Handler>(&TableImpl::onStart)};
    handled.push_back(dispatch({2, ids, handlers}, event));
  }
  void onDeviceActivated(uint16_t key) override { calls.push_back(key); }
  void onVolume(const CZvDeviceInfoEvent&) { calls.push_back(0x100); }
  void onStart(const CZvDeviceInfoEvent&) { calls.push_back(0x200); }
  std::vector<uint16_t> calls;
  std::vector<bool> handled;
};

TEST(DeviceImplBaseTest, DeviceEventsAndTheFunctionTableAreDispatched) {
  CZvMOSTAdapter adapter(nullptr);
  TableImpl impl(adapter);
  using D = CZvDeviceInfoData;
  impl.processEvent(CZvDeviceInfoEvent(D(D::REASON_DEVICE_ACTIVATED, 0x2201, 0, 0, 0xFFFF)));
  impl.processEvent(CZvDeviceInfoEvent(D(D::REASON_GET, 0x2201, 0x100, 0, 0)));
  impl.processEvent(CZvDeviceInfoEvent(D(D::REASON_START, 0x2201, 0x200, 0, 0)));
  impl.processEvent(CZvDeviceInfoEvent(D(D::REASON_GET, 0x2201, 0x300, 0, 0)));
  EXPECT_EQ(impl.calls, (std::vector<uint16_t>{0x2201, 0x100, 0x200}));
  EXPECT_EQ(impl.handled, (std::vector<bool>{true, true, true, false}));
  const uint32_t reasons[] = {3, 7, 9};
  EXPECT_EQ(CZvDeviceImplBase::searchReason(reasons, 3, 7), 1u);
  EXPECT_EQ(CZvDeviceImplBase::searchReason(reasons, 3, 8), 3u);
}

}  // namespace
