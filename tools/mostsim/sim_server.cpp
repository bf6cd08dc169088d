#include "tools/mostsim/sim_server.h"

#include "platform/basalt/zv_trace.h"

namespace {

const CZvTraceScopeDef kTrace("tools_mostsim", "CZvSimServer");

}  // namespace

CZvSimServer::CZvSimServer(const CZvString& roleName, const SZvSimConfig& config)
    : CDSYSMOSTServerStub(roleName), mNetwork(config, *this) {}

CZvSimServer::~CZvSimServer() {
  if (isOffered()) withdraw();
}

bool CZvSimServer::start(bool crossProcess) {
  if (!offer(crossProcess)) return false;
  mStarted = true;
  setDeviceID(mNetwork.getNodeDeviceID());
  setCommunicationCtrl(DSYSMOSTServer::COMM_CTRL_COMMUNICATE);
  setMOSTCommunicationState(DSYSMOSTTypes::COMMUNICATION_UP);
  setRegistry(mNetwork.getRegistry());
  return true;
}

template <typename Fn>
bool CZvSimServer::toClient(uint32_t clientID, Fn&& fn) {
  auto it = mSessionOfClient.find(clientID);
  if (it == mSessionOfClient.end()) return false;
  selectSession(it->second);
  fn();
  selectSession(0);
  return true;
}

// ---- registrations --------------------------------------------------------------

void CZvSimServer::openClient(const CZvString& name) {
  const uint32_t session = getCurrentSession();
  const uint32_t clientID = mNetwork.addClient(name.toStdString());
  mSessionOfClient[clientID] = session;
  mClientOfSession[session] = clientID;
  CZvTraceScope(kTrace).sendFormattedMessage("client %u '%s' registered (session %u)", clientID,
                                             name.c_str(), session);
  responseMOSTClient(clientID, mNetwork.getNodeDeviceID());
}

void CZvSimServer::closeSession(uint32_t session) {
  auto it = mClientOfSession.find(session);
  if (it == mClientOfSession.end()) return;
  const uint32_t clientID = it->second;
  mClientOfSession.erase(it);
  mSessionOfClient.erase(clientID);
  CZvTraceScope(kTrace).sendFormattedMessage("client %u gone", clientID);
  mNetwork.removeClient(clientID);
}

void CZvSimServer::registerMOSTClient() { openClient(CZvString("")); }
void CZvSimServer::unregisterMOSTClient(uint32_t session) { closeSession(session); }
void CZvSimServer::registerMOSTClientExt(const CZvString& name) { openClient(name); }
void CZvSimServer::unregisterMOSTClientExt(uint32_t session) { closeSession(session); }

// ---- requests ------------------------------------------------------------------------

void CZvSimServer::requestRegisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  mNetwork.registerDevices(clientID, keys);
}

void CZvSimServer::requestRegisterExtDevices(uint32_t clientID,
                                             const DSYSMOSTTypes::FBlockKeyStringVector& devices) {
  DSYSMOSTTypes::FBlockKeyVector keys;
  for (const auto& d : devices) keys.push_back(d.fblockKey);
  mNetwork.registerDevices(clientID, keys);
}

void CZvSimServer::requestRegisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  mNetwork.registerDevCtrls(clientID, keys);
}

void CZvSimServer::requestUnregisterDevices(uint32_t clientID,
                                            const DSYSMOSTTypes::FBlockKeyVector& keys) {
  mNetwork.unregisterDevices(clientID, keys);
}

void CZvSimServer::requestUnregisterDevCtrls(uint32_t clientID,
                                             const DSYSMOSTTypes::FBlockKeyVector& keys) {
  mNetwork.unregisterDevCtrls(clientID, keys);
}

void CZvSimServer::requestProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) {
  mNetwork.processMessage(clientID, msg);
}

void CZvSimServer::requestProcessMessageVector(uint32_t clientID,
                                               const DSYSMOSTTypes::MessageVector& msgs) {
  for (const DSYSMOSTTypes::MessageType& msg : msgs) mNetwork.processMessage(clientID, msg);
}

void CZvSimServer::requestChangeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID) {
  mNetwork.changeInstID(clientID, fblockKey, newInstID);
}

void CZvSimServer::requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode mode) {
  setCommunicationCtrl(mode);
}

// Acknowledgements and features the desk network has no use for.
void CZvSimServer::requestCleanUp(uint32_t) {}
void CZvSimServer::registerMOSTSubnet(uint16_t) {}
void CZvSimServer::unregisterMOSTSubnet(uint32_t) {}
void CZvSimServer::requestSetRegistryFilter(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) {}
void CZvSimServer::requestEnableNotificationProxy(uint32_t) {}

// ---- answers -------------------------------------------------------------------------

void CZvSimServer::sendProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) {
  toClient(clientID, [&] { informationProcessMessage(msg); });
}

void CZvSimServer::sendActivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  toClient(clientID, [&] { informationActivate(keys); });
}

void CZvSimServer::sendDeactivate(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  toClient(clientID, [&] { informationDeactivate(keys); });
}

void CZvSimServer::sendConnect(uint32_t clientID, const DSYSMOSTServer::DeviceInfoVector& devices) {
  toClient(clientID, [&] { informationConnect(devices); });
}

void CZvSimServer::sendDisconnect(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  toClient(clientID, [&] { informationDisconnect(keys); });
}

void CZvSimServer::sendCleanUp(uint32_t clientID, DSYSMOSTServer::CleanUpRequest request,
                               uint16_t devCtrl, uint16_t deviceID) {
  toClient(clientID, [&] { informationCleanUp(request, devCtrl, deviceID); });
}

void CZvSimServer::publishRegistry(const DSYSMOSTTypes::Registry& registry) {
  // The core publishes once while it is built, before the stub can send.
  if (mStarted) setRegistry(registry);
}
