// A DSYSMOSTServer client for tests that records every callback as a line of
// text with its values, and helpers to run the thread's loop until something
// arrived.
#ifndef FBKIT_CLIENT_TESTS_DSYSMOST_RECORDING_CLIENT_H
#define FBKIT_CLIENT_TESTS_DSYSMOST_RECORDING_CLIENT_H

#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fbkit/client/dsysmost_client_base.h"
#include "platform/basalt/zv_event_loop.h"

namespace zv_test {

// Runs this thread's loop until done() or about five seconds of real time
// passed (peers in other processes answer in their own time).
inline bool pumpUntil(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    CZvEventLoop::current().runUntilIdle();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

inline std::string hex(uint32_t v) {
  char text[16];
  snprintf(text, sizeof text, "%X", v);
  return text;
}

inline std::string keys(const DSYSMOSTTypes::FBlockKeyVector& k) {
  std::string s;
  for (uint16_t key : k) s += (s.empty() ? "" : ",") + hex(key);
  return s;
}

class RecordingClient : public CDSYSMOSTServerClientBase {
 public:
  explicit RecordingClient(const CZvString& role) : CDSYSMOSTServerClientBase(role) {}
  ~RecordingClient() override = default;

  std::vector<std::string> events;
  int connected = 0;
  int disconnected = 0;
  std::function<void()> onConnectionHook;
  std::vector<DSYSMOSTTypes::MessageType> messages;

  bool has(const std::string& line) const {
    for (const auto& e : events) {
      if (e == line) return true;
    }
    return false;
  }
  bool waitFor(const std::string& line) {
    return pumpUntil([&] { return has(line); });
  }

  void componentConnected(CZvProxyBase*) override {
    ++connected;
    if (onConnectionHook) onConnectionHook();
  }
  void componentDisconnected(CZvProxyBase*) override { ++disconnected; }

  void onMOSTCommunicationStateUpdate(DSYSMOSTTypes::eMOSTCommunicationState v,
                                      ZvServices::DataStateType s) override {
    events.push_back("CommunicationState " + std::to_string(v) + " " + std::to_string(s));
  }
  void onRegistryUpdate(const DSYSMOSTTypes::Registry& r, ZvServices::DataStateType s) override {
    std::string text = "Registry";
    for (const auto& e : r) text += " " + hex(e.deviceID) + ":" + hex(e.fblockKey);
    events.push_back(text + " " + std::to_string(s));
  }
  void onDeviceIDUpdate(uint16_t id, ZvServices::DataStateType s) override {
    events.push_back("DeviceID " + hex(id) + " " + std::to_string(s));
  }
  void onCommunicationCtrlUpdate(DSYSMOSTServer::CommCtrlMode m,
                                 ZvServices::DataStateType s) override {
    events.push_back("CommunicationCtrl " + std::to_string(m) + " " + std::to_string(s));
  }
  void onExtDeviceIDUpdate(uint16_t id, ZvServices::DataStateType s) override {
    events.push_back("ExtDeviceID " + hex(id) + " " + std::to_string(s));
  }
  void responseMOSTClient(uint32_t clientID, uint16_t deviceID) override {
    events.push_back("responseMOSTClient " + std::to_string(clientID) + " " + hex(deviceID));
  }
  void registerMOSTClientExtFailed(uint32_t kind) override {
    events.push_back("registerMOSTClientExtFailed " + std::to_string(kind));
  }
  void registerMOSTClientFailed(uint32_t kind) override {
    events.push_back("registerMOSTClientFailed " + std::to_string(kind));
  }
  void requestProcessMessageFailed(uint32_t kind) override {
    events.push_back("requestProcessMessageFailed " + std::to_string(kind));
  }
  void informationProcessMessage(const DSYSMOSTTypes::MessageType& msg) override {
    messages.push_back(msg);
    events.push_back("informationProcessMessage " + hex(msg.header.functionID));
  }
  void informationChangeInstID(uint16_t key, uint8_t inst) override {
    events.push_back("informationChangeInstID " + hex(key) + " " + hex(inst));
  }
  void informationConnect(const DSYSMOSTServer::DeviceInfoVector& d) override {
    std::string text = "informationConnect";
    for (const auto& e : d) text += " " + hex(e.deviceID) + ":" + hex(e.fblockKey);
    events.push_back(text);
  }
  void informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& k) override {
    events.push_back("informationDisconnect " + keys(k));
  }
  void informationActivate(const DSYSMOSTTypes::FBlockKeyVector& k) override {
    events.push_back("informationActivate " + keys(k));
  }
  void informationDeactivate(const DSYSMOSTTypes::FBlockKeyVector& k) override {
    events.push_back("informationDeactivate " + keys(k));
  }
  void informationCleanUp(DSYSMOSTServer::CleanUpRequest r, uint16_t devCtrl,
                          uint16_t deviceID) override {
    events.push_back("informationCleanUp " + std::to_string(r) + " " + hex(devCtrl) + " " +
                     hex(deviceID));
  }
  void responseMOSTSubnet(uint32_t id) override {
    events.push_back("responseMOSTSubnet " + hex(id));
  }
  void informationRegistry(const DSYSMOSTTypes::Registry& r) override {
    std::string text = "informationRegistry";
    for (const auto& e : r) text += " " + hex(e.deviceID) + ":" + hex(e.fblockKey);
    events.push_back(text);
  }
  void responseInvalid(uint32_t id) override { events.push_back("responseInvalid " + hex(id)); }
};

// Every response and information, for registrations.
inline std::vector<uint32_t> allInformationIds() {
  std::vector<uint32_t> ids;
  for (uint32_t id = 0x80000001; id <= 0x80000009; ++id) ids.push_back(id);
  return ids;
}

}  // namespace zv_test

#endif  // FBKIT_CLIENT_TESTS_DSYSMOST_RECORDING_CLIENT_H
