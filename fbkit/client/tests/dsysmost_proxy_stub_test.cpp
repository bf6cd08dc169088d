// The proxy, stub and client base connected within one process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "fbkit/client/dsysmost_dummy_impl.h"
#include "fbkit/client/tests/dsysmost_echo_server.h"
#include "fbkit/client/tests/dsysmost_recording_client.h"
#include "fbkit/client/tests/dsysmost_test_util.h"
#include "platform/basalt/zv_assert.h"
#include "platform/qrvi/service_broker.h"
#include "platform/qrvi/service_reports.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;
using zv_test::EchoServer;
using zv_test::RecordingClient;
using zv_test::pumpUntil;

namespace {

class DSYSMOSTInProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test process has its own namespace: no other test's server is seen.
    CZvServiceBroker::setNamespace(("inproc" + std::to_string(getpid())).c_str());
    ZvServices::resetReports();
  }
  void TearDown() override { CZvEventLoop::current().runUntilIdle(); }
};

TEST_F(DSYSMOSTInProcess, ProxyConnectsWhenTheServerAppearsAndRegisters) {
  RecordingClient client("role");
  ASSERT_NE(client.getProxy(), nullptr);
  // No server yet: requests are dropped and registrations refused.
  CZvEventLoop::current().runUntilIdle();
  EXPECT_FALSE(client.getProxy()->isConnected());
  EXPECT_EQ(client.registerMOSTClientExt(zv_test::allInformationIds(), "app-main"), -1);

  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  EXPECT_FALSE(client.getProxy()->isConnectedCrossProcess());
  EXPECT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "app-main"), 0);
  EXPECT_TRUE(client.waitFor("responseMOSTClient 7 100"));
  ASSERT_EQ(server.calls.size(), 1u);
  EXPECT_EQ(server.calls[0], "registerMOSTClientExt app-main");
  EXPECT_EQ(client.getProxy()->getDataState(responseMOSTClientId), ZvServices::DATA_VALID);
  CZvVersion version;
  ASSERT_TRUE(pumpUntil([&] { return client.getProxy()->getServerImplVersion(version); }));
  EXPECT_EQ(version, CZvVersion(0, 1, 0));
}

TEST_F(DSYSMOSTInProcess, SecondRegistrationWhileUnansweredGetsBusy) {
  EchoServer server("role", /*autoAnswer=*/false);
  ASSERT_TRUE(server.offer(false));
  RecordingClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  RecordingClient second("role");  // shares the thread's proxy
  ASSERT_TRUE(pumpUntil([&] { return second.connected == 1; }));
  EXPECT_EQ(second.getProxy(), client.getProxy());

  ASSERT_GT(client.registerMOSTClientExt({}, "first"), 0);
  ASSERT_GT(second.registerMOSTClientExt({}, "second"), 0);
  ASSERT_TRUE(second.waitFor("registerMOSTClientExtFailed 517"));
  EXPECT_EQ(server.calls, std::vector<std::string>{"registerMOSTClientExt first"});
  EXPECT_TRUE(client.events.empty()) << "the busy answer goes to its caller only";

  // The awaited answer reaches the first caller, and the server is free again.
  server.responseMOSTClient(3, 0x0101);
  EXPECT_TRUE(client.waitFor("responseMOSTClient 3 101"));
  EXPECT_FALSE(second.has("responseMOSTClient 3 101"));
  ASSERT_GT(second.registerMOSTClientExt({}, "second"), 0);
  ASSERT_TRUE(pumpUntil([&] { return server.calls.size() == 2; }));
}

TEST_F(DSYSMOSTInProcess, AttributesAreCachedAndUnchangedValuesSendNothing) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  server.setDeviceID(0x0101);  // before anybody listens
  RecordingClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  client.notifyOn(RegistryId, true);  // never set: no answer yet
  ASSERT_TRUE(client.waitFor("DeviceID 101 2"));
  EXPECT_EQ(client.getProxy()->getDeviceIDAttribute(), 0x0101);
  EXPECT_EQ(client.getProxy()->getDataState(DeviceIDId), ZvServices::DATA_VALID);
  EXPECT_EQ(client.getProxy()->getDataState(RegistryId), ZvServices::DATA_NOT_AVAILABLE);

  size_t before = client.events.size();
  server.setDeviceID(0x0101);
  CZvEventLoop::current().runUntilIdle();
  EXPECT_EQ(client.events.size(), before) << "an unchanged valid value is not sent";

  server.setDeviceID(0x0102);
  ASSERT_TRUE(client.waitFor("DeviceID 102 2"));
  server.error(DeviceIDId);
  ASSERT_TRUE(client.waitFor("DeviceID 102 1"));
  EXPECT_EQ(client.getProxy()->getDataState(DeviceIDId), ZvServices::DATA_INVALID);
  // After an invalid update the same value is sent again: it becomes valid.
  server.setDeviceID(0x0102);
  ASSERT_TRUE(pumpUntil([&] { return client.events.back() == "DeviceID 102 2"; }));

  // A second consumer of the same proxy is answered from the cache.
  RecordingClient other("role");
  ASSERT_TRUE(pumpUntil([&] { return other.connected == 1; }));
  other.notifyOn(DeviceIDId, true);
  EXPECT_TRUE(other.waitFor("DeviceID 102 2"));
  EXPECT_EQ(server.getListenerCount(DeviceIDId), 1u) << "one proxy, one listener at the stub";
}

// Calls the proxy getters inside a handler, where only the matching ones are
// allowed.
class GetterClient : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  void informationConnect(const DeviceInfoVector& d) override {
    RecordingClient::informationConnect(d);
    devicesSeen = getProxy()->getDevices().size();
    validSeen = getProxy()->getValidDevices().size();
  }
  size_t devicesSeen = 99;
  size_t validSeen = 0;
};

TEST_F(DSYSMOSTInProcess, GettersOutsideTheirResponseReportInvalidAccess) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  GetterClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  ASSERT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "x"), 0);
  ASSERT_TRUE(client.waitFor("responseMOSTClient 7 100"));
  ZvServices::resetReports();
  client.requestRegisterDevCtrls(7, {0x2201, 0x2202});
  ASSERT_TRUE(client.waitFor("informationConnect 101:2201 101:2202"));
  EXPECT_EQ(client.validSeen, 2u);
  EXPECT_EQ(client.devicesSeen, 0u) << "the storage of the current response";
  EXPECT_EQ(ZvServices::invalidAccessCount(), 1u);
  EXPECT_EQ(ZvServices::lastInvalidAccess(), "Devices");

  client.getProxy()->getRegEntries();  // outside any handler
  EXPECT_EQ(ZvServices::lastInvalidAccess(), "RegEntries_NoResponse");
}

TEST_F(DSYSMOSTInProcess, UnimplementedHandlersAreReported) {
  class Bare : public CDSYSMOSTServerClientBase {
   public:
    using CDSYSMOSTServerClientBase::CDSYSMOSTServerClientBase;
    void componentConnected(CZvProxyBase*) override { ++connected; }
    void componentDisconnected(CZvProxyBase*) override {}
    int connected = 0;
  };
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  Bare client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  ASSERT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "x"), 0);
  client.requestSetRegistryFilter(1, {});  // the server answers responseInvalid
  client.notifyOn(ExtDeviceIDId, true);
  client.requestEnableNotificationProxy(0x55);
  // responseMOSTClient, responseInvalid and the ExtDeviceID update.
  EXPECT_TRUE(pumpUntil([] { return ZvServices::notImplementedCount() == 3; }));
}

TEST_F(DSYSMOSTInProcess, ServerGoingAwayDisconnectsAndANewOneReconnects) {
  RecordingClient client("role");
  auto server = std::make_unique<EchoServer>("role");
  ASSERT_TRUE(server->offer(false));
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  server->setDeviceID(0x0101);
  ASSERT_TRUE(client.waitFor("DeviceID 101 2"));

  server.reset();
  ASSERT_TRUE(pumpUntil([&] { return client.disconnected == 1; }));
  EXPECT_FALSE(client.getProxy()->isConnected());
  EXPECT_EQ(client.getProxy()->getDataState(DeviceIDId), ZvServices::DATA_INVALID);

  server = std::make_unique<EchoServer>("role");
  ASSERT_TRUE(server->offer(false));
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 2; }));
  server->setDeviceID(0x0203);  // the notification was renewed by the proxy
  EXPECT_TRUE(client.waitFor("DeviceID 203 2"));
}

TEST_F(DSYSMOSTInProcess, UnregistrationAndClientEndCloseTheSession) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  {
    RecordingClient client("role");
    ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
    ASSERT_GT(client.registerMOSTClientExt({}, "a"), 0);
    ASSERT_TRUE(client.waitFor("responseMOSTClient 7 100"));
    client.unregisterMOSTClientExt();
    ASSERT_TRUE(pumpUntil([&] { return server.calls.size() == 2; }));
    EXPECT_EQ(server.calls[1], "unregisterMOSTClientExt 1");
    ASSERT_GT(client.registerMOSTClient({}), 0);
    ASSERT_TRUE(client.waitFor("responseMOSTClient 8 100"));
  }
  // The client (and with it the proxy) is gone: its open registration closes.
  ASSERT_TRUE(pumpUntil([&] { return server.calls.size() == 4; }));
  EXPECT_EQ(server.calls[3], "unregisterMOSTClient 2");
  EXPECT_EQ(server.getPeerCount(), 0u);
}

TEST_F(DSYSMOSTInProcess, StubOnAnotherThread) {
  std::atomic<bool> stop{false};
  std::atomic<bool> offered{false};
  std::atomic<CZvEventLoop*> serverLoop{nullptr};
  std::thread serverThread([&] {
    EchoServer server("threaded");
    offered = server.offer(false);
    serverLoop = &CZvEventLoop::current();
    while (!stop) {
      CZvEventLoop::current().runUntilIdle();
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  });
  ASSERT_TRUE(pumpUntil([&] { return offered.load(); }));
  RecordingClient client("threaded");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  ASSERT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "t"), 0);
  ASSERT_TRUE(client.waitFor("responseMOSTClient 7 100"));
  MessageType m = zv_test::sampleMessage();
  for (int i = 0; i < 100; ++i) {
    m.header.functionID = static_cast<uint16_t>(i);
    client.requestProcessMessage(7, m);
  }
  ASSERT_TRUE(pumpUntil([&] { return client.messages.size() == 100; }));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(client.messages[i].header.functionID, i) << "in order";
  stop = true;
  serverThread.join();
  EXPECT_TRUE(pumpUntil([&] { return client.disconnected == 1; }));
}

TEST_F(DSYSMOSTInProcess, DummyImplementationAcceptsEverything) {
  CDSYSMOSTServerDummyImpl dummy("dummy");
  ASSERT_TRUE(dummy.offer(false));
  RecordingClient client("dummy");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.requestProcessMessage(1, zv_test::sampleMessage());
  EXPECT_GT(client.registerMOSTClient({}), 0);
  CZvVersion version;
  ASSERT_TRUE(pumpUntil([&] { return client.getProxy()->getServerImplVersion(version); }));
  EXPECT_EQ(version, CZvVersion(4, 2, 0));
  EXPECT_EQ(CDSYSMOSTServerProxy::sVersion, CZvVersion(4, 5, 0));
  EXPECT_EQ(CDSYSMOSTServerStub::sVersion, CZvVersion(4, 5, 0));
}

TEST_F(DSYSMOSTInProcess, ResponseEventForAnotherProxyIsRefused) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  RecordingClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  CDSYSMOSTServerProxy other("elsewhere");
  CDSYSMOSTServerResponseEvent event(&other, ZvServices::RESULT_UPDATE, DeviceIDId);
  event.getResponse().deviceID = 0x0999;
  std::unique_ptr<CDSYSMOSTServerResponseEvent> mine(event.clone(client.getProxy()));
  ZvAssertStats::reset();
  client.getProxy()->processEvent(event);
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), 1u);
  EXPECT_FALSE(client.has("DeviceID 999 2"));
  client.getProxy()->processEvent(*mine);
  EXPECT_TRUE(client.has("DeviceID 999 2"));
}

}  // namespace

namespace {

// A consumer that lives on another thread than the proxy: it gets its own
// event through its thread's loop, and reads the response that event carries
// even when newer responses have arrived meanwhile.
class ForeignConsumer : public IDSYSMOSTServerNotificationConsumer {
 public:
  void processEvent(const CDSYSMOSTServerNotificationEvent& event) override {
    if (event.getUpdateID() == informationActivateId) {
      seen.push_back(zv_test::keys(event.getProxy()->getDevices()));
    }
  }
  std::vector<std::string> seen;
};

TEST_F(DSYSMOSTInProcess, ConsumerOnAnotherThreadReadsItsOwnResponse) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  RecordingClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  ASSERT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "x"), 0);
  ASSERT_TRUE(client.waitFor("responseMOSTClient 7 100"));

  std::atomic<ForeignConsumer*> foreign{nullptr};
  std::atomic<bool> stop{false};
  std::atomic<size_t> seenCount{0};
  std::vector<std::string> seen;
  std::thread other([&] {
    ForeignConsumer consumer;
    foreign = &consumer;
    while (!stop) {
      CZvEventLoop::current().runUntilIdle();
      seenCount = consumer.seen.size();
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    CZvEventLoop::current().runUntilIdle();
    seen = consumer.seen;
  });
  ASSERT_TRUE(pumpUntil([&] { return foreign.load() != nullptr; }));
  client.getProxy()->setNotification(informationActivateId, foreign.load());
  client.requestRegisterDevices(7, {0x2201});
  client.requestRegisterDevices(7, {0x2202, 0x2203});
  ASSERT_TRUE(pumpUntil([&] { return seenCount.load() == 2; }));
  client.getProxy()->clearNotification(informationActivateId, foreign.load());
  stop = true;
  other.join();
  EXPECT_EQ(seen, (std::vector<std::string>{"2201", "2202,2203"}));
}

}  // namespace

namespace {

class HookServer : public EchoServer {
 public:
  using EchoServer::EchoServer;
  void firstNotificationSet(uint32_t id) override { hooks.push_back("first " + zv_test::hex(id)); }
  void lastNotificationCleared(uint32_t id) override { hooks.push_back("last " + zv_test::hex(id)); }
  std::vector<std::string> hooks;
};

TEST_F(DSYSMOSTInProcess, FirstAndLastListenerHooks) {
  HookServer server("role");
  ASSERT_TRUE(server.offer(false));
  RecordingClient client("role");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  ASSERT_TRUE(pumpUntil([&] { return server.getListenerCount(DeviceIDId) == 1; }));
  client.notifyOn(DeviceIDId, false);
  ASSERT_TRUE(pumpUntil([&] { return server.getListenerCount(DeviceIDId) == 0; }));
  client.notifyOn(RegistryId, true);
  ASSERT_TRUE(pumpUntil([&] { return server.getListenerCount(RegistryId) == 1; }));
  server.clearListenerList(RegistryId);
  server.setRegistry({{0x0101, 0x2201}});
  CZvEventLoop::current().runUntilIdle();
  EXPECT_FALSE(client.has("Registry 101:2201 2")) << "nobody listens any more";
  // The proxy's own version request counts as a listener too.
  std::vector<std::string> expected = {"first FFFFFFFE", "first C0000002", "last C0000002",
                                       "first C0000001", "last C0000001"};
  EXPECT_EQ(server.hooks, expected);
}

}  // namespace

namespace {

TEST_F(DSYSMOSTInProcess, ClientEndingWhileTheSharedProxyStaysClosesItsRegistration) {
  EchoServer server("role");
  ASSERT_TRUE(server.offer(false));
  RecordingClient stays("role");
  ASSERT_TRUE(pumpUntil([&] { return stays.connected == 1; }));
  {
    RecordingClient leaves("role");
    ASSERT_TRUE(pumpUntil([&] { return leaves.connected == 1; }));
    ASSERT_GT(leaves.registerMOSTClientExt({}, "leaves"), 0);
    ASSERT_TRUE(leaves.waitFor("responseMOSTClient 7 100"));
  }
  ASSERT_TRUE(pumpUntil([&] { return server.calls.size() == 2; }));
  EXPECT_EQ(server.calls[1], "unregisterMOSTClientExt 1");
  EXPECT_EQ(server.getPeerCount(), 1u);
}

}  // namespace
