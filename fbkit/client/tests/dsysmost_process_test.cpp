// The DSYSMOSTServer interface between processes: every request, response,
// information and attribute crosses to a server process and back.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <thread>

#include "fbkit/client/tests/dsysmost_echo_server.h"
#include "fbkit/client/tests/dsysmost_process.h"
#include "fbkit/client/tests/dsysmost_recording_client.h"
#include "fbkit/client/tests/dsysmost_test_util.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_broker.h"
#include "platform/qrvi/service_frame.h"
#include "platform/qrvi/socket_transport.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;
using zv_test::RecordingClient;
using zv_test::pumpUntil;

namespace {

class DSYSMOSTProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    mNamespace = "proc" + std::to_string(getpid());
    CZvServiceBroker::setNamespace(mNamespace.c_str());
  }
  void TearDown() override {
    zv_test::killServer(mServer);
    CZvEventLoop::current().runUntilIdle();
  }
  void startServer(const char* role) {
    mServer = zv_test::spawnServer(ZV_DSYSMOST_TEST_SERVER, mNamespace, role);
    ASSERT_GT(mServer, 0);
  }

  std::string mNamespace;
  pid_t mServer = -1;
};

MessageType message(uint16_t functionID, std::initializer_list<int> payload) {
  MessageType m = zv_test::sampleMessage();
  m.header.functionID = functionID;
  std::vector<uint8_t> bytes = zv_test::bytes(payload);
  m.data = CZvBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return m;
}

TEST_F(DSYSMOSTProcess, EveryRequestResponseAndAttributeCrossesTheBoundary) {
  startServer("MOSTSubSystem");
  RecordingClient client("MOSTSubSystem");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  CDSYSMOSTServerProxy* proxy = client.getProxy();
  EXPECT_TRUE(proxy->isConnectedCrossProcess());
  std::vector<CZvString> roles;
  EXPECT_TRUE(CDSYSMOSTServerProxy::getAvailableRoles(roles));
  EXPECT_EQ(roles, std::vector<CZvString>{"MOSTSubSystem"});

  // Attributes set before anyone listened arrive with their data state.
  for (uint32_t id = MOSTCommunicationStateId; id <= ExtDeviceIDId; ++id) client.notifyOn(id, true);
  client.notifyOn(requestProcessMessageId, true);  // for its failure
  ASSERT_TRUE(client.waitFor("CommunicationState 1 2"));
  ASSERT_TRUE(client.waitFor("Registry 101:2201 2"));
  ASSERT_TRUE(client.waitFor("DeviceID 100 2"));
  EXPECT_EQ(proxy->getMOSTCommunicationState(), COMMUNICATION_UP);
  EXPECT_EQ(proxy->getRegistry(), (Registry{{0x0101, 0x2201}}));

  ASSERT_GT(client.registerMOSTClientExt(zv_test::allInformationIds(), "app-main"), 0);
  ASSERT_TRUE(client.waitFor("responseMOSTClient 7 100"));

  struct Step {
    std::function<void()> send;
    const char* expected;
  } steps[] = {
      {[&] { client.requestRegisterDevices(7, {0x2201, 0x2202}); }, "informationActivate 2201,2202"},
      {[&] { client.requestUnregisterDevices(7, {0x2201}); }, "informationDeactivate 2201"},
      {[&] { client.requestRegisterDevCtrls(7, {0x4001}); }, "informationConnect 101:4001"},
      {[&] { client.requestUnregisterDevCtrls(7, {0x4001, 0x4002}); }, "informationDisconnect 4001,4002"},
      {[&] { client.requestRegisterExtDevices(7, {{0x2203, "abc"}, {0x2204, ""}}); },
       "informationRegistry 203:2203 200:2204"},
      {[&] { client.requestChangeInstID(7, 0x2201, 5); }, "informationChangeInstID 2201 5"},
      {[&] { client.requestCleanUp(0x77); }, "informationCleanUp 1 77 304"},
      {[&] { client.requestSetRegistryFilter(7, {0x3101}); }, "Registry 101:3101 2"},
      {[&] { client.requestSetRegistryFilter(7, {}); }, "responseInvalid 80000009"},
      {[&] { client.requestSetCommunicationCtrl(COMM_CTRL_STOP); }, "CommunicationCtrl 1 2"},
      {[&] { client.requestSetCommunicationCtrl(static_cast<CommCtrlMode>(7)); }, "CommunicationCtrl 1 1"},
      {[&] { client.requestEnableNotificationProxy(0x55); }, "ExtDeviceID 55 2"},
      {[&] { client.requestProcessMessage(7, message(0xFFF, {})); }, "requestProcessMessageFailed 516"},
      {[&] { client.registerMOSTSubnet(3, {}); }, "responseMOSTSubnet 10003"},
      {[&] { client.unregisterMOSTSubnet(); }, "ExtDeviceID E00A 2"},
      {[&] { client.registerMOSTClient({}); }, "responseMOSTClient 8 100"},
      {[&] { client.unregisterMOSTClient(); }, "ExtDeviceID E008 2"},
  };
  for (const Step& step : steps) {
    step.send();
    EXPECT_TRUE(client.waitFor(step.expected)) << step.expected;
  }
  EXPECT_EQ(proxy->getDataState(CommunicationCtrlId), ZvServices::DATA_INVALID);
  EXPECT_EQ(proxy->getDataState(informationRegistryId), ZvServices::DATA_INVALID);

  // Messages come back with every field and byte as sent, in order.
  MessageType single = message(0x0C2, {1, 2, 3});
  single.transmissionType = TRANSMISSION_TYPE_PACKET;
  MessageType empty = message(0x001, {});
  empty.transmissionVariant.clear();
  MessageType large = message(0x400, {});
  std::vector<uint8_t> big(4000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  large.data = CZvBuffer(big.data(), static_cast<uint32_t>(big.size()));
  client.requestProcessMessage(7, single);
  client.requestProcessMessageVector(7, {empty, large});
  ASSERT_TRUE(pumpUntil([&] { return client.messages.size() == 3; }));
  EXPECT_EQ(client.messages[0], single);
  EXPECT_EQ(client.messages[1], empty);
  EXPECT_EQ(client.messages[2], large);

  client.unregisterMOSTClientExt();
  EXPECT_TRUE(client.waitFor("ExtDeviceID E010 2"));
}

TEST_F(DSYSMOSTProcess, KilledServerIsSeenAsDisconnectedAndARestartedOneAsConnected) {
  RecordingClient client("MOSTSubSystem");
  startServer("MOSTSubSystem");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  ASSERT_TRUE(client.waitFor("DeviceID 100 2"));

  zv_test::killServer(mServer);
  mServer = -1;
  ASSERT_TRUE(pumpUntil([&] { return client.disconnected == 1; }));
  EXPECT_FALSE(client.getProxy()->isConnected());
  EXPECT_EQ(client.getProxy()->getDataState(DeviceIDId), ZvServices::DATA_INVALID);
  client.requestCleanUp(1);  // dropped without a connection
  EXPECT_EQ(client.registerMOSTClient({}), -1);

  client.events.clear();
  startServer("MOSTSubSystem");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 2; }));
  EXPECT_TRUE(client.waitFor("DeviceID 100 2")) << "notifications are renewed";
  ASSERT_GT(client.registerMOSTClientExt({}, "again"), 0);
  EXPECT_TRUE(client.waitFor("responseMOSTClient 7 100"));
}

// A raw peer that speaks the framing directly.
class RawPeer {
 public:
  explicit RawPeer(const char* role) {
    sockaddr_un address;
    socklen_t length = 0;
    CZvSocketTransport::makeAddress("DSYSMOSTServer", role, address, length);
    mFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    for (int i = 0; i < 500 && connect(mFd, reinterpret_cast<sockaddr*>(&address), length) != 0; ++i) {
      usleep(10000);
    }
  }
  ~RawPeer() { close(mFd); }
  void send(const SZvServiceFrame& frame) {
    std::vector<uint8_t> bytes;
    ZvEncodeServiceFrame(frame, bytes);
    sendBytes(bytes);
  }
  void sendBytes(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(::send(mFd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  // Reads the next frame; false on end of stream or after two seconds.
  bool receive(SZvServiceFrame& frame) {
    for (;;) {
      if (mAssembler.next(frame) == CZvServiceFrameAssembler::FRAME_READY) return true;
      pollfd p{mFd, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0) return false;
      uint8_t chunk[4096];
      ssize_t n = recv(mFd, chunk, sizeof chunk, 0);
      if (n <= 0) return false;
      mAssembler.append(chunk, static_cast<uint32_t>(n));
    }
  }
  void hello(const char* role) {
    SZvServiceFrame f;
    f.type = ZvServices::FRAME_HELLO;
    CZvQRVOStream body;
    body.writeString("DSYSMOSTServer", 14);
    body.writeString(role, static_cast<uint32_t>(strlen(role)));
    f.body = body.bytes();
    send(f);
  }
  static SZvServiceFrame request(uint32_t kind, uint32_t id, std::vector<uint8_t> body) {
    SZvServiceFrame f;
    f.type = ZvServices::FRAME_REQUEST;
    f.kind = kind;
    f.updateID = id;
    f.sequence = 1;
    f.body = std::move(body);
    return f;
  }

 private:
  int mFd = -1;
  CZvServiceFrameAssembler mAssembler;
};

TEST_F(DSYSMOSTProcess, ServerDropsBadFramesAndClosesOnGarbledStreams) {
  startServer("raw");
  RawPeer peer("raw");
  peer.hello("raw");
  SZvServiceFrame answer;
  ASSERT_TRUE(peer.receive(answer));
  EXPECT_EQ(answer.type, ZvServices::FRAME_WELCOME);

  // Bad requests are dropped one by one; the connection stays usable.
  peer.send(RawPeer::request(256, 99, {}));                              // unknown ID
  peer.send(RawPeer::request(256, requestProcessMessageId, {5, 0, 0}));  // truncated
  peer.send(RawPeer::request(256, requestRegisterDevicesId, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x0F}));
  peer.send(RawPeer::request(256, registerMOSTClientExtId, {2, 0, 0, 0, 'a', 'b'}));
  peer.send(RawPeer::request(999, 0, {}));                                // unknown kind
  peer.send(RawPeer::request(257, DeviceIDId, {}));                       // good: subscribe
  ASSERT_TRUE(peer.receive(answer));
  EXPECT_EQ(answer.type, ZvServices::FRAME_RESPONSE);
  EXPECT_EQ(answer.kind, ZvServices::RESULT_UPDATE);
  EXPECT_EQ(answer.updateID, DeviceIDId);
  EXPECT_EQ(answer.body, zv_test::bytes({0x00, 0x01}));

  // A frame with a broken header ends the connection.
  peer.sendBytes(zv_test::bytes({'G', 'A', 'R', 'B', 'A', 'G', 'E', '!', 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(peer.receive(answer));

  // The server still serves everybody else.
  RecordingClient client("raw");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  EXPECT_TRUE(client.waitFor("DeviceID 100 2"));
}

TEST_F(DSYSMOSTProcess, HandshakeForAnotherInterfaceIsRefused) {
  startServer("raw");
  RawPeer peer("raw");
  SZvServiceFrame hello;
  hello.type = ZvServices::FRAME_HELLO;
  CZvQRVOStream body;
  body.writeString("OtherIface", 10);
  body.writeString("raw", 3);
  hello.body = body.bytes();
  peer.send(hello);
  SZvServiceFrame answer;
  EXPECT_FALSE(peer.receive(answer));
}

// A fake server in this process that answers the handshake and then sends
// what a broken peer might send.
TEST_F(DSYSMOSTProcess, ProxyDropsMalformedResponses) {
  sockaddr_un address;
  socklen_t length = 0;
  CZvSocketTransport::makeAddress("DSYSMOSTServer", "fake", address, length);
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  std::thread fake([listener] {
    int fd = accept(listener, nullptr, nullptr);
    CZvServiceFrameAssembler assembler;
    SZvServiceFrame frame;
    while (assembler.next(frame) != CZvServiceFrameAssembler::FRAME_READY) {
      uint8_t chunk[512];
      ssize_t n = recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) return;
      assembler.append(chunk, static_cast<uint32_t>(n));
    }
    std::vector<uint8_t> out;
    SZvServiceFrame f;
    f.type = ZvServices::FRAME_WELCOME;
    ZvEncodeServiceFrame(f, out);
    f.type = ZvServices::FRAME_RESPONSE;
    f.kind = ZvServices::RESULT_UPDATE;
    f.updateID = DeviceIDId;
    f.body = {0x01};  // truncated value
    ZvEncodeServiceFrame(f, out);
    f.updateID = 0xC0000077;  // unknown attribute
    f.body = {0x01, 0x00};
    ZvEncodeServiceFrame(f, out);
    f.updateID = RegistryId;  // count beyond the bytes
    f.body = {0xFF, 0xFF, 0, 0, 1, 1, 1, 0x22};
    ZvEncodeServiceFrame(f, out);
    f.updateID = DeviceIDId;  // good
    f.body = {0x34, 0x12};
    ZvEncodeServiceFrame(f, out);
    ::send(fd, out.data(), out.size(), MSG_NOSIGNAL);
    char rest[256];
    while (recv(fd, rest, sizeof rest, 0) > 0) {
    }
    close(fd);
  });
  {
    RecordingClient client("fake");
    client.notifyOn(DeviceIDId, true);
    client.notifyOn(RegistryId, true);
    ASSERT_TRUE(client.waitFor("DeviceID 1234 2"));
    EXPECT_EQ(client.events, std::vector<std::string>{"DeviceID 1234 2"});
  }
  close(listener);
  fake.join();
}

}  // namespace

namespace {

// A server started by fork() alone (no exec) runs its own I/O thread and does
// not keep the parent's sockets.
TEST_F(DSYSMOSTProcess, ForkedChildServesWithoutTheParentsSockets) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "ThreadSanitizer cannot start threads in a child forked from threads";
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
  GTEST_SKIP() << "ThreadSanitizer cannot start threads in a child forked from threads";
#endif
#endif
  auto parentServer = std::make_unique<zv_test::EchoServer>("parentRole");
  ASSERT_TRUE(parentServer->offer(true));
  pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    zv_test::EchoServer server("childRole");
    server.setDeviceID(0x0C1D);
    if (!server.offer(true)) _exit(3);
    CZvEventLoop::current().run();
    _exit(0);
  }
  mServer = child;
  RecordingClient client("childRole");
  ASSERT_TRUE(pumpUntil([&] { return client.connected == 1; }));
  client.notifyOn(DeviceIDId, true);
  EXPECT_TRUE(client.waitFor("DeviceID C1D 2"));

  parentServer.reset();  // the name must be free now: the child holds no copy
  sockaddr_un address;
  socklen_t length = 0;
  CZvSocketTransport::makeAddress("DSYSMOSTServer", "parentRole", address, length);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  EXPECT_NE(connect(fd, reinterpret_cast<sockaddr*>(&address), length), 0);
  close(fd);
}

}  // namespace

namespace {

// A peer that floods a stub whose thread is busy is slowed down by the
// socket instead of filling this process's queues.
TEST_F(DSYSMOSTProcess, FloodingPeerIsHeldBackUntilTheStubCatchesUp) {
  zv_test::EchoServer server("flood");
  ASSERT_TRUE(server.offer(true));
  RawPeer peer("flood");
  peer.hello("flood");
  CDSYSMOSTServerRequest cleanUp(requestCleanUpId);
  cleanUp.client.clientID = 1;
  CZvQRVOStream params;
  cleanUp.writeQRV(params);
  std::vector<uint8_t> burst;
  const uint32_t kFrames = 100000;
  for (uint32_t i = 0; i < kFrames; ++i) {
    SZvServiceFrame f = RawPeer::request(ZvServices::KIND_REQUEST, requestCleanUpId, params.bytes());
    ZvEncodeServiceFrame(f, burst);
  }
  std::atomic<bool> sent{false};
  std::thread writer([&] {
    peer.sendBytes(burst);  // blocks while the server holds back
    sent = true;
  });
  // The stub's thread does not run its loop for a while.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(sent.load()) << "the whole burst was taken in without the stub handling it";
  ASSERT_TRUE(pumpUntil([&] { return server.calls.size() == kFrames && sent.load(); }));
  writer.join();
}

}  // namespace

namespace {

// A withdrawn role's socket name is free at once for the next offer.
TEST_F(DSYSMOSTProcess, RoleCanBeOfferedAgainRightAfterItsServerEnds) {
  for (int i = 0; i < 20; ++i) {
    zv_test::EchoServer server("again");
    ASSERT_TRUE(server.offer(true)) << "round " << i;
  }
}

}  // namespace
