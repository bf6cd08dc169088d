// A DSYSMOSTServer implementation for tests: it records every request and
// answers each with a response, information or attribute update that carries
// the request's values back, so a client can check what arrived.
#ifndef FBKIT_CLIENT_TESTS_DSYSMOST_ECHO_SERVER_H
#define FBKIT_CLIENT_TESTS_DSYSMOST_ECHO_SERVER_H

#include <string>
#include <vector>

#include "fbkit/client/dsysmost_stub.h"

namespace zv_test {

class EchoServer : public CDSYSMOSTServerStub {
 public:
  // Registrations are answered at once unless autoAnswer is false.
  explicit EchoServer(const CZvString& role, bool autoAnswer = true)
      : CDSYSMOSTServerStub(role), mAutoAnswer(autoAnswer) {}

  std::vector<std::string> calls;
  uint32_t nextClientID = 7;

  void registerMOSTClient() override {
    calls.push_back("registerMOSTClient");
    if (mAutoAnswer) responseMOSTClient(nextClientID++, 0x0100);
  }
  void unregisterMOSTClient(uint32_t session) override {
    calls.push_back("unregisterMOSTClient " + std::to_string(session));
    setExtDeviceID(0xE000 | DSYSMOSTServer::unregisterMOSTClientId);
  }
  void registerMOSTClientExt(const CZvString& name) override {
    calls.push_back(std::string("registerMOSTClientExt ") + name.c_str());
    if (mAutoAnswer) responseMOSTClient(nextClientID++, 0x0100);
  }
  void unregisterMOSTClientExt(uint32_t session) override {
    calls.push_back("unregisterMOSTClientExt " + std::to_string(session));
    setExtDeviceID(0xE000 | DSYSMOSTServer::unregisterMOSTClientExtId);
  }
  void registerMOSTSubnet(uint16_t subnetID) override {
    calls.push_back("registerMOSTSubnet " + std::to_string(subnetID));
    if (mAutoAnswer) responseMOSTSubnet(0x10000u + subnetID);
  }
  void unregisterMOSTSubnet(uint32_t session) override {
    calls.push_back("unregisterMOSTSubnet " + std::to_string(session));
    setExtDeviceID(0xE000 | DSYSMOSTServer::unregisterMOSTSubnetId);
  }
  void requestRegisterDevices(uint32_t, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    calls.push_back("requestRegisterDevices");
    informationActivate(keys);
  }
  void requestUnregisterDevices(uint32_t, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    calls.push_back("requestUnregisterDevices");
    informationDeactivate(keys);
  }
  void requestRegisterDevCtrls(uint32_t, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    calls.push_back("requestRegisterDevCtrls");
    DSYSMOSTServer::DeviceInfoVector devices;
    for (uint16_t key : keys) devices.push_back({0x0101, key});
    informationConnect(devices);
  }
  void requestUnregisterDevCtrls(uint32_t, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    calls.push_back("requestUnregisterDevCtrls");
    informationDisconnect(keys);
  }
  void requestRegisterExtDevices(uint32_t,
                                 const DSYSMOSTTypes::FBlockKeyStringVector& devices) override {
    calls.push_back("requestRegisterExtDevices");
    DSYSMOSTTypes::Registry entries;
    for (const auto& d : devices) {
      entries.push_back({static_cast<uint16_t>(0x0200 + d.name.length()), d.fblockKey});
    }
    informationRegistry(entries);
  }
  void requestProcessMessage(uint32_t, const DSYSMOSTTypes::MessageType& msg) override {
    calls.push_back("requestProcessMessage");
    if (msg.header.functionID == 0xFFF) {
      error(DSYSMOSTServer::requestProcessMessageId);
      return;
    }
    informationProcessMessage(msg);
  }
  void requestProcessMessageVector(uint32_t, const DSYSMOSTTypes::MessageVector& msgs) override {
    calls.push_back("requestProcessMessageVector");
    for (const auto& msg : msgs) informationProcessMessage(msg);
  }
  void requestChangeInstID(uint32_t, uint16_t fblockKey, uint8_t newInstID) override {
    calls.push_back("requestChangeInstID");
    informationChangeInstID(fblockKey, newInstID);
  }
  void requestCleanUp(uint32_t clientID) override {
    calls.push_back("requestCleanUp");
    informationCleanUp(DSYSMOSTServer::CLEANUP_EXTERNAL, static_cast<uint16_t>(clientID), 0x0304);
  }
  void requestSetRegistryFilter(uint32_t, const DSYSMOSTTypes::FBlockKeyVector& keys) override {
    calls.push_back("requestSetRegistryFilter");
    if (keys.empty()) {
      error(DSYSMOSTServer::informationRegistryId);
      return;
    }
    DSYSMOSTTypes::Registry entries;
    for (uint16_t key : keys) entries.push_back({0x0101, key});
    setRegistry(entries);
  }
  void requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode mode) override {
    calls.push_back("requestSetCommunicationCtrl");
    if (mode > DSYSMOSTServer::COMM_CTRL_STOP) {
      error(DSYSMOSTServer::CommunicationCtrlId);
      return;
    }
    setCommunicationCtrl(mode);
  }
  void requestEnableNotificationProxy(uint32_t clientID) override {
    calls.push_back("requestEnableNotificationProxy");
    setExtDeviceID(static_cast<uint16_t>(clientID));
  }

 private:
  bool mAutoAnswer;
};

}  // namespace zv_test

#endif  // FBKIT_CLIENT_TESTS_DSYSMOST_ECHO_SERVER_H
