// CDSYSMOSTServerProxy: a process's access to the MOST server through the
// DSYSMOSTServer interface. It sends requests, keeps the attribute values
// with their data states, and hands responses to its consumers, whose
// handlers read the parameters through the getters below.
#ifndef FBKIT_CLIENT_DSYSMOST_PROXY_H
#define FBKIT_CLIENT_DSYSMOST_PROXY_H

#include <cstdint>
#include <memory>
#include <vector>

#include "fbkit/client/dsysmost_events.h"
#include "fbkit/client/dsysmost_notification.h"
#include "fbkit/client/dsysmost_server_types.h"
#include "platform/basalt/zv_version.h"
#include "platform/qrvi/proxy_base.h"
#include "platform/qrvi/service_interface.h"

class CDSYSMOSTServerProxy : public CZvRegisterProxyBase {
 public:
  static const CZvVersion sVersion;  // 4.5.0
  static const SZvServiceInterface sInterface;
  static constexpr uint32_t kUpdateIdCount = 33;

  // The calling thread's proxy for the role, as a mandatory or an optional
  // connection; listener hears componentConnected/componentDisconnected.
  static CDSYSMOSTServerProxy* createProxy(const CZvString& roleName,
                                           IZvProxyConnectListener* listener);
  static CDSYSMOSTServerProxy* createOptionalProxy(const CZvString& roleName,
                                                   IZvProxyConnectListener* listener);
  // Ends the caller's use; the proxy is deleted with the last one.
  void freeProxy(IZvProxyConnectListener* listener);
  // Nothing to preload: proxies connect on demand.
  static bool load(const CZvString& roleName);
  static bool getAvailableRoles(std::vector<CZvString>& names);

  explicit CDSYSMOSTServerProxy(const CZvString& roleName);
  ~CDSYSMOSTServerProxy() override;

  // Plain requests: dropped silently while not connected.
  void requestRegisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void requestRegisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void requestProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg);
  void requestUnregisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void requestUnregisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void requestChangeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID);
  void requestCleanUp(uint32_t clientID);
  void requestSetRegistryFilter(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys);
  void requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode mode);
  void requestRegisterExtDevices(uint32_t clientID,
                                 const DSYSMOSTTypes::FBlockKeyStringVector& devices);
  void requestProcessMessageVector(uint32_t clientID, const DSYSMOSTTypes::MessageVector& msgs);
  void requestEnableNotificationProxy(uint32_t clientID);

  // Registrations: consumer gets the answer and the listed update IDs under
  // a new registration number, which is returned; -1 when not connected.
  int32_t registerMOSTClient(IDSYSMOSTServerNotificationConsumer* consumer,
                             const std::vector<uint32_t>& ids);
  int32_t registerMOSTSubnet(IDSYSMOSTServerNotificationConsumer* consumer, uint16_t subnetID,
                             const std::vector<uint32_t>& ids);
  int32_t registerMOSTClientExt(IDSYSMOSTServerNotificationConsumer* consumer,
                                const std::vector<uint32_t>& ids, const CZvString& name);
  void unregisterMOSTClient(int32_t registration);
  void unregisterMOSTSubnet(int32_t registration);
  void unregisterMOSTClientExt(int32_t registration);

  // The response or attribute that a handler of this thread is handling.
  // Outside a matching response an invalid access is reported (under the
  // name plus "_NoResponse" when there is none) and an empty value returned.
  uint32_t getClientID() const;
  uint16_t getDeviceID() const;  // responseMOSTClient and informationCleanUp
  const DSYSMOSTTypes::MessageType& getMsg() const;
  uint16_t getFBlockKey() const;
  uint8_t getNewInstID() const;
  const DSYSMOSTServer::DeviceInfoVector& getValidDevices() const;
  const DSYSMOSTTypes::FBlockKeyVector& getInvalidDevices() const;
  const DSYSMOSTTypes::FBlockKeyVector& getDevices() const;  // activate and deactivate
  DSYSMOSTServer::CleanUpRequest getECleanUpRequestType() const;
  uint16_t getDevCtrl() const;
  uint32_t getSubnetClientID() const;
  const DSYSMOSTTypes::Registry& getRegEntries() const;
  // Ends this thread's hold on the current response.
  void releaseResponse();

  // The attribute cache (see getDataState for each value's state).
  DSYSMOSTTypes::eMOSTCommunicationState getMOSTCommunicationState() const {
    return mCommunicationState;
  }
  const DSYSMOSTTypes::Registry& getRegistry() const { return mRegistry; }
  uint16_t getDeviceIDAttribute() const { return mDeviceID; }
  DSYSMOSTServer::CommCtrlMode getCommunicationCtrl() const { return mCommunicationCtrl; }
  uint16_t getExtDeviceID() const { return mExtDeviceID; }
  // The server's implementation version, once received.
  bool getServerImplVersion(CZvVersion& version) const;

  // The response a failed request was waiting for, or 0xC0000000 for none.
  static uint32_t expectedResponse(uint32_t requestId);

  // Handles a response event addressed to this proxy (the transport builds
  // them from received frames).
  void processEvent(const CDSYSMOSTServerResponseEvent& event);

 protected:
  int32_t updateIdIndex(uint32_t id) const override;
  bool isAttributeId(uint32_t id) const override;
  void deliverNotification(IZvEventConsumer& consumer, uint32_t id, uint32_t kind,
                           uint32_t sequence) override;
  void processResponseFrame(const SZvServiceFrame& frame) override;
  void onConnected() override;

 private:
  void sendPlain(const CDSYSMOSTServerRequest& request);
  int32_t openRegistration(IDSYSMOSTServerNotificationConsumer* consumer,
                           const CDSYSMOSTServerRequest& request, uint32_t answerId,
                           const std::vector<uint32_t>& ids);
  void closeRegistration(uint32_t unregistrationId, int32_t registration);
  const CDSYSMOSTServerResponse* responseFor(const char* name, uint32_t id1,
                                             uint32_t id2 = 0xFFFFFFFFu) const;
  void storeAttribute(const CDSYSMOSTServerResponse& response);

  ZvServices::DataStateType mDataStates[kUpdateIdCount] = {};
  DSYSMOSTTypes::eMOSTCommunicationState mCommunicationState = DSYSMOSTTypes::COMMUNICATION_DOWN;
  DSYSMOSTTypes::Registry mRegistry;
  uint16_t mDeviceID = 0;
  DSYSMOSTServer::CommCtrlMode mCommunicationCtrl = DSYSMOSTServer::COMM_CTRL_COMMUNICATE;
  uint16_t mExtDeviceID = 0;
  CZvVersion mServerVersion;
  bool mHasServerVersion = false;

  // The response being handed to consumers, and the reusable event that
  // carries it to a consumer of this thread.
  std::shared_ptr<const CDSYSMOSTServerResponse> mDelivering;
  CDSYSMOSTServerNotificationEvent mReusableEvent;
  uint32_t mReusableInUse = 0;
};

#endif  // FBKIT_CLIENT_DSYSMOST_PROXY_H
