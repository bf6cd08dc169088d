// CDSYSMOSTServerClientBase: the base of a DSYSMOSTServer client. It owns the
// use of a proxy, turns each notification into a call of the matching
// virtual handler and forwards requests to the proxy. Handlers that a derived
// class does not override report "not implemented" through the middleware.
#ifndef FBKIT_CLIENT_DSYSMOST_CLIENT_BASE_H
#define FBKIT_CLIENT_DSYSMOST_CLIENT_BASE_H

#include <cstdint>
#include <vector>

#include "fbkit/client/dsysmost_notification.h"
#include "fbkit/client/dsysmost_proxy.h"
#include "platform/qrvi/client_base.h"
#include "platform/qrvi/proxy_base.h"

class CDSYSMOSTServerClientBase : public IDSYSMOSTServerNotificationConsumer,
                                  public IZvProxyConnectListener,
                                  public CZvClientBase {
 public:
  // Creates the mandatory proxy for the role at once.
  explicit CDSYSMOSTServerClientBase(const CZvString& roleName);
  // Leaves the proxy unset (createProxy() later).
  CDSYSMOSTServerClientBase(const CZvString& roleName, bool noProxy);
  ~CDSYSMOSTServerClientBase() override;

  void processEvent(const CDSYSMOSTServerNotificationEvent& event) override;

  // Attribute updates with the cached value and its data state.
  virtual void onMOSTCommunicationStateUpdate(DSYSMOSTTypes::eMOSTCommunicationState value,
                                              ZvServices::DataStateType state);
  virtual void onRegistryUpdate(const DSYSMOSTTypes::Registry& entries,
                                ZvServices::DataStateType state);
  virtual void onDeviceIDUpdate(uint16_t id, ZvServices::DataStateType state);
  virtual void onCommunicationCtrlUpdate(DSYSMOSTServer::CommCtrlMode mode,
                                         ZvServices::DataStateType state);
  virtual void onExtDeviceIDUpdate(uint16_t id, ZvServices::DataStateType state);
  // Responses, informations and request failures (with the result kind).
  virtual void registerMOSTClientFailed(uint32_t resultKind);
  virtual void unregisterMOSTClientFailed(uint32_t resultKind);
  virtual void responseMOSTClient(uint32_t clientID, uint16_t deviceID);
  virtual void registerMOSTClientExtFailed(uint32_t resultKind);
  virtual void unregisterMOSTClientExtFailed(uint32_t resultKind);
  virtual void requestRegisterDevicesFailed(uint32_t resultKind);
  virtual void requestRegisterExtDevicesFailed(uint32_t resultKind);
  virtual void requestRegisterDevCtrlsFailed(uint32_t resultKind);
  virtual void requestUnregisterDevicesFailed(uint32_t resultKind);
  virtual void requestUnregisterDevCtrlsFailed(uint32_t resultKind);
  virtual void requestProcessMessageFailed(uint32_t resultKind);
  virtual void informationProcessMessage(const DSYSMOSTTypes::MessageType& msg);
  virtual void informationChangeInstID(uint16_t fblockKey, uint8_t newInstID);
  virtual void requestChangeInstIDFailed(uint32_t resultKind);
  virtual void informationConnect(const DSYSMOSTServer::DeviceInfoVector& validDevices);
  virtual void informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& invalidDevices);
  virtual void informationActivate(const DSYSMOSTTypes::FBlockKeyVector& devices);
  virtual void informationDeactivate(const DSYSMOSTTypes::FBlockKeyVector& devices);
  virtual void informationCleanUp(DSYSMOSTServer::CleanUpRequest request, uint16_t devCtrl,
                                  uint16_t deviceID);
  virtual void requestCleanUpFailed(uint32_t resultKind);
  virtual void registerMOSTSubnetFailed(uint32_t resultKind);
  virtual void unregisterMOSTSubnetFailed(uint32_t resultKind);
  virtual void responseMOSTSubnet(uint32_t subnetClientID);
  virtual void requestSetRegistryFilterFailed(uint32_t resultKind);
  virtual void informationRegistry(const DSYSMOSTTypes::Registry& regEntries);
  virtual void requestSetCommunicationCtrlFailed(uint32_t resultKind);
  virtual void requestProcessMessageVectorFailed(uint32_t resultKind);
  virtual void requestEnableNotificationProxyFailed(uint32_t resultKind);
  virtual void responseInvalid(uint32_t id);

  // Requests, forwarded to the proxy (dropped while it is not connected).
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
  // Registrations of this client; the registration number is kept for the
  // matching unregistration. Return -1 when not possible now.
  int32_t registerMOSTClient(const std::vector<uint32_t>& ids);
  int32_t registerMOSTSubnet(uint16_t subnetID, const std::vector<uint32_t>& ids);
  int32_t registerMOSTClientExt(const std::vector<uint32_t>& ids, const CZvString& name);
  void unregisterMOSTClient();
  void unregisterMOSTSubnet();
  void unregisterMOSTClientExt();

  // Notification of one update ID for this client on or off.
  void notifyOn(uint32_t id, bool on);
  void notifyOnRegistry(bool on) { notifyOn(DSYSMOSTServer::RegistryId, on); }
  void clearAllNotifications();

  CDSYSMOSTServerProxy* getProxy() { return mProxy; }
  const CDSYSMOSTServerProxy* getProxy() const { return mProxy; }
  // Creates the proxy when the constructor left it unset.
  bool createProxy();
  const CZvString& getRoleName() const { return mRoleName; }

 private:
  void dispatchResponse(uint32_t id);
  void dispatchUpdate(uint32_t id);
  void dispatchFailure(uint32_t id, uint32_t resultKind);

  CZvString mRoleName;
  CDSYSMOSTServerProxy* mProxy = nullptr;
  int32_t mClientRegistration = -1;
  int32_t mSubnetRegistration = -1;
  int32_t mClientExtRegistration = -1;
};

#endif  // FBKIT_CLIENT_DSYSMOST_CLIENT_BASE_H
