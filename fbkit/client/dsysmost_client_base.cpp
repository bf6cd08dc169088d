#include "fbkit/client/dsysmost_client_base.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;

namespace {
const char kClassName[] = "CDSYSMOSTServerClientBase";
}

CDSYSMOSTServerClientBase::CDSYSMOSTServerClientBase(const CZvString& roleName)
    : mRoleName(roleName) {
  createProxy();
}

CDSYSMOSTServerClientBase::CDSYSMOSTServerClientBase(const CZvString& roleName, bool)
    : mRoleName(roleName) {}

CDSYSMOSTServerClientBase::~CDSYSMOSTServerClientBase() {
  if (mProxy == nullptr) return;
  // Registrations still open end with the client, also when other users keep
  // the shared proxy (and with it the connection) alive.
  if (mClientRegistration > 0) unregisterMOSTClient();
  if (mSubnetRegistration > 0) unregisterMOSTSubnet();
  if (mClientExtRegistration > 0) unregisterMOSTClientExt();
  mProxy->clearAllNotifications(this);
  mProxy->freeProxy(this);
  mProxy = nullptr;
}

bool CDSYSMOSTServerClientBase::createProxy() {
  if (mProxy == nullptr) mProxy = CDSYSMOSTServerProxy::createProxy(mRoleName, this);
  return mProxy != nullptr;
}

void CDSYSMOSTServerClientBase::processEvent(const CDSYSMOSTServerNotificationEvent& event) {
  setLastSequenceNumber(event.getSequenceNumber());
  uint32_t id = event.getUpdateID();
  switch (event.getResultKind()) {
    case ZvServices::RESULT_RESPONSE:
      dispatchResponse(id);
      break;
    case ZvServices::RESULT_RESPONSE_INVALID:
      responseInvalid(id);
      break;
    case ZvServices::RESULT_UPDATE:
    case ZvServices::RESULT_UPDATE_INVALID:
      dispatchUpdate(id);
      break;
    case ZvServices::RESULT_REQUEST_FAILED:
    case ZvServices::RESULT_REQUEST_BUSY:
      dispatchFailure(id, event.getResultKind());
      break;
    default:
      break;
  }
}

void CDSYSMOSTServerClientBase::dispatchResponse(uint32_t id) {
  CDSYSMOSTServerProxy* p = mProxy;
  if (p == nullptr) return;
  switch (id) {
    case responseMOSTClientId: responseMOSTClient(p->getClientID(), p->getDeviceID()); break;
    case informationProcessMessageId: informationProcessMessage(p->getMsg()); break;
    case informationChangeInstIDId:
      informationChangeInstID(p->getFBlockKey(), p->getNewInstID());
      break;
    case informationConnectId: informationConnect(p->getValidDevices()); break;
    case informationDisconnectId: informationDisconnect(p->getInvalidDevices()); break;
    case informationActivateId: informationActivate(p->getDevices()); break;
    case informationDeactivateId: informationDeactivate(p->getDevices()); break;
    case informationCleanUpId:
      informationCleanUp(p->getECleanUpRequestType(), p->getDevCtrl(), p->getDeviceID());
      break;
    case responseMOSTSubnetId: responseMOSTSubnet(p->getSubnetClientID()); break;
    case informationRegistryId: informationRegistry(p->getRegEntries()); break;
    default: break;
  }
}

void CDSYSMOSTServerClientBase::dispatchUpdate(uint32_t id) {
  CDSYSMOSTServerProxy* p = mProxy;
  if (p == nullptr) return;
  ZvServices::DataStateType state = p->getDataState(id);
  switch (id) {
    case MOSTCommunicationStateId:
      onMOSTCommunicationStateUpdate(p->getMOSTCommunicationState(), state);
      break;
    case RegistryId: onRegistryUpdate(p->getRegistry(), state); break;
    case DeviceIDId: onDeviceIDUpdate(p->getDeviceIDAttribute(), state); break;
    case CommunicationCtrlId: onCommunicationCtrlUpdate(p->getCommunicationCtrl(), state); break;
    case ExtDeviceIDId: onExtDeviceIDUpdate(p->getExtDeviceID(), state); break;
    default: break;
  }
}

void CDSYSMOSTServerClientBase::dispatchFailure(uint32_t id, uint32_t kind) {
  switch (id) {
    case registerMOSTClientId: registerMOSTClientFailed(kind); break;
    case unregisterMOSTClientId: unregisterMOSTClientFailed(kind); break;
    case registerMOSTClientExtId: registerMOSTClientExtFailed(kind); break;
    case unregisterMOSTClientExtId: unregisterMOSTClientExtFailed(kind); break;
    case requestRegisterDevicesId: requestRegisterDevicesFailed(kind); break;
    case requestRegisterExtDevicesId: requestRegisterExtDevicesFailed(kind); break;
    case requestRegisterDevCtrlsId: requestRegisterDevCtrlsFailed(kind); break;
    case requestUnregisterDevicesId: requestUnregisterDevicesFailed(kind); break;
    case requestUnregisterDevCtrlsId: requestUnregisterDevCtrlsFailed(kind); break;
    case requestProcessMessageId: requestProcessMessageFailed(kind); break;
    case requestChangeInstIDId: requestChangeInstIDFailed(kind); break;
    case requestCleanUpId: requestCleanUpFailed(kind); break;
    case registerMOSTSubnetId: registerMOSTSubnetFailed(kind); break;
    case unregisterMOSTSubnetId: unregisterMOSTSubnetFailed(kind); break;
    case requestSetRegistryFilterId: requestSetRegistryFilterFailed(kind); break;
    case requestSetCommunicationCtrlId: requestSetCommunicationCtrlFailed(kind); break;
    case requestProcessMessageVectorId: requestProcessMessageVectorFailed(kind); break;
    case requestEnableNotificationProxyId: requestEnableNotificationProxyFailed(kind); break;
    default: break;
  }
}

// Default handlers: report and do nothing else.
#define ZV_UPDATE_DEFAULT(Name, Type, Id)                                                \
  void CDSYSMOSTServerClientBase::Name(Type, ZvServices::DataStateType) {                \
    onUpdateNotImplemented(kClassName, Id);                                              \
  }
ZV_UPDATE_DEFAULT(onMOSTCommunicationStateUpdate, eMOSTCommunicationState, MOSTCommunicationStateId)
ZV_UPDATE_DEFAULT(onRegistryUpdate, const Registry&, RegistryId)
ZV_UPDATE_DEFAULT(onDeviceIDUpdate, uint16_t, DeviceIDId)
ZV_UPDATE_DEFAULT(onCommunicationCtrlUpdate, CommCtrlMode, CommunicationCtrlId)
ZV_UPDATE_DEFAULT(onExtDeviceIDUpdate, uint16_t, ExtDeviceIDId)
#undef ZV_UPDATE_DEFAULT

#define ZV_FAILED_DEFAULT(Name, Id)                  \
  void CDSYSMOSTServerClientBase::Name(uint32_t) {   \
    requestFailedNotImplemented(kClassName, Id);     \
  }
ZV_FAILED_DEFAULT(registerMOSTClientFailed, registerMOSTClientId)
ZV_FAILED_DEFAULT(unregisterMOSTClientFailed, unregisterMOSTClientId)
ZV_FAILED_DEFAULT(registerMOSTClientExtFailed, registerMOSTClientExtId)
ZV_FAILED_DEFAULT(unregisterMOSTClientExtFailed, unregisterMOSTClientExtId)
ZV_FAILED_DEFAULT(requestRegisterDevicesFailed, requestRegisterDevicesId)
ZV_FAILED_DEFAULT(requestRegisterExtDevicesFailed, requestRegisterExtDevicesId)
ZV_FAILED_DEFAULT(requestRegisterDevCtrlsFailed, requestRegisterDevCtrlsId)
ZV_FAILED_DEFAULT(requestUnregisterDevicesFailed, requestUnregisterDevicesId)
ZV_FAILED_DEFAULT(requestUnregisterDevCtrlsFailed, requestUnregisterDevCtrlsId)
ZV_FAILED_DEFAULT(requestProcessMessageFailed, requestProcessMessageId)
ZV_FAILED_DEFAULT(requestChangeInstIDFailed, requestChangeInstIDId)
ZV_FAILED_DEFAULT(requestCleanUpFailed, requestCleanUpId)
ZV_FAILED_DEFAULT(registerMOSTSubnetFailed, registerMOSTSubnetId)
ZV_FAILED_DEFAULT(unregisterMOSTSubnetFailed, unregisterMOSTSubnetId)
ZV_FAILED_DEFAULT(requestSetRegistryFilterFailed, requestSetRegistryFilterId)
ZV_FAILED_DEFAULT(requestSetCommunicationCtrlFailed, requestSetCommunicationCtrlId)
ZV_FAILED_DEFAULT(requestProcessMessageVectorFailed, requestProcessMessageVectorId)
ZV_FAILED_DEFAULT(requestEnableNotificationProxyFailed, requestEnableNotificationProxyId)
#undef ZV_FAILED_DEFAULT

void CDSYSMOSTServerClientBase::responseMOSTClient(uint32_t, uint16_t) {
  responseNotImplemented(kClassName, responseMOSTClientId);
}
void CDSYSMOSTServerClientBase::informationProcessMessage(const MessageType&) {
  responseNotImplemented(kClassName, informationProcessMessageId);
}
void CDSYSMOSTServerClientBase::informationChangeInstID(uint16_t, uint8_t) {
  responseNotImplemented(kClassName, informationChangeInstIDId);
}
void CDSYSMOSTServerClientBase::informationConnect(const DeviceInfoVector&) {
  responseNotImplemented(kClassName, informationConnectId);
}
void CDSYSMOSTServerClientBase::informationDisconnect(const FBlockKeyVector&) {
  responseNotImplemented(kClassName, informationDisconnectId);
}
void CDSYSMOSTServerClientBase::informationActivate(const FBlockKeyVector&) {
  responseNotImplemented(kClassName, informationActivateId);
}
void CDSYSMOSTServerClientBase::informationDeactivate(const FBlockKeyVector&) {
  responseNotImplemented(kClassName, informationDeactivateId);
}
void CDSYSMOSTServerClientBase::informationCleanUp(CleanUpRequest, uint16_t, uint16_t) {
  responseNotImplemented(kClassName, informationCleanUpId);
}
void CDSYSMOSTServerClientBase::responseMOSTSubnet(uint32_t) {
  responseNotImplemented(kClassName, responseMOSTSubnetId);
}
void CDSYSMOSTServerClientBase::informationRegistry(const Registry&) {
  responseNotImplemented(kClassName, informationRegistryId);
}
void CDSYSMOSTServerClientBase::responseInvalid(uint32_t id) {
  responseInvalidNotImplemented(kClassName, id);
}

#define ZV_FORWARD(Name, Params, Args) \
  void CDSYSMOSTServerClientBase::Name Params { \
    if (mProxy != nullptr) mProxy->Name Args;    \
  }
ZV_FORWARD(requestRegisterDevices, (uint32_t c, const FBlockKeyVector& k), (c, k))
ZV_FORWARD(requestRegisterDevCtrls, (uint32_t c, const FBlockKeyVector& k), (c, k))
ZV_FORWARD(requestProcessMessage, (uint32_t c, const MessageType& m), (c, m))
ZV_FORWARD(requestUnregisterDevices, (uint32_t c, const FBlockKeyVector& k), (c, k))
ZV_FORWARD(requestUnregisterDevCtrls, (uint32_t c, const FBlockKeyVector& k), (c, k))
ZV_FORWARD(requestChangeInstID, (uint32_t c, uint16_t k, uint8_t i), (c, k, i))
ZV_FORWARD(requestCleanUp, (uint32_t c), (c))
ZV_FORWARD(requestSetRegistryFilter, (uint32_t c, const FBlockKeyVector& k), (c, k))
ZV_FORWARD(requestSetCommunicationCtrl, (CommCtrlMode m), (m))
ZV_FORWARD(requestRegisterExtDevices, (uint32_t c, const FBlockKeyStringVector& d), (c, d))
ZV_FORWARD(requestProcessMessageVector, (uint32_t c, const MessageVector& m), (c, m))
ZV_FORWARD(requestEnableNotificationProxy, (uint32_t c), (c))
#undef ZV_FORWARD

int32_t CDSYSMOSTServerClientBase::registerMOSTClient(const std::vector<uint32_t>& ids) {
  if (mProxy == nullptr) return -1;
  mClientRegistration = mProxy->registerMOSTClient(this, ids);
  return mClientRegistration;
}

int32_t CDSYSMOSTServerClientBase::registerMOSTSubnet(uint16_t subnetID,
                                                      const std::vector<uint32_t>& ids) {
  if (mProxy == nullptr) return -1;
  mSubnetRegistration = mProxy->registerMOSTSubnet(this, subnetID, ids);
  return mSubnetRegistration;
}

int32_t CDSYSMOSTServerClientBase::registerMOSTClientExt(const std::vector<uint32_t>& ids,
                                                         const CZvString& name) {
  if (mProxy == nullptr) return -1;
  mClientExtRegistration = mProxy->registerMOSTClientExt(this, ids, name);
  return mClientExtRegistration;
}

void CDSYSMOSTServerClientBase::unregisterMOSTClient() {
  if (mProxy != nullptr) mProxy->unregisterMOSTClient(mClientRegistration);
  mClientRegistration = -1;
}

void CDSYSMOSTServerClientBase::unregisterMOSTSubnet() {
  if (mProxy != nullptr) mProxy->unregisterMOSTSubnet(mSubnetRegistration);
  mSubnetRegistration = -1;
}

void CDSYSMOSTServerClientBase::unregisterMOSTClientExt() {
  if (mProxy != nullptr) mProxy->unregisterMOSTClientExt(mClientExtRegistration);
  mClientExtRegistration = -1;
}

void CDSYSMOSTServerClientBase::notifyOn(uint32_t id, bool on) {
  if (mProxy == nullptr) return;
  if (on) {
    mProxy->setNotification(id, this);
  } else {
    mProxy->clearNotification(id, this);
  }
}

void CDSYSMOSTServerClientBase::clearAllNotifications() {
  if (mProxy != nullptr) mProxy->clearAllNotifications(this);
}
