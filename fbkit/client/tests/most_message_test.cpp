#include <gtest/gtest.h>

#include "fbkit/client/dsysmost_type_trace.h"
#include "fbkit/client/most_message.h"
#include "fbkit/client/most_trace_message.h"
#include "fbkit/client/most_types.h"
#include "fbkit/client/tests/dsysmost_test_util.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_trace.h"
#include "platform/loom/kernel_trace.h"

using namespace DSYSMOSTTypes;
using zv_test::bytes;

namespace {

CZvMOSTMessageData sampleData() {
  const uint8_t payload[] = {0x01, 0x02, 0xFF};
  CZvMOSTMessageData d(CZvMOSTHeader(0x0101, 0x2201, 0x0C2, 0x0C, 3), CZvByteStream(payload, 3),
                       TRANSMISSION_TYPE_PACKET, SEGMENT_FIRST);
  d.header.setReserved(0x1234);
  return d;
}

TEST(MOSTHeader, ConstructorsAndRawLayout) {
  CZvMOSTHeader zero(nullptr);
  EXPECT_EQ(zero, CZvMOSTHeader());
  zv_test::VectorOStream out;
  ASSERT_TRUE(zero.writeToStream(out));
  EXPECT_EQ(out.mBytes, bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  CZvMOSTHeader byKey(0x0101, 0x2203, 0x0C2, 0x0C, 0x0102);
  CZvMOSTHeader byIds(0x0101, 0x22, 0x03, 0x0C2, 0x0C, 0x0102);
  EXPECT_EQ(byKey, byIds);
  EXPECT_EQ(std::vector<uint8_t>(byKey.getRaw(), byKey.getRaw() + 9),
            bytes({0x01, 0x01, 0x22, 0x03, 0x00, 0xC2, 0x0C, 0x01, 0x02}));
  EXPECT_EQ(byKey.getReserved(), 0);
  CZvMOSTHeader fromRaw(byKey.getRaw());
  EXPECT_EQ(fromRaw, byKey);

  byKey.setReserved(0x1234);
  zv_test::VectorOStream withReserved;
  byKey.writeToStream(withReserved);
  ASSERT_EQ(withReserved.mBytes.size(), 11u);
  EXPECT_EQ(withReserved.mBytes[9], 0x12);  // big-endian
  EXPECT_EQ(withReserved.mBytes[10], 0x34);
}

TEST(MOSTMessageData, DefaultsAndStreamRoundTrip) {
  CZvMOSTMessageData empty;
  EXPECT_EQ(empty.routingAddress, 0xFFFFFFFFu);
  EXPECT_EQ(empty.transmissionType, 0);
  EXPECT_EQ(empty.transmissionInfo, 0);
  EXPECT_EQ(empty.txControl, 0);

  CZvMOSTMessageData original = sampleData();
  original.txControl = TX_CONTROL_FLUSH_PACKETIZER;  // not streamed
  original.routingAddress = 0x00070101;               // not streamed
  zv_test::VectorOStream out;
  ASSERT_TRUE(original.writeToStream(out));
  EXPECT_EQ(out.mBytes, bytes({0x01, 0x01, 0x22, 0x01, 0x00, 0xC2, 0x0C, 0x00, 0x03, 0x12, 0x34,
                               3, 0, 0, 0, 0x01, 0x02, 0xFF, 1, 0, 0, 0, 19, 0, 0, 0}));

  zv_test::VectorIStream in(out.mBytes);
  CZvMOSTMessageData back;
  ASSERT_TRUE(back.readFromStream(in));
  EXPECT_EQ(back.header, original.header);
  EXPECT_EQ(back.data, original.data);
  EXPECT_EQ(back.transmissionType, TRANSMISSION_TYPE_PACKET);
  EXPECT_EQ(back.transmissionInfo, SEGMENT_FIRST);
  EXPECT_EQ(back.txControl, TX_CONTROL_NONE);
  EXPECT_EQ(back.routingAddress, 0xFFFFFFFFu);

  for (size_t cut = 0; cut < out.mBytes.size(); ++cut) {
    zv_test::VectorIStream shortIn(std::vector<uint8_t>(out.mBytes.begin(), out.mBytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    CZvMOSTMessageData d;
    EXPECT_FALSE(d.readFromStream(shortIn)) << cut;
  }
}

TEST(MOSTMessageData, Renderings) {
  CZvString header;
  CZvMOSTHeader(0x0101, 0x2201, 0x0C2, 0x0C, 3).dump(header);
  EXPECT_EQ(header, "DevID 0101 FBlock 2201 FuncID 00C2 OpType 0C Length 0003 - ");
  CZvString data;
  sampleData().dump(data);
  EXPECT_EQ(data,
            "MOSTEvData transType 0x01, transInfo 0x13 DevID 0101 FBlock 2201 FuncID 00C2 OpType "
            "0C Length 0003 - 01 02 ff");
}

class Collector : public IZvMOSTMessageConsumer {
 public:
  void processEvent(const CZvMOSTMessage& message) override { received.push_back(message.getData()); }
  std::vector<CZvMOSTMessageData> received;
};

TEST(MOSTMessage, DeliveredToListenersAndSerialised) {
  Collector collector;
  ASSERT_TRUE(CZvMOSTMessage::addListener(collector));
  CZvMOSTMessage::sendEvent(sampleData());
  CZvEventLoop::current().runUntilIdle();
  ASSERT_EQ(collector.received.size(), 1u);
  EXPECT_EQ(collector.received[0], sampleData());
  EXPECT_TRUE(CZvMOSTMessage::removeListener(collector));
  CZvMOSTMessage::sendEvent();
  CZvEventLoop::current().runUntilIdle();
  EXPECT_EQ(collector.received.size(), 1u);

  CZvMOSTMessage message(sampleData());
  EXPECT_EQ(message.getClassID().name(), std::string("CZvMOSTMessage"));
  zv_test::VectorOStream out;
  ASSERT_TRUE(ZvMOSTEvents::serializeMOSTEvent(out, message));
  zv_test::VectorIStream in(out.mBytes);
  CZvMOSTMessage* back = ZvMOSTEvents::deserializeMOSTEvent(in);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->getData().data, sampleData().data);
  EXPECT_EQ(back->getData().header, sampleData().header);
  delete back;
  zv_test::VectorIStream truncated(bytes({1, 2, 3}));
  EXPECT_EQ(ZvMOSTEvents::deserializeMOSTEvent(truncated), nullptr);

  // Another event class is an internal inconsistency: reported, nothing written.
  ZvAssertStats::reset();
  CZvInternalEvent other;
  zv_test::VectorOStream nothing;
  EXPECT_FALSE(ZvMOSTEvents::serializeMOSTEvent(nothing, other));
  EXPECT_EQ(ZvAssertStats::cheapAsserts(), 1u);
  EXPECT_TRUE(nothing.mBytes.empty());
}

TEST(MOSTMessage, KernelTraceEventCarriesTheCode) {
  ZvKernelTrace::clearRecordedEvents();
  ZvKernelTrace::traceMOSTEvent(0x1234);
  auto events = ZvKernelTrace::getRecordedEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, ZvKernelTrace::EventKind::kFramework);
  EXPECT_EQ(events[0].eventNumber, 6u);
  uint16_t code = 0;
  ASSERT_EQ(events[0].data.size(), 2u);
  memcpy(&code, events[0].data.data(), 2);
  EXPECT_EQ(code, 0x1234);
}

TEST(MOSTTypes, OpTypeClassification) {
  // For each OPType 0..15: request, property command, method command,
  // property report, method report, acknowledge.
  const char* table[16] = {"1110000", "1110000", "1110000", "1100000", "1100000", "1110000",
                           "1010001", "1010001", "1010001", "0000100", "0000101", "0000100",
                           "0001100", "0000101", "0001100", "0001100"};
  for (uint8_t op = 0; op < 16; ++op) {
    const char* row = table[op];
    EXPECT_EQ(isRequest(op), row[0] == '1') << int(op);
    EXPECT_EQ(isReport(op), row[0] == '0') << int(op);
    EXPECT_EQ(ZvMOSTTypes::isPropertyCommand(op), row[1] == '1') << int(op);
    EXPECT_EQ(ZvMOSTTypes::isMethodCommand(op), row[2] == '1') << int(op);
    EXPECT_EQ(ZvMOSTTypes::isPropertyReport(op), row[3] == '1') << int(op);
    EXPECT_EQ(ZvMOSTTypes::isMethodReport(op), row[4] == '1') << int(op);
    EXPECT_EQ(ZvMOSTTypes::isAckOptype(op), row[6] == '1') << int(op);
  }
  EXPECT_TRUE(ZvMOSTTypes::withErrorInfo(0x06));
  EXPECT_TRUE(ZvMOSTTypes::withErrorInfo(0x44));
  for (uint8_t code : {0x05, 0x40, 0x41, 0x42, 0x43}) EXPECT_FALSE(ZvMOSTTypes::withErrorInfo(code));
}

TEST(MOSTTypes, Addresses) {
  struct Case {
    uint16_t address;
    bool external;
    bool internal;
  } cases[] = {{0x0000, false, false}, {0x0001, true, false}, {0x0FFF, true, false},
               {0x1000, false, true}, {0xFFFF, true, false}, {0x0100, true, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(isExtMostAddress(c.address), c.external) << std::hex << c.address;
    EXPECT_EQ(isIntMostAddress(c.address), c.internal) << std::hex << c.address;
  }
  EXPECT_EQ(ZvMOSTTypes::createDeviceID(0x1101, 2), 0x2101);
  EXPECT_EQ(ZvMOSTTypes::getSubnetID(0x2101), 2);
  uint32_t routing = ZvMOSTTypes::createRoutingAddress(0x0101, 7);
  EXPECT_EQ(routing, 0x00070101u);
  EXPECT_EQ(ZvMOSTTypes::getDeviceId(routing), 0x0101);
  EXPECT_EQ(ZvMOSTTypes::getMostClientId(routing), 7);
  EXPECT_TRUE(ZvMOSTTypes::isExternal(routing));
  EXPECT_FALSE(ZvMOSTTypes::isExternal(uint32_t{0x00071101}));
  EXPECT_EQ(ZvMOSTTypes::resolveInstAny(0x22, {0x2101, 0x2203, 0x2205}), 0x03);
  EXPECT_EQ(ZvMOSTTypes::resolveInstAny(0x23, {0x2101, 0x2203, 0x2205}), 0xFF);
  EXPECT_EQ(ZvMOSTTypes::resolveInstAny(0x22, {}), 0xFF);
}

TEST(MOSTTypes, TransmissionDescriptors) {
  MessageType m;
  EXPECT_TRUE(isCtrlMsg(TRANSMISSION_TYPE_CONTROL) && isCtrlMsg(TRANSMISSION_TYPE_CONTROL_2));
  EXPECT_TRUE(isAsyncMsg(TRANSMISSION_TYPE_PACKET_3) && !isAsyncMsg(TRANSMISSION_TYPE_CONTROL_2));
  EXPECT_EQ(getRXTransmissionInfo(m), 0);
  m.transmissionVariant.setTXControl(TX_CONTROL_CLOSE_CONNECTION);
  EXPECT_EQ(getTransmissionControl(m), TX_CONTROL_CLOSE_CONNECTION);
  EXPECT_EQ(getRXTransmissionInfo(m), 0);
  EXPECT_FALSE(isTransmissionStatus(m));
  for (int info : {3, 4, 9, 10}) {
    m.transmissionVariant.setTransmissionInfo(static_cast<eTransmissionInfo>(info));
    EXPECT_EQ(isTransmissionStatus(m), info >= 4 && info <= 9) << info;
    EXPECT_EQ(getTransmissionControl(m), 0);
  }
}

TEST(MOSTTypes, Version) {
  ZvMOSTTypes::Version v{1, 2, 3};
  EXPECT_EQ(v.asString(), "1.2.3.");
  ZvMOSTTypes::Version parsed;
  EXPECT_TRUE(parsed.parse("4.5.6"));
  EXPECT_EQ(parsed.asString(), "4.5.6.");
  EXPECT_FALSE(parsed.parse("7.8"));
  EXPECT_EQ(parsed.major, 4);  // unchanged after a failed parse
  EXPECT_FALSE(parsed.parse(nullptr));
}

TEST(MOSTTraceMessage, TxAndRxRenderingsSwapRoles) {
  const uint8_t payload[] = {1, 2, 3};
  CGMOSTTXMessage tx(0x0101, 0x0100, 0x22, 0x01, 0x0C2, 0x0C, 0, CZvBuffer(payload, 3),
                     TRANSMISSION_TYPE_CONTROL, TX_CONTROL_IMPLICIT_NOTIFICATION);
  CZvString text;
  tx.dump(text);
  EXPECT_EQ(text, "[0100 -> 0101] FBKey 2201 Func 0C2 Op 0C Len 03");

  CGMOSTRXMessage rx(0x0100, 0x0101, 0x22, 0x01, 0x0C2, 0x0C, 0, CZvBuffer(payload, 3),
                     TRANSMISSION_TYPE_PACKET, TRANSMISSION_FAILED_FIRST);
  text = CZvString();
  rx.dump(text);
  EXPECT_EQ(text, "[0100 <- 0101] FBKey 2201 Func 0C2 Op 0C Len 03 T:1 TI:4");

  CGMOSTTXMessage back(rx);  // the failed message as it was sent
  text = CZvString();
  back.dump(text);
  EXPECT_EQ(text, "[0100 -> 0101] FBKey 2201 Func 0C2 Op 0C Len 03");
  EXPECT_EQ(back.getMessage().transmissionVariant, tTransmissionVariant::txControl(TX_CONTROL_NONE));

  CGMOSTRXMessage seen(tx);  // a TX message holds no transmission info: TI 0
  text = CZvString();
  seen.dump(text);
  EXPECT_EQ(text, "[0100 <- 0101] FBKey 2201 Func 0C2 Op 0C Len 03 T:0 TI:0");

  CGMOSTTXMessage empty(16u, TX_CONTROL_NONE);
  EXPECT_TRUE(empty.getMessage().data.isEmpty());
}

TEST(MOSTSpy, LinesOnTheSpyScope) {
  MessageType m = zv_test::sampleMessage();
  {
    CZvTraceCapture capture("sys_most_mss_MOSTSpy", ZvTraceLevel::Message);
    dumpMostMessage(7, m, "TX");
    dumpMostMessage(0, m, "RX");
    auto texts = capture.texts();
    ASSERT_EQ(texts.size(), 2u);  // message level only: no data lines
    EXPECT_EQ(texts[0], "[0100->0101] 22 01 00C2 0C 0002 [7] [TX]");
    EXPECT_EQ(texts[1], "[0100->0101] 22 01 00C2 0C 0002 [EXT] [RX]");
  }
  {
    CZvTraceCapture capture("sys_most_mss_MOSTSpy", ZvTraceLevel::Data);
    dumpMostMessage(7, m, "TX");
    m.data.clear();
    dumpMostMessage(7, m, "TX");
    auto texts = capture.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "       Data: aa bb");
    EXPECT_EQ(texts[2], "[0100->0101] 22 01 00C2 0C 0000 [7] [TX]");
  }
}

TEST(DSYSMOSTTypeTrace, TypesAreTracedInWireFormWithTheirNumbers) {
  CZvTraceCapture capture("sys_qrvi_TypeTrace", ZvTraceLevel::Data);
  RegistryEntry entry{0x0101, 0x2201};
  QRVLogType(0xC0000001, entry, "out");
  QRVLogType(2, MessageVector{}, "in");
  QRVLogType(0x80000007, DSYSMOSTServer::CLEANUP_EXTERNAL, "in");
  DSYSMOSTServer::QRVLogType(0x80000003, DSYSMOSTServer::DeviceInfoVector{{0x0101, 0x2201}}, "in");
  auto texts = capture.texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], "out [0xC0000001] DSYSMOSTTypes 2.9 RegistryEntry(9): 01 01 01 22");
  EXPECT_EQ(texts[1], "in [0x00000002] DSYSMOSTTypes 2.9 MessageVector(15): 00 00 00 00");
  EXPECT_EQ(texts[2], "in [0x80000007] DSYSMOSTServer 4.5 CleanUpRequest(3): 01 00 00 00");
  EXPECT_EQ(texts[3], "in [0x80000003] DSYSMOSTServer 4.5 DeviceInfoVector(2): 01 00 00 00 01 01 01 22");
}

}  // namespace
