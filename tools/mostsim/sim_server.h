// CZvSimServer: the simulated MOST server as a DSYSMOSTServer stub. It turns
// the requests of its clients into calls of the routing core (CZvSimNetwork)
// and the core's decisions into informations, responses and attributes sent
// to the right client.
#ifndef TOOLS_MOSTSIM_SIM_SERVER_H
#define TOOLS_MOSTSIM_SIM_SERVER_H

#include <cstdint>
#include <map>

#include "fbkit/client/dsysmost_stub.h"
#include "tools/mostsim/sim_network.h"

class CZvSimServer : public CDSYSMOSTServerStub, private ISimOutput {
 public:
  CZvSimServer(const CZvString& roleName, const SZvSimConfig& config);
  ~CZvSimServer() override;

  // Offers the interface (also to other processes) and publishes the
  // attributes. False when the role cannot be offered.
  bool start(bool crossProcess = true);

  const CZvSimNetwork& network() const { return mNetwork; }
  CZvVersion getImplVersion() const override { return CZvVersion(1, 0, 0); }

  void registerMOSTClient() override;
  void unregisterMOSTClient(uint32_t session) override;
  void registerMOSTClientExt(const CZvString& name) override;
  void unregisterMOSTClientExt(uint32_t session) override;
  void requestRegisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void requestRegisterExtDevices(uint32_t clientID,
                                 const DSYSMOSTTypes::FBlockKeyStringVector& devices) override;
  void requestRegisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void requestUnregisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void requestUnregisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void requestProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) override;
  void requestChangeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID) override;
  void requestCleanUp(uint32_t clientID) override;
  void registerMOSTSubnet(uint16_t subnetID) override;
  void unregisterMOSTSubnet(uint32_t session) override;
  void requestSetRegistryFilter(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode mode) override;
  void requestProcessMessageVector(uint32_t clientID, const DSYSMOSTTypes::MessageVector& msgs) override;
  void requestEnableNotificationProxy(uint32_t clientID) override;

 private:
  // ISimOutput: each answer goes to the session of its client.
  void sendProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) override;
  void sendActivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void sendDeactivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void sendConnect(uint32_t clientID, const DSYSMOSTServer::DeviceInfoVector& devices) override;
  void sendDisconnect(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void sendCleanUp(uint32_t clientID, DSYSMOSTServer::CleanUpRequest request, uint16_t devCtrl,
                   uint16_t deviceID) override;
  void publishRegistry(const DSYSMOSTTypes::Registry& registry) override;

  // Selects the client's session for the answers of fn; false when the
  // client is unknown.
  template <typename Fn>
  bool toClient(uint32_t clientID, Fn&& fn);
  void openClient(const CZvString& name);
  void closeSession(uint32_t session);

  // Before the network: the network publishes its registry while it is built.
  bool mStarted = false;
  CZvSimNetwork mNetwork;
  std::map<uint32_t, uint32_t> mSessionOfClient;
  std::map<uint32_t, uint32_t> mClientOfSession;
};

#endif  // TOOLS_MOSTSIM_SIM_SERVER_H
