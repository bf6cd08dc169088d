// CZvSimNetwork: the bookkeeping and routing of the simulated MOST server,
// free of any transport. It knows the clients of this node, their FBlocks
// and device controllers, keeps the registry, decides where every message
// goes and what each client must be told; it says so through ISimOutput.
#ifndef TOOLS_MOSTSIM_SIM_NETWORK_H
#define TOOLS_MOSTSIM_SIM_NETWORK_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fbkit/client/dsysmost_server_types.h"
#include "tools/mostsim/sim_config.h"

class ISimOutput {
 public:
  virtual ~ISimOutput() = default;
  virtual void sendProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) = 0;
  virtual void sendActivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void sendDeactivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void sendConnect(uint32_t clientID, const DSYSMOSTServer::DeviceInfoVector& devices) = 0;
  virtual void sendDisconnect(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void sendCleanUp(uint32_t clientID, DSYSMOSTServer::CleanUpRequest request,
                           uint16_t devCtrl, uint16_t deviceID) = 0;
  virtual void publishRegistry(const DSYSMOSTTypes::Registry& registry) = 0;
};

class CZvSimNetwork {
 public:
  // Transmission info of a message that reached no one.
  static constexpr int32_t kTargetNotReached = 7;

  CZvSimNetwork(const SZvSimConfig& config, ISimOutput& output);

  uint16_t getNodeDeviceID() const { return mConfig.nodeDeviceID; }
  const DSYSMOSTTypes::Registry& getRegistry() const { return mRegistry; }

  // A client registered under name; returns its new client ID (never 0).
  uint32_t addClient(const std::string& name);
  // The client has gone (unregistered or vanished): its FBlocks and device
  // controllers are withdrawn and the others are told.
  void removeClient(uint32_t clientID);
  bool hasClient(uint32_t clientID) const { return mClients.count(clientID) != 0; }
  size_t clientCount() const { return mClients.size(); }

  void registerDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void unregisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void registerDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void unregisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void changeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID);
  void processMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg);

  // The local client that owns fblockKey, or 0.
  uint32_t ownerOf(uint16_t fblockKey) const;

 private:
  struct SClient {
    std::string name;
    std::set<uint16_t> devices;
    std::set<uint16_t> devCtrls;
  };

  // Device ID of the node that offers fblockKey, or 0 when nobody does.
  uint16_t deviceOf(uint16_t fblockKey) const;
  void rebuildRegistry();
  void connectControllers(uint16_t fblockKey);
  void disconnectControllers(uint16_t fblockKey);
  void deliver(uint32_t clientID, DSYSMOSTTypes::MessageType msg);
  void bounce(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg);

  SZvSimConfig mConfig;
  ISimOutput& mOutput;
  std::map<uint32_t, SClient> mClients;
  uint32_t mNextClientID = 1;
  DSYSMOSTTypes::Registry mRegistry;
};

#endif  // TOOLS_MOSTSIM_SIM_NETWORK_H
