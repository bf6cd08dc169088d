// Test doubles of the FBlock side: a client that keeps what it would send,
// a function that records what the device hands it, and a consumer that
// records its events.
#ifndef FBKIT_FBLOCK_TESTS_FBLOCK_TEST_SUPPORT_H
#define FBKIT_FBLOCK_TESTS_FBLOCK_TEST_SUPPORT_H

#include <set>
#include <vector>

#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/fblock/device_base.h"
#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_event_loop.h"

// A client whose outgoing messages stay here.
class CapturingClient : public CZvMOSTClientImpl {
 public:
  CapturingClient() : CZvMOSTClientImpl("FBlockTestRole") {}
  void requestServerProcessMessage(const DSYSMOSTTypes::MessageType& msg, bool) override {
    sent.push_back(msg);
  }
  std::vector<uint8_t> lastPayload() const {
    if (sent.empty()) return {};
    const CZvBuffer& b = sent.back().data;
    return std::vector<uint8_t>(b.getData(), b.getData() + b.getSize());
  }
  std::vector<DSYSMOSTTypes::MessageType> sent;
};

class RecordingFunction : public CZvFunctionBase {
 public:
  RecordingFunction(uint16_t id, bool notifiable) : CZvFunctionBase(id), mNotifiable(notifiable) {}
  bool send(uint8_t) override { return true; }
  bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routing) override {
    commands.push_back(ZvMOSTMessageView::opType(message));
    lastRouting = routing;
    return true;
  }
  bool readNotification(uint8_t control, uint32_t routing) override {
    notifications.push_back({control, routing});
    return true;
  }
  bool isNotifiable() const override { return mNotifiable; }
  bool isInNotificationMatrix(uint16_t deviceID) const override {
    return matrix.count(deviceID) != 0;
  }
  void resetProtocols() override {}

  struct SNotification {
    uint8_t control;
    uint32_t routing;
  };
  std::vector<uint8_t> commands;
  std::vector<SNotification> notifications;
  std::set<uint16_t> matrix;
  uint32_t lastRouting = 0;

 private:
  bool mNotifiable;
};

class RecordingConsumer : public IZvDeviceInfoConsumer {
 public:
  explicit RecordingConsumer(CZvMOSTAdapter& adapter) : IZvDeviceInfoConsumer(adapter) {}
  void processEvent(const CZvDeviceInfoEvent& event) override { events.push_back(event.getData()); }
  std::vector<CZvDeviceInfoData> events;
};

inline CZvMOSTMessageData makeCommand(uint16_t sender, uint8_t fblockID, uint8_t instID,
                                      uint16_t fktID, uint8_t opType,
                                      std::vector<uint8_t> payload = {}, int32_t ti = 0,
                                      uint16_t senderClient = 7) {
  CZvMOSTHeader header(sender, fblockID, instID, fktID, opType,
                       static_cast<uint16_t>(payload.size()));
  CZvMOSTMessageData m(header, CZvByteStream(payload.data(), static_cast<uint32_t>(payload.size())),
                       DSYSMOSTTypes::TRANSMISSION_TYPE_CONTROL,
                       static_cast<DSYSMOSTTypes::eTransmissionInfo>(ti));
  m.routingAddress = static_cast<uint32_t>(sender) | (static_cast<uint32_t>(senderClient) << 16);
  return m;
}

#endif  // FBKIT_FBLOCK_TESTS_FBLOCK_TEST_SUPPORT_H
