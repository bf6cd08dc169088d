#include "fbkit/client/dsysmost_proxy.h"

#include "fbkit/client/dsysmost_wire_codec.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_trace.h"
#include "platform/qrvi/service_broker.h"
#include "platform/qrvi/service_reports.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;

namespace {

CZvTraceScopeDef gTrace("framework_comm_most_CDSYSMOSTServerProxy", "");
const char kClassText[] = " CDSYSMOSTServerProxy";
constexpr uint32_t kNone = 0xC0000000u;

// Values handed out when a getter is used without a response.
const CDSYSMOSTServerResponse& emptyResponse() {
  static const CDSYSMOSTServerResponse empty;
  return empty;
}

}  // namespace

const CZvVersion CDSYSMOSTServerProxy::sVersion(4, 5, 0);
const SZvServiceInterface CDSYSMOSTServerProxy::sInterface = {
    "DSYSMOSTServer", CZvVersion(4, 5, 0), kRequestCount, kResponseCount, kAttributeCount};

CDSYSMOSTServerProxy* CDSYSMOSTServerProxy::createProxy(const CZvString& roleName,
                                                        IZvProxyConnectListener* listener) {
  return static_cast<CDSYSMOSTServerProxy*>(CZvServiceBroker::instance().acquireProxy(
      sInterface.name, roleName, [roleName] { return new CDSYSMOSTServerProxy(roleName); },
      listener));
}

CDSYSMOSTServerProxy* CDSYSMOSTServerProxy::createOptionalProxy(const CZvString& roleName,
                                                                IZvProxyConnectListener* listener) {
  return static_cast<CDSYSMOSTServerProxy*>(CZvServiceBroker::instance().acquireProxy(
      sInterface.name, roleName,
      [roleName] {
        auto* proxy = new CDSYSMOSTServerProxy(roleName);
        proxy->setMandatory(false);
        return proxy;
      },
      listener));
}

void CDSYSMOSTServerProxy::freeProxy(IZvProxyConnectListener* listener) {
  CZvServiceBroker::instance().releaseProxy(this, listener);
}

bool CDSYSMOSTServerProxy::load(const CZvString&) { return true; }

bool CDSYSMOSTServerProxy::getAvailableRoles(std::vector<CZvString>& names) {
  names = CZvServiceBroker::instance().getAvailableRoles(sInterface.name);
  return !names.empty();
}

CDSYSMOSTServerProxy::CDSYSMOSTServerProxy(const CZvString& roleName)
    : CZvRegisterProxyBase(sInterface, roleName, mDataStates, kUpdateIdCount) {}

CDSYSMOSTServerProxy::~CDSYSMOSTServerProxy() = default;

uint32_t CDSYSMOSTServerProxy::expectedResponse(uint32_t requestId) {
  switch (requestId) {
    case registerMOSTClientId:
    case registerMOSTClientExtId:
      return responseMOSTClientId;
    case registerMOSTSubnetId:
      return responseMOSTSubnetId;
    default:
      return kNone;
  }
}

int32_t CDSYSMOSTServerProxy::updateIdIndex(uint32_t id) const {
  return DSYSMOSTServer::updateIdIndex(id);
}

bool CDSYSMOSTServerProxy::isAttributeId(uint32_t id) const {
  return DSYSMOSTServer::isAttributeId(id);
}

void CDSYSMOSTServerProxy::onConnected() { requestStubNotification(ZvServices::kVersionId); }

void CDSYSMOSTServerProxy::sendPlain(const CDSYSMOSTServerRequest& request) {
  if (!isRequestPossible(request.getId(), sInterface.name)) return;
  thread_local CZvQRVOStream params;
  params.clear();
  request.writeQRV(params);
  sendRequest(request.getId(), params);
}

void CDSYSMOSTServerProxy::requestRegisterDevices(uint32_t clientID, const FBlockKeyVector& keys) {
  CDSYSMOSTServerRequest r(requestRegisterDevicesId);
  r.keys = {clientID, keys};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestRegisterDevCtrls(uint32_t clientID, const FBlockKeyVector& keys) {
  CDSYSMOSTServerRequest r(requestRegisterDevCtrlsId);
  r.keys = {clientID, keys};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestProcessMessage(uint32_t clientID, const MessageType& msg) {
  if (!isRequestPossible(requestProcessMessageId, sInterface.name)) return;
  // The hot path: written straight into the parameter block without a copy
  // of the message.
  thread_local CZvQRVOStream params;
  params.clear();
  params.writeU32(clientID);
  ZvDSYSMOSTWire::write(params, msg);
  sendRequest(requestProcessMessageId, params);
}

void CDSYSMOSTServerProxy::requestUnregisterDevices(uint32_t clientID, const FBlockKeyVector& keys) {
  CDSYSMOSTServerRequest r(requestUnregisterDevicesId);
  r.keys = {clientID, keys};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestUnregisterDevCtrls(uint32_t clientID,
                                                     const FBlockKeyVector& keys) {
  CDSYSMOSTServerRequest r(requestUnregisterDevCtrlsId);
  r.keys = {clientID, keys};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestChangeInstID(uint32_t clientID, uint16_t fblockKey,
                                               uint8_t newInstID) {
  CDSYSMOSTServerRequest r(requestChangeInstIDId);
  r.changeInstID = {clientID, fblockKey, newInstID};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestCleanUp(uint32_t clientID) {
  CDSYSMOSTServerRequest r(requestCleanUpId);
  r.client.clientID = clientID;
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestSetRegistryFilter(uint32_t clientID,
                                                    const FBlockKeyVector& keys) {
  CDSYSMOSTServerRequest r(requestSetRegistryFilterId);
  r.keys = {clientID, keys};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestSetCommunicationCtrl(CommCtrlMode mode) {
  CDSYSMOSTServerRequest r(requestSetCommunicationCtrlId);
  r.communicationCtrl.mode = mode;
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestRegisterExtDevices(uint32_t clientID,
                                                     const FBlockKeyStringVector& devices) {
  CDSYSMOSTServerRequest r(requestRegisterExtDevicesId);
  r.extDevices = {clientID, devices};
  sendPlain(r);
}

void CDSYSMOSTServerProxy::requestProcessMessageVector(uint32_t clientID,
                                                       const MessageVector& msgs) {
  if (!isRequestPossible(requestProcessMessageVectorId, sInterface.name)) return;
  thread_local CZvQRVOStream params;
  params.clear();
  params.writeU32(clientID);
  ZvDSYSMOSTWire::write(params, msgs);
  sendRequest(requestProcessMessageVectorId, params);
}

void CDSYSMOSTServerProxy::requestEnableNotificationProxy(uint32_t clientID) {
  CDSYSMOSTServerRequest r(requestEnableNotificationProxyId);
  r.client.clientID = clientID;
  sendPlain(r);
}

int32_t CDSYSMOSTServerProxy::openRegistration(IDSYSMOSTServerNotificationConsumer* consumer,
                                               const CDSYSMOSTServerRequest& request,
                                               uint32_t answerId,
                                               const std::vector<uint32_t>& ids) {
  if (consumer == nullptr || !isRequestPossible(request.getId(), sInterface.name)) return -1;
  uint32_t registration = nextRegistrationNumber();
  std::vector<uint32_t> all;
  all.reserve(ids.size() + 1);
  all.push_back(answerId);
  all.insert(all.end(), ids.begin(), ids.end());
  setSessionNotification(registration, all.data(), static_cast<uint32_t>(all.size()), consumer);
  CZvQRVOStream params;
  request.writeQRV(params);
  if (sendRequest(request.getId(), params, registration) == 0) return -1;
  return static_cast<int32_t>(registration);
}

int32_t CDSYSMOSTServerProxy::registerMOSTClient(IDSYSMOSTServerNotificationConsumer* consumer,
                                                 const std::vector<uint32_t>& ids) {
  return openRegistration(consumer, CDSYSMOSTServerRequest(registerMOSTClientId),
                          responseMOSTClientId, ids);
}

int32_t CDSYSMOSTServerProxy::registerMOSTSubnet(IDSYSMOSTServerNotificationConsumer* consumer,
                                                 uint16_t subnetID,
                                                 const std::vector<uint32_t>& ids) {
  CDSYSMOSTServerRequest r(registerMOSTSubnetId);
  r.subnet.subnetID = subnetID;
  return openRegistration(consumer, r, responseMOSTSubnetId, ids);
}

int32_t CDSYSMOSTServerProxy::registerMOSTClientExt(IDSYSMOSTServerNotificationConsumer* consumer,
                                                    const std::vector<uint32_t>& ids,
                                                    const CZvString& name) {
  CDSYSMOSTServerRequest r(registerMOSTClientExtId);
  r.clientExt.name = name;
  return openRegistration(consumer, r, responseMOSTClientId, ids);
}

void CDSYSMOSTServerProxy::closeRegistration(uint32_t unregistrationId, int32_t registration) {
  if (registration <= 0) return;
  forgetRegistration(static_cast<uint32_t>(registration));
  if (!isRequestPossible(unregistrationId, sInterface.name)) return;
  CZvQRVOStream none;
  sendRequest(unregistrationId, none, static_cast<uint32_t>(registration));
}

void CDSYSMOSTServerProxy::unregisterMOSTClient(int32_t registration) {
  closeRegistration(unregisterMOSTClientId, registration);
}

void CDSYSMOSTServerProxy::unregisterMOSTSubnet(int32_t registration) {
  closeRegistration(unregisterMOSTSubnetId, registration);
}

void CDSYSMOSTServerProxy::unregisterMOSTClientExt(int32_t registration) {
  closeRegistration(unregisterMOSTClientExtId, registration);
}

const CDSYSMOSTServerResponse* CDSYSMOSTServerProxy::responseFor(const char* name, uint32_t id1,
                                                                 uint32_t id2) const {
  const CDSYSMOSTServerResponse* current = ZvDSYSMOSTDelivery::currentResponse(this);
  if (current == nullptr) {
    CZvString noResponse = CZvString::formatted("%s_NoResponse", name);
    ZvServices::reportInvalidAccess(noResponse.c_str(), kClassText);
    return &emptyResponse();
  }
  if (current->getId() != id1 && current->getId() != id2) {
    ZvServices::reportInvalidAccess(name, kClassText);
  }
  return current;
}

uint32_t CDSYSMOSTServerProxy::getClientID() const {
  return responseFor("ClientID", responseMOSTClientId)->mostClient.clientID;
}

uint16_t CDSYSMOSTServerProxy::getDeviceID() const {
  const CDSYSMOSTServerResponse* r = responseFor("DeviceID", responseMOSTClientId, informationCleanUpId);
  return r->getId() == informationCleanUpId ? r->cleanUp.deviceID : r->mostClient.deviceID;
}

const MessageType& CDSYSMOSTServerProxy::getMsg() const {
  return responseFor("Msg", informationProcessMessageId)->processMessage.msg;
}

uint16_t CDSYSMOSTServerProxy::getFBlockKey() const {
  return responseFor("FBlockKey", informationChangeInstIDId)->changeInstID.fblockKey;
}

uint8_t CDSYSMOSTServerProxy::getNewInstID() const {
  return responseFor("NewInstID", informationChangeInstIDId)->changeInstID.newInstID;
}

const DeviceInfoVector& CDSYSMOSTServerProxy::getValidDevices() const {
  return responseFor("ValidDevices", informationConnectId)->connect.validDevices;
}

const FBlockKeyVector& CDSYSMOSTServerProxy::getInvalidDevices() const {
  return responseFor("InvalidDevices", informationDisconnectId)->disconnect.invalidDevices;
}

const FBlockKeyVector& CDSYSMOSTServerProxy::getDevices() const {
  return responseFor("Devices", informationActivateId, informationDeactivateId)->devices.devices;
}

CleanUpRequest CDSYSMOSTServerProxy::getECleanUpRequestType() const {
  return responseFor("ECleanUpRequestType", informationCleanUpId)->cleanUp.request;
}

uint16_t CDSYSMOSTServerProxy::getDevCtrl() const {
  return responseFor("DevCtrl", informationCleanUpId)->cleanUp.devCtrl;
}

uint32_t CDSYSMOSTServerProxy::getSubnetClientID() const {
  return responseFor("SubnetClientID", responseMOSTSubnetId)->subnet.subnetClientID;
}

const Registry& CDSYSMOSTServerProxy::getRegEntries() const {
  return responseFor("RegEntries", informationRegistryId)->registry.regEntries;
}

void CDSYSMOSTServerProxy::releaseResponse() { ZvDSYSMOSTDelivery::releaseCurrent(this); }

bool CDSYSMOSTServerProxy::getServerImplVersion(CZvVersion& version) const {
  if (mHasServerVersion) version = mServerVersion;
  return mHasServerVersion;
}

void CDSYSMOSTServerProxy::storeAttribute(const CDSYSMOSTServerResponse& r) {
  switch (r.getId()) {
    case MOSTCommunicationStateId: mCommunicationState = r.communicationState; break;
    case RegistryId: mRegistry = r.registryValue; break;
    case DeviceIDId: mDeviceID = r.deviceID; break;
    case CommunicationCtrlId: mCommunicationCtrl = r.communicationCtrl; break;
    case ExtDeviceIDId: mExtDeviceID = r.extDeviceID; break;
    default: break;
  }
}

void CDSYSMOSTServerProxy::processResponseFrame(const SZvServiceFrame& frame) {
  CZvQRVIStream params(frame.body.data(), static_cast<uint32_t>(frame.body.size()));
  if (!isIdValidForResultKind(frame.kind, frame.updateID)) {
    CZvTraceScope(gTrace).sendFormattedError("dropped response 0x%08X of kind %u: unknown ID",
                                             frame.updateID, frame.kind);
    return;
  }
  CDSYSMOSTServerResponseEvent event(this, frame.kind, frame.updateID, params);
  if (!event.isValid()) {
    CZvTraceScope(gTrace).sendFormattedError("dropped malformed response 0x%08X of kind %u",
                                             frame.updateID, frame.kind);
    return;
  }
  event.setSequenceNumber(frame.sequence);
  event.setRegistrationNumber(frame.registration);
  processEvent(event);
}

void CDSYSMOSTServerProxy::processEvent(const CDSYSMOSTServerResponseEvent& event) {
  if (event.getProxy() != this) {
    ZV_CHEAP_ASSERT(event.getProxy() == this);
    return;
  }
  uint32_t id = event.getUpdateID();
  uint32_t kind = event.getResultKind();
  uint32_t listenId = id;
  if (id == ZvServices::kVersionId) {
    if (kind == ZvServices::RESULT_UPDATE) {
      mServerVersion = event.getResponse().implVersion;
      mHasServerVersion = true;
    }
    return;
  }
  switch (kind) {
    case ZvServices::RESULT_RESPONSE:
      setDataState(id, ZvServices::DATA_VALID);
      break;
    case ZvServices::RESULT_UPDATE:
      storeAttribute(event.getResponse());
      setDataState(id, ZvServices::DATA_VALID);
      break;
    case ZvServices::RESULT_RESPONSE_INVALID:
    case ZvServices::RESULT_UPDATE_INVALID:
      setDataState(id, ZvServices::DATA_INVALID);
      break;
    case ZvServices::RESULT_REQUEST_FAILED:
    case ZvServices::RESULT_REQUEST_BUSY:
      if (expectedResponse(id) != kNone) {
        listenId = expectedResponse(id);
        setDataState(listenId, ZvServices::DATA_INVALID);
      }
      break;
    default:
      ZV_CHEAP_ASSERT(false);
      return;
  }
  mDelivering = std::make_shared<const CDSYSMOSTServerResponse>(event.getResponse());
  notifyConsumers(listenId, id, kind, event.getSequenceNumber(), event.getRegistrationNumber());
  mDelivering.reset();
}

void CDSYSMOSTServerProxy::deliverNotification(IZvEventConsumer& consumer, uint32_t id,
                                               uint32_t kind, uint32_t sequence) {
  CDSYSMOSTServerNotification n{this, kind, id, sequence};
  std::shared_ptr<const CDSYSMOSTServerResponse> response = mDelivering;
  if (!response || (response->getId() != id && kind != ZvServices::RESULT_REQUEST_FAILED &&
                    kind != ZvServices::RESULT_REQUEST_BUSY)) {
    // An answer from the cache (a new listener of a known attribute).
    auto cached = std::make_shared<CDSYSMOSTServerResponse>(id);
    cached->communicationState = mCommunicationState;
    cached->registryValue = mRegistry;
    cached->deviceID = mDeviceID;
    cached->communicationCtrl = mCommunicationCtrl;
    cached->extDeviceID = mExtDeviceID;
    response = cached;
  }
  if (consumer.getContextID() != CZvThread::currentContextID()) {
    // A consumer of another thread gets its own event through its loop.
    CDSYSMOSTServerNotificationEvent* event = CDSYSMOSTServerNotificationEvent::createEvent(n);
    event->set(n, response);
    event->setTarget(&consumer);
    event->send();
    return;
  }
  // A consumer of this thread is called at once with the reusable event;
  // should it be in use already (a handler that causes another delivery), a
  // fresh one serves.
  CZvEventDispatcher dispatcher(&consumer, CZvThread::currentContextID());
  if (mReusableInUse == 0) {
    ++mReusableInUse;
    mReusableEvent.set(n, response);
    mReusableEvent.dispatchSelf(dispatcher);
    mReusableEvent.releaseResponse();
    --mReusableInUse;
  } else {
    CDSYSMOSTServerNotificationEvent event(n);
    event.set(n, response);
    event.dispatchSelf(dispatcher);
  }
}
