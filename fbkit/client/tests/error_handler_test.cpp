#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/client/most_error_handler.h"
#include "fbkit/client/most_message_data.h"

namespace {

class RecordingHandler : public CZvMOSTErrorHandler {
 public:
  void onErrorReport(uint16_t fblockKey, uint16_t functionID, uint8_t errorCode,
                     const CZvByteStream& errorInfo) override {
    calls.push_back("error " + std::to_string(fblockKey) + " " + std::to_string(functionID) + " " +
                    std::to_string(errorCode) + " info " + std::to_string(errorInfo.getSize()));
  }
  void onErrorAckReport(uint16_t, uint16_t, uint16_t senderHandle, uint8_t errorCode,
                        const CZvByteStream& errorInfo) override {
    calls.push_back("ack " + std::to_string(senderHandle) + " " + std::to_string(errorCode) +
                    " info " + std::to_string(errorInfo.getSize()));
  }
  void onLogDevEvent(const CZvLogDevInfoData& data, int32_t ti) override {
    calls.push_back("event " + std::to_string(data.reason) + " " + std::to_string(ti));
  }
  void onTransmissionError(uint16_t, uint16_t, int32_t ti) override {
    calls.push_back("transmission " + std::to_string(ti));
  }
  std::vector<std::string> calls;
};

CZvMOSTMessageData report(uint8_t opType, std::vector<uint8_t> payload) {
  CZvMOSTHeader header(0x0101, 0x22, 0x01, 0x200, opType, static_cast<uint16_t>(payload.size()));
  return CZvMOSTMessageData(header, CZvByteStream(payload.data(), static_cast<uint32_t>(payload.size())),
                            DSYSMOSTTypes::TRANSMISSION_TYPE_CONTROL, DSYSMOSTTypes::TRANSMISSION_INFO_NONE);
}

TEST(ErrorHandlerTest, ErrorAndErrorAckReportsNeedTheirFixedPart) {
  struct Case {
    uint8_t opType;
    std::vector<uint8_t> payload;
    const char* expected;  // null: no call
  };
  const Case cases[] = {
      {15, {}, nullptr},
      {15, {0x41}, "error 8705 512 65 info 0"},
      {15, {0x06, 0x01, 0x07}, "error 8705 512 6 info 2"},
      {9, {0x12, 0x34}, nullptr},
      {9, {0x12, 0x34, 0x03}, "ack 4660 3 info 0"},
      {9, {0x12, 0x34, 0x03, 0x09}, "ack 4660 3 info 1"},
      {12, {0x01}, nullptr},  // a Status is no error
  };
  for (const Case& c : cases) {
    RecordingHandler handler;
    CZvMOSTMessageData m = report(c.opType, c.payload);
    m.data.skip(1);  // publication reads from the payload's start regardless
    handler.publish(m);
    if (c.expected == nullptr) {
      EXPECT_TRUE(handler.calls.empty()) << int(c.opType) << " size " << c.payload.size();
    } else {
      ASSERT_EQ(handler.calls.size(), 1u);
      EXPECT_EQ(handler.calls[0], c.expected);
    }
  }
}

TEST(ErrorHandlerTest, EventsSplitIntoTimeoutsAndTransmissionErrors) {
  RecordingHandler handler;
  handler.publishWithEventCheck(CZvLogDevInfoData(CZvLogDevInfoData::REASON_STATUS_TIMEOUT), 0);
  handler.publishWithEventCheck(CZvLogDevInfoData(CZvLogDevInfoData::REASON_GET_TIMEOUT), 7);
  handler.publishWithEventCheck(CZvLogDevInfoData(1), 7);
  handler.publishWithEventCheck(CZvLogDevInfoData(1), 8);  // not a transmission error
  const std::vector<std::string> expected = {"event 10 0", "event 24 7", "transmission 7"};
  EXPECT_EQ(handler.calls, expected);
}

TEST(ErrorHandlerTest, ConfigurationKeepsHandlersInRegistrationOrder) {
  const CZvMOSTConfig& config = ZvSystemConfig::getMOSTConfig();
  RecordingHandler a, b;
  config.addErrorHandler(&a);
  config.addErrorHandler(&b);
  auto handlers = config.getErrorHandlers();
  ASSERT_EQ(handlers.size(), 2u);
  EXPECT_EQ(handlers[0], &a);
  config.removeErrorHandler(&a);
  config.removeErrorHandler(&b);
  EXPECT_TRUE(config.getErrorHandlers().empty());
}

}  // namespace
