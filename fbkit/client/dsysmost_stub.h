// CDSYSMOSTServerStub: the base of a MOST server. It decodes the requests of
// connected clients and calls the implementation's methods, answers
// registrations (busy while one is still unanswered), and sends responses,
// informations and attribute updates to the listening clients.
#ifndef FBKIT_CLIENT_DSYSMOST_STUB_H
#define FBKIT_CLIENT_DSYSMOST_STUB_H

#include <cstdint>

#include "fbkit/client/dsysmost_events.h"
#include "fbkit/client/dsysmost_server_types.h"
#include "platform/basalt/zv_version.h"
#include "platform/qrvi/stub_base.h"

class CDSYSMOSTServerStub : public CZvRegisterStubBase {
 public:
  static const CZvVersion sVersion;  // 4.5.0

  explicit CDSYSMOSTServerStub(const CZvString& roleName);
  ~CDSYSMOSTServerStub() override;

  // A request event of a client (kind 256); other kinds are ignored.
  virtual void processEvent(const CZvComponentEvent& event);
  // Sends a prepared response event (its kind, ID and value) to one listener.
  virtual bool sendServiceResponseEvent(const SZvStubListener& listener,
                                        const CDSYSMOSTServerResponseEvent& event);
  // Runs the last-listener hook of id.
  virtual void reportLastNotifcationCleared(uint32_t id) { lastNotifcationCleared(id); }
  // Drops every listener of id.
  virtual void clearListenerList(uint32_t id) { clearListeners(id); }
  // Withdraws the offer: every client is disconnected.
  virtual void unRegisterAll() { withdraw(); }
  virtual CZvVersion getImplVersion() const { return CZvVersion(0, 1, 0); }

  // Attributes: store and notify the listeners, unless the value is valid
  // already and unchanged. Sending marks the attribute valid.
  virtual void setMOSTCommunicationState(DSYSMOSTTypes::eMOSTCommunicationState value);
  virtual void setRegistry(const DSYSMOSTTypes::Registry& value);
  virtual void setDeviceID(uint16_t value);
  virtual void setCommunicationCtrl(DSYSMOSTServer::CommCtrlMode value);
  virtual void setExtDeviceID(uint16_t value);

  // The eighteen requests, implemented by the server. Registrations get the
  // session number under which their unregistration arrives.
  virtual void registerMOSTClient() = 0;
  virtual void unregisterMOSTClient(uint32_t session) = 0;
  virtual void registerMOSTClientExt(const CZvString& name) = 0;
  virtual void unregisterMOSTClientExt(uint32_t session) = 0;
  virtual void requestRegisterDevices(uint32_t clientID,
                                      const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void requestRegisterExtDevices(uint32_t clientID,
                                         const DSYSMOSTTypes::FBlockKeyStringVector& devices) = 0;
  virtual void requestRegisterDevCtrls(uint32_t clientID,
                                       const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void requestUnregisterDevices(uint32_t clientID,
                                        const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void requestUnregisterDevCtrls(uint32_t clientID,
                                         const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void requestProcessMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) = 0;
  virtual void requestChangeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID) = 0;
  virtual void requestCleanUp(uint32_t clientID) = 0;
  virtual void registerMOSTSubnet(uint16_t subnetID) = 0;
  virtual void unregisterMOSTSubnet(uint32_t session) = 0;
  virtual void requestSetRegistryFilter(uint32_t clientID,
                                        const DSYSMOSTTypes::FBlockKeyVector& keys) = 0;
  virtual void requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode mode) = 0;
  virtual void requestProcessMessageVector(uint32_t clientID,
                                           const DSYSMOSTTypes::MessageVector& msgs) = 0;
  virtual void requestEnableNotificationProxy(uint32_t clientID) = 0;

  // Answers: to the client whose registration waits for it, else the
  // selected session, else the sender of the request being handled, else the
  // first listener. False when nobody listens.
  virtual bool responseMOSTClient(uint32_t clientID, uint16_t deviceID);
  virtual bool informationProcessMessage(const DSYSMOSTTypes::MessageType& msg);
  virtual bool informationChangeInstID(uint16_t fblockKey, uint8_t newInstID);
  virtual bool informationConnect(const DSYSMOSTServer::DeviceInfoVector& validDevices);
  virtual bool informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& invalidDevices);
  virtual bool informationActivate(const DSYSMOSTTypes::FBlockKeyVector& devices);
  virtual bool informationDeactivate(const DSYSMOSTTypes::FBlockKeyVector& devices);
  virtual bool informationCleanUp(DSYSMOSTServer::CleanUpRequest request, uint16_t devCtrl,
                                  uint16_t deviceID);
  virtual bool responseMOSTSubnet(uint32_t subnetClientID);
  virtual bool informationRegistry(const DSYSMOSTTypes::Registry& regEntries);

  // A failure of a request, an invalid response or an invalid attribute.
  virtual void error(uint32_t id);
  // error() for the five attributes and the ten responses.
  void errorAll();

  // Hooks when an ID gets its first listener or loses its last one. The
  // misspelt names are kept for servers written against them.
  virtual void firstNotifcationSet(uint32_t id) { firstNotificationSet(id); }
  virtual void firstNotificationSet(uint32_t id) { (void)id; }
  virtual void lastNotifcationCleared(uint32_t id) { lastNotificationCleared(id); }
  virtual void lastNotificationCleared(uint32_t id) { (void)id; }

  ZvServices::DataStateType getAttributeState(uint32_t id) const;

 protected:
  void processRequestFrame(const SZvRequestContext& ctx, const SZvServiceFrame& frame) override;
  void onNewListener(uint32_t id, const SZvStubListener& listener) override;
  void onRegistrationClosed(uint32_t unregistrationId, uint32_t session) override;
  void onFirstListener(uint32_t id) override { firstNotifcationSet(id); }
  void onLastListenerRemoved(uint32_t id) override { lastNotifcationCleared(id); }

 private:
  bool sendAnswer(const CDSYSMOSTServerResponse& response);
  void notifyAttribute(const CDSYSMOSTServerResponse& value);
  void handleRegistration(const SZvRequestContext& ctx, const CDSYSMOSTServerRequest& request);
  void sendValue(const SZvStubListener& listener, uint32_t kind,
                 const CDSYSMOSTServerResponse* value);
  CDSYSMOSTServerResponse attributeValue(uint32_t id) const;

  ZvServices::DataStateType mAttributeStates[DSYSMOSTServer::kAttributeCount] = {};
  DSYSMOSTTypes::eMOSTCommunicationState mCommunicationState = DSYSMOSTTypes::COMMUNICATION_DOWN;
  DSYSMOSTTypes::Registry mRegistry;
  uint16_t mDeviceID = 0;
  DSYSMOSTServer::CommCtrlMode mCommunicationCtrl = DSYSMOSTServer::COMM_CTRL_COMMUNICATE;
  uint16_t mExtDeviceID = 0;
};

#endif  // FBKIT_CLIENT_DSYSMOST_STUB_H
