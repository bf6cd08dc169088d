#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fbkit/client/dsysmost_events.h"
#include "fbkit/client/dsysmost_request.h"
#include "fbkit/client/dsysmost_response.h"
#include "fbkit/client/tests/dsysmost_test_util.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;
using zv_test::bytes;

namespace {

struct RequestCase {
  const char* name;
  std::function<CDSYSMOSTServerRequest()> build;
  std::vector<uint8_t> wire;
  std::vector<uint8_t> event;
};

CDSYSMOSTServerRequest request(uint32_t id, const std::function<void(CDSYSMOSTServerRequest&)>& fill) {
  CDSYSMOSTServerRequest r(id);
  fill(r);
  return r;
}

const std::vector<RequestCase>& requestCases() {
  static const std::vector<RequestCase> cases = {
      {"requestProcessMessage",
       [] {
         return request(requestProcessMessageId, [](CDSYSMOSTServerRequest& r) {
           r.processMessage.clientID = 5;
           r.processMessage.msg = zv_test::sampleMessage();
         });
       },
       bytes({5, 0, 0, 0,  0, 0, 0, 0,  1, 0, 0, 0, 2, 0, 0, 0,     // client, type, variant
              0x01, 0x01, 0x00, 0x01, 0x22, 0x01, 0xC2, 0x00, 0x0C,  // header up to opType
              0, 0, 0,                                               // pad before routing
              0x00, 0x01, 0x05, 0x00,  2, 0, 0, 0, 0xAA, 0xBB}),
       bytes({5, 0, 0, 0,  0, 0, 0, 0,  1, 0, 0, 0, 2, 0, 0, 0,
              0x01, 0x01, 0x00, 0x01, 0x22, 0x01, 0xC2, 0x00, 0x0C,
              0x00, 0x01, 0x05, 0x00,  2, 0, 0, 0, 0xAA, 0xBB})},
      {"requestRegisterDevices with no keys",
       [] {
         return request(requestRegisterDevicesId, [](CDSYSMOSTServerRequest& r) { r.keys.clientID = 1; });
       },
       bytes({1, 0, 0, 0, 0, 0, 0, 0}), bytes({1, 0, 0, 0, 0, 0, 0, 0})},
      {"requestUnregisterDevCtrls",
       [] {
         return request(requestUnregisterDevCtrlsId, [](CDSYSMOSTServerRequest& r) {
           r.keys.clientID = 2;
           r.keys.fblockKeys = {0x2201, 0x4000};
         });
       },
       bytes({2, 0, 0, 0, 2, 0, 0, 0, 0x01, 0x22, 0x00, 0x40}),
       bytes({2, 0, 0, 0, 2, 0, 0, 0, 0x01, 0x22, 0x00, 0x40})},
      {"requestRegisterExtDevices",
       [] {
         return request(requestRegisterExtDevicesId, [](CDSYSMOSTServerRequest& r) {
           r.extDevices.clientID = 1;
           r.extDevices.devices = {{0x2201, "ab"}, {0x2202, ""}};
         });
       },
       bytes({1, 0, 0, 0,  2, 0, 0, 0,  0x01, 0x22, 0, 0,  3, 0, 0, 0, 'a', 'b', 0,
              0,  0x02, 0x22, 0, 0,  0, 0, 0, 0}),
       bytes({1, 0, 0, 0,  2, 0, 0, 0,  0x01, 0x22,  2, 0, 0, 0, 'a', 'b',  0x02, 0x22,
              0, 0, 0, 0})},
      {"requestChangeInstID",
       [] {
         return request(requestChangeInstIDId, [](CDSYSMOSTServerRequest& r) {
           r.changeInstID = {7, 0x2201, 3};
         });
       },
       bytes({7, 0, 0, 0, 0x01, 0x22, 3}), bytes({7, 0, 0, 0, 0x01, 0x22, 3, 0})},
      {"requestCleanUp",
       [] { return request(requestCleanUpId, [](CDSYSMOSTServerRequest& r) { r.client.clientID = 9; }); },
       bytes({9, 0, 0, 0}), bytes({9, 0, 0, 0})},
      {"registerMOSTSubnet",
       [] { return request(registerMOSTSubnetId, [](CDSYSMOSTServerRequest& r) { r.subnet.subnetID = 0x0102; }); },
       bytes({0x02, 0x01}), bytes({0x02, 0x01})},
      {"requestSetCommunicationCtrl",
       [] {
         return request(requestSetCommunicationCtrlId,
                        [](CDSYSMOSTServerRequest& r) { r.communicationCtrl.mode = COMM_CTRL_STOP; });
       },
       bytes({1, 0, 0, 0}), bytes({1, 0, 0, 0})},
      {"requestProcessMessageVector with an empty variant",
       [] {
         return request(requestProcessMessageVectorId, [](CDSYSMOSTServerRequest& r) {
           MessageType m;
           m.header.opType = 1;
           r.messageVector.clientID = 3;
           r.messageVector.msgs = {m};
         });
       },
       bytes({3, 0, 0, 0,  1, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 1,
              0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0}),
       bytes({3, 0, 0, 0,  1, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 1,
              0, 0, 0, 0,  0, 0, 0, 0})},
      {"registerMOSTClientExt",
       [] { return request(registerMOSTClientExtId, [](CDSYSMOSTServerRequest& r) { r.clientExt.name = "ab"; }); },
       bytes({3, 0, 0, 0, 'a', 'b', 0}), bytes({2, 0, 0, 0, 'a', 'b'})},
      {"registerMOSTClientExt with an empty name",
       [] { return request(registerMOSTClientExtId, [](CDSYSMOSTServerRequest&) {}); },
       bytes({0, 0, 0, 0}), bytes({0, 0, 0, 0})},
      {"unregisterMOSTClient carries nothing",
       [] { return request(unregisterMOSTClientId, [](CDSYSMOSTServerRequest&) {}); }, bytes({}),
       bytes({})},
  };
  return cases;
}

TEST(DSYSMOSTEncoding, RequestsInBothFormsAreByteExactAndReadBack) {
  for (const RequestCase& c : requestCases()) {
    CDSYSMOSTServerRequest original = c.build();
    CZvQRVOStream wire;
    original.writeQRV(wire);
    EXPECT_EQ(wire.bytes(), c.wire) << c.name;
    zv_test::VectorOStream event;
    original.writeToStream(event);
    EXPECT_EQ(event.mBytes, c.event) << c.name;

    CDSYSMOSTServerRequest fromWire;
    CZvQRVIStream in(c.wire.data(), static_cast<uint32_t>(c.wire.size()));
    EXPECT_TRUE(fromWire.readQRV(original.getId(), in)) << c.name;
    EXPECT_TRUE(fromWire == original) << c.name;
    CDSYSMOSTServerRequest fromEvent;
    zv_test::VectorIStream eventIn(c.event);
    EXPECT_TRUE(fromEvent.readFromStream(original.getId(), eventIn)) << c.name;
    EXPECT_TRUE(eventIn.atEnd()) << c.name;
    EXPECT_TRUE(fromEvent == original) << c.name;
  }
}

TEST(DSYSMOSTEncoding, TruncatedOrPaddedRequestsAreRejected) {
  for (const RequestCase& c : requestCases()) {
    uint32_t id = c.build().getId();
    for (size_t cut = 0; cut < c.wire.size(); ++cut) {
      std::vector<uint8_t> block(c.wire.begin(), c.wire.begin() + static_cast<std::ptrdiff_t>(cut));
      CZvQRVIStream in(block.data(), static_cast<uint32_t>(block.size()));
      CDSYSMOSTServerRequest r;
      EXPECT_FALSE(r.readQRV(id, in)) << c.name << " cut at " << cut;
    }
    for (size_t cut = 0; cut < c.event.size(); ++cut) {
      zv_test::VectorIStream in(std::vector<uint8_t>(c.event.begin(), c.event.begin() + static_cast<std::ptrdiff_t>(cut)));
      CDSYSMOSTServerRequest r;
      EXPECT_FALSE(r.readFromStream(id, in)) << c.name << " event form cut at " << cut;
    }
    std::vector<uint8_t> longer = c.wire;
    longer.push_back(0);
    CZvQRVIStream in(longer.data(), static_cast<uint32_t>(longer.size()));
    CDSYSMOSTServerRequest r;
    EXPECT_FALSE(r.readQRV(id, in)) << c.name << " with a byte left over";
  }
}

TEST(DSYSMOSTEncoding, GarbledWireBlocksAreRejected) {
  struct Case {
    const char* what;
    uint32_t id;
    std::vector<uint8_t> block;
  } cases[] = {
      {"unknown request ID", 18, bytes({})},
      {"response ID as a request", responseMOSTClientId, bytes({1, 0, 0, 0, 0, 1})},
      {"variant kind 3", requestProcessMessageId, bytes({5, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0})},
      {"key count larger than the bytes left", requestRegisterDevicesId,
       bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2})},
      {"message count larger than the bytes left", requestProcessMessageVectorId,
       bytes({1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0})},
      {"name without terminator", registerMOSTClientExtId, bytes({2, 0, 0, 0, 'a', 'b'})},
      {"payload size beyond the block", requestProcessMessageId,
       bytes({5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
              0xFF, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    CZvQRVIStream in(c.block.data(), static_cast<uint32_t>(c.block.size()));
    CDSYSMOSTServerRequest r;
    EXPECT_FALSE(r.readQRV(c.id, in)) << c.what;
  }
  // The event form refuses a negative count and an unknown variant kind.
  zv_test::VectorIStream negative(bytes({1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  CDSYSMOSTServerRequest r;
  EXPECT_FALSE(r.readFromStream(requestRegisterDevicesId, negative));
}

struct ResponseCase {
  const char* name;
  std::function<CDSYSMOSTServerResponse()> build;
  std::vector<uint8_t> wire;
  std::vector<uint8_t> event;
};

CDSYSMOSTServerResponse response(uint32_t id, const std::function<void(CDSYSMOSTServerResponse&)>& fill) {
  CDSYSMOSTServerResponse r(id);
  fill(r);
  return r;
}

TEST(DSYSMOSTEncoding, ResponsesAndAttributesInBothForms) {
  const ResponseCase cases[] = {
      {"responseMOSTClient",
       [] { return response(responseMOSTClientId, [](CDSYSMOSTServerResponse& r) { r.mostClient = {3, 0x0100}; }); },
       bytes({3, 0, 0, 0, 0x00, 0x01}), bytes({3, 0, 0, 0, 0x00, 0x01, 0, 0})},
      {"informationProcessMessage",
       [] {
         return response(informationProcessMessageId, [](CDSYSMOSTServerResponse& r) {
           r.processMessage.msg = zv_test::sampleMessage();
           r.processMessage.msg.transmissionVariant.setTransmissionInfo(SEGMENT_LAST);
         });
       },
       bytes({0, 0, 0, 0,  2, 0, 0, 0, 21, 0, 0, 0,  0x01, 0x01, 0x00, 0x01, 0x22, 0x01, 0xC2,
              0x00, 0x0C, 0, 0, 0,  0x00, 0x01, 0x05, 0x00,  2, 0, 0, 0, 0xAA, 0xBB}),
       bytes({0, 0, 0, 0,  2, 0, 0, 0, 21, 0, 0, 0,  0x01, 0x01, 0x00, 0x01, 0x22, 0x01, 0xC2,
              0x00, 0x0C,  0x00, 0x01, 0x05, 0x00,  2, 0, 0, 0, 0xAA, 0xBB})},
      {"informationChangeInstID",
       [] { return response(informationChangeInstIDId, [](CDSYSMOSTServerResponse& r) { r.changeInstID = {0x2201, 4}; }); },
       bytes({0x01, 0x22, 4}), bytes({0x01, 0x22, 4, 0})},
      {"informationConnect",
       [] {
         return response(informationConnectId,
                         [](CDSYSMOSTServerResponse& r) { r.connect.validDevices = {{0x0101, 0x2201}}; });
       },
       bytes({1, 0, 0, 0, 0x01, 0x01, 0x01, 0x22}), bytes({1, 0, 0, 0, 0x01, 0x01, 0x01, 0x22})},
      {"informationDeactivate",
       [] { return response(informationDeactivateId, [](CDSYSMOSTServerResponse& r) { r.devices.devices = {0x2201}; }); },
       bytes({1, 0, 0, 0, 0x01, 0x22}), bytes({1, 0, 0, 0, 0x01, 0x22})},
      {"informationCleanUp",
       [] {
         return response(informationCleanUpId,
                         [](CDSYSMOSTServerResponse& r) { r.cleanUp = {CLEANUP_EXTERNAL, 0x0102, 0x0304}; });
       },
       bytes({1, 0, 0, 0, 0x02, 0x01, 0x04, 0x03}), bytes({1, 0, 0, 0, 0x02, 0x01, 0x04, 0x03})},
      {"responseMOSTSubnet",
       [] { return response(responseMOSTSubnetId, [](CDSYSMOSTServerResponse& r) { r.subnet.subnetClientID = 0x01020304; }); },
       bytes({4, 3, 2, 1}), bytes({4, 3, 2, 1})},
      {"MOSTCommunicationState",
       [] { return response(MOSTCommunicationStateId, [](CDSYSMOSTServerResponse& r) { r.communicationState = COMMUNICATION_UP; }); },
       bytes({1, 0, 0, 0}), bytes({1, 0, 0, 0})},
      {"Registry",
       [] {
         return response(RegistryId, [](CDSYSMOSTServerResponse& r) {
           r.registryValue = {{0x0101, 0x2201}, {0x0102, 0x2202}};
         });
       },
       bytes({2, 0, 0, 0, 0x01, 0x01, 0x01, 0x22, 0x02, 0x01, 0x02, 0x22}),
       bytes({2, 0, 0, 0, 0x01, 0x01, 0x01, 0x22, 0x02, 0x01, 0x02, 0x22})},
      {"DeviceID", [] { return response(DeviceIDId, [](CDSYSMOSTServerResponse& r) { r.deviceID = 0x0105; }); },
       bytes({0x05, 0x01}), bytes({0x05, 0x01})},
      {"CommunicationCtrl",
       [] { return response(CommunicationCtrlId, [](CDSYSMOSTServerResponse& r) { r.communicationCtrl = COMM_CTRL_STOP; }); },
       bytes({1, 0, 0, 0}), bytes({1, 0, 0, 0})},
  };
  for (const ResponseCase& c : cases) {
    CDSYSMOSTServerResponse original = c.build();
    CZvQRVOStream wire;
    original.writeQRV(wire);
    EXPECT_EQ(wire.bytes(), c.wire) << c.name;
    zv_test::VectorOStream event;
    original.writeToStream(event);
    EXPECT_EQ(event.mBytes, c.event) << c.name;

    CDSYSMOSTServerResponse fromWire;
    CZvQRVIStream in(c.wire.data(), static_cast<uint32_t>(c.wire.size()));
    EXPECT_TRUE(fromWire.readQRV(original.getId(), in)) << c.name;
    EXPECT_TRUE(fromWire == original) << c.name;
    CDSYSMOSTServerResponse fromEvent;
    zv_test::VectorIStream eventIn(c.event);
    EXPECT_TRUE(fromEvent.readFromStream(original.getId(), eventIn)) << c.name;
    EXPECT_TRUE(fromEvent == original) << c.name;
    for (size_t cut = 0; cut < c.wire.size(); ++cut) {
      std::vector<uint8_t> block(c.wire.begin(), c.wire.begin() + static_cast<std::ptrdiff_t>(cut));
      CZvQRVIStream shortIn(block.data(), static_cast<uint32_t>(block.size()));
      CDSYSMOSTServerResponse r;
      EXPECT_FALSE(r.readQRV(original.getId(), shortIn)) << c.name << " cut at " << cut;
    }
  }
}

TEST(DSYSMOSTEncoding, CatalogueIdentifiers) {
  EXPECT_EQ(updateIdIndex(requestEnableNotificationProxyId), 17);
  EXPECT_EQ(updateIdIndex(responseMOSTClientId), 18);
  EXPECT_EQ(updateIdIndex(informationRegistryId), 27);
  EXPECT_EQ(updateIdIndex(ExtDeviceIDId), 32);
  EXPECT_EQ(updateIdIndex(18), -1);
  EXPECT_EQ(updateIdIndex(0x8000000A), -1);
  EXPECT_EQ(updateIdIndex(0xC0000005), -1);
  EXPECT_STREQ(updateIdName(requestProcessMessageVectorId), "requestProcessMessageVector");
  EXPECT_STREQ(updateIdName(informationCleanUpId), "informationCleanUp");
  EXPECT_STREQ(updateIdName(CommunicationCtrlId), "CommunicationCtrl");
}

}  // namespace

namespace {

TEST(DSYSMOSTEvents, EventStreamFormCarriesTheEventHeaderThenTheParameters) {
  CDSYSMOSTServerRequest r(requestCleanUpId);
  r.client.clientID = 9;
  CDSYSMOSTServerRequestEvent request(ZvServices::KIND_REQUEST, r, 4, 2);
  zv_test::VectorOStream out;
  ASSERT_TRUE(DSYSMOSTServer::serializeRequestEvent(out, request));
  EXPECT_EQ(out.mBytes, bytes({0, 1, 0, 0, 7, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0}));
  zv_test::VectorIStream in(out.mBytes);
  std::unique_ptr<CDSYSMOSTServerRequestEvent> back(DSYSMOSTServer::deserializeRequestEvent(in));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->getRequest() == r);
  EXPECT_EQ(back->getSequenceNumber(), 4u);
  EXPECT_EQ(back->getRegistrationNumber(), 2u);
  EXPECT_EQ(back->getClassID().name(), std::string("CDSYSMOSTServerRequestEvent"));

  // A failure carries no value; an update does.
  CDSYSMOSTServerResponseEvent failed(nullptr, ZvServices::RESULT_REQUEST_BUSY, registerMOSTClientExtId);
  zv_test::VectorOStream failedOut;
  DSYSMOSTServer::serializeResponseEvent(failedOut, failed);
  EXPECT_EQ(failedOut.mBytes.size(), 16u);
  CDSYSMOSTServerResponseEvent update(nullptr, ZvServices::RESULT_UPDATE, DeviceIDId);
  update.getResponse().deviceID = 0x0105;
  zv_test::VectorOStream updateOut;
  DSYSMOSTServer::serializeResponseEvent(updateOut, update);
  zv_test::VectorIStream updateIn(updateOut.mBytes);
  std::unique_ptr<CDSYSMOSTServerResponseEvent> updateBack(
      DSYSMOSTServer::deserializeResponseEvent(updateIn, nullptr));
  ASSERT_NE(updateBack, nullptr);
  EXPECT_EQ(updateBack->getResponse().deviceID, 0x0105);
  EXPECT_EQ(updateBack->getClassID().name(), std::string("CDSYSMOSTServerResponseEvent"));

  // IDs that do not fit the kind are refused.
  struct Case {
    uint32_t kind;
    uint32_t id;
  } refused[] = {{ZvServices::RESULT_RESPONSE, DeviceIDId},
                 {ZvServices::RESULT_UPDATE, responseMOSTClientId},
                 {ZvServices::RESULT_REQUEST_FAILED, informationConnectId},
                 {600, requestCleanUpId}};
  for (const Case& c : refused) {
    zv_test::VectorOStream o;
    CDSYSMOSTServerResponseEvent e(nullptr, c.kind, c.id);
    DSYSMOSTServer::serializeResponseEvent(o, e);
    zv_test::VectorIStream i(o.mBytes);
    EXPECT_EQ(DSYSMOSTServer::deserializeResponseEvent(i, nullptr), nullptr) << c.kind << " " << c.id;
  }
}

}  // namespace
