#include "fbkit/client/dsysmost_stub.h"

#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"
#include "fbkit/client/dsysmost_proxy.h"

using namespace DSYSMOSTServer;
using namespace DSYSMOSTTypes;

namespace {

CZvTraceScopeDef gTrace("framework_comm_most_CDSYSMOSTServerStub", "");

uint32_t attributeIndex(uint32_t id) { return id - kFirstAttributeId; }

}  // namespace

const CZvVersion CDSYSMOSTServerStub::sVersion(4, 5, 0);

CDSYSMOSTServerStub::CDSYSMOSTServerStub(const CZvString& roleName)
    : CZvRegisterStubBase(CDSYSMOSTServerProxy::sInterface, roleName) {}

CDSYSMOSTServerStub::~CDSYSMOSTServerStub() = default;

ZvServices::DataStateType CDSYSMOSTServerStub::getAttributeState(uint32_t id) const {
  return isAttributeId(id) ? mAttributeStates[attributeIndex(id)] : ZvServices::DATA_NOT_AVAILABLE;
}

void CDSYSMOSTServerStub::processRequestFrame(const SZvRequestContext& ctx,
                                              const SZvServiceFrame& frame) {
  CZvQRVIStream params(frame.body.data(), static_cast<uint32_t>(frame.body.size()));
  if (!isRequestId(frame.updateID)) {
    CZvTraceScope(gTrace).sendFormattedError("dropped request with unknown ID 0x%08X",
                                             frame.updateID);
    return;
  }
  CDSYSMOSTServerRequestEvent event(frame.kind, frame.updateID, ctx.sequence, ctx.registration,
                                    params);
  if (!event.isValid()) {
    CZvTraceScope(gTrace).sendFormattedError("dropped malformed request %s (%u bytes)",
                                             updateIdName(frame.updateID),
                                             static_cast<unsigned>(frame.body.size()));
    return;
  }
  processEvent(event);
}

void CDSYSMOSTServerStub::processEvent(const CZvComponentEvent& componentEvent) {
  auto* event = static_cast<CDSYSMOSTServerRequestEvent*>(
      const_cast<CZvComponentEvent&>(componentEvent).castToPtr(CDSYSMOSTServerRequestEvent::sClassID));
  if (event == nullptr) {
    ZV_CHEAP_ASSERT(event != nullptr);
    return;
  }
  if (event->getKind() != ZvServices::KIND_REQUEST) return;
  SZvRequestContext ctx;
  if (currentRequest() != nullptr) {
    ctx = *currentRequest();
  } else {
    ctx.sequence = event->getSequenceNumber();
    ctx.registration = event->getRegistrationNumber();
  }
  const CDSYSMOSTServerRequest& r = event->getRequest();
  switch (r.getId()) {
    case registerMOSTClientId:
    case registerMOSTSubnetId:
    case registerMOSTClientExtId:
      handleRegistration(ctx, r);
      break;
    case unregisterMOSTClientId:
    case unregisterMOSTSubnetId:
    case unregisterMOSTClientExtId: {
      uint32_t unregistrationId = 0;
      uint32_t session = 0;
      if (closeRegistration(ctx, unregistrationId, session)) {
        onRegistrationClosed(unregistrationId, session);
      }
      break;
    }
    case requestRegisterDevicesId: requestRegisterDevices(r.keys.clientID, r.keys.fblockKeys); break;
    case requestRegisterDevCtrlsId: requestRegisterDevCtrls(r.keys.clientID, r.keys.fblockKeys); break;
    case requestProcessMessageId:
      requestProcessMessage(r.processMessage.clientID, r.processMessage.msg);
      break;
    case requestUnregisterDevicesId:
      requestUnregisterDevices(r.keys.clientID, r.keys.fblockKeys);
      break;
    case requestUnregisterDevCtrlsId:
      requestUnregisterDevCtrls(r.keys.clientID, r.keys.fblockKeys);
      break;
    case requestChangeInstIDId:
      requestChangeInstID(r.changeInstID.clientID, r.changeInstID.fblockKey,
                          r.changeInstID.newInstID);
      break;
    case requestCleanUpId: requestCleanUp(r.client.clientID); break;
    case requestSetRegistryFilterId:
      requestSetRegistryFilter(r.keys.clientID, r.keys.fblockKeys);
      break;
    case requestSetCommunicationCtrlId: requestSetCommunicationCtrl(r.communicationCtrl.mode); break;
    case requestRegisterExtDevicesId:
      requestRegisterExtDevices(r.extDevices.clientID, r.extDevices.devices);
      break;
    case requestProcessMessageVectorId:
      requestProcessMessageVector(r.messageVector.clientID, r.messageVector.msgs);
      break;
    case requestEnableNotificationProxyId: requestEnableNotificationProxy(r.client.clientID); break;
    default:
      break;
  }
}

void CDSYSMOSTServerStub::handleRegistration(const SZvRequestContext& ctx,
                                             const CDSYSMOSTServerRequest& r) {
  uint32_t answerId = CDSYSMOSTServerProxy::expectedResponse(r.getId());
  if (isAnswerPending(answerId)) {
    // The answer of an earlier registration is still awaited: tell the caller
    // at once and forget this request.
    CZvTraceScope(gTrace).sendFormattedWarning("%s while busy: answered busy",
                                               updateIdName(r.getId()));
    sendToListener(SZvStubListener{ctx.peer, ctx.registration}, ZvServices::RESULT_REQUEST_BUSY,
                   r.getId(), ctx.sequence, nullptr);
    return;
  }
  setAnswerPending(answerId, ctx);
  switch (r.getId()) {
    case registerMOSTClientId:
      openRegistration(ctx, unregisterMOSTClientId);
      registerMOSTClient();
      break;
    case registerMOSTSubnetId:
      openRegistration(ctx, unregisterMOSTSubnetId);
      registerMOSTSubnet(r.subnet.subnetID);
      break;
    default:
      openRegistration(ctx, unregisterMOSTClientExtId);
      registerMOSTClientExt(r.clientExt.name);
      break;
  }
}

void CDSYSMOSTServerStub::onRegistrationClosed(uint32_t unregistrationId, uint32_t session) {
  switch (unregistrationId) {
    case unregisterMOSTClientId: unregisterMOSTClient(session); break;
    case unregisterMOSTSubnetId: unregisterMOSTSubnet(session); break;
    case unregisterMOSTClientExtId: unregisterMOSTClientExt(session); break;
    default: break;
  }
}

void CDSYSMOSTServerStub::sendValue(const SZvStubListener& listener, uint32_t kind,
                                    const CDSYSMOSTServerResponse* value) {
  thread_local CZvQRVOStream params;
  params.clear();
  if (value != nullptr) value->writeQRV(params);
  sendToListener(listener, kind, value != nullptr ? value->getId() : 0, nextSequence(), &params);
}

bool CDSYSMOSTServerStub::sendServiceResponseEvent(const SZvStubListener& listener,
                                                   const CDSYSMOSTServerResponseEvent& event) {
  thread_local CZvQRVOStream params;
  params.clear();
  event.writeQRVToStream(params);
  uint32_t sequence = event.getSequenceNumber() != 0 ? event.getSequenceNumber() : nextSequence();
  return sendToListener(listener, event.getResultKind(), event.getUpdateID(), sequence, &params);
}

bool CDSYSMOSTServerStub::sendAnswer(const CDSYSMOSTServerResponse& response) {
  SZvStubListener target;
  if (!prepareAnswer(response.getId(), target)) return false;
  thread_local CZvQRVOStream params;
  params.clear();
  response.writeQRV(params);
  return sendToListener(target, ZvServices::RESULT_RESPONSE, response.getId(), nextSequence(),
                        &params);
}

bool CDSYSMOSTServerStub::responseMOSTClient(uint32_t clientID, uint16_t deviceID) {
  CDSYSMOSTServerResponse r(responseMOSTClientId);
  r.mostClient = {clientID, deviceID};
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationProcessMessage(const MessageType& msg) {
  CDSYSMOSTServerResponse r(informationProcessMessageId);
  r.processMessage.msg = msg;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationChangeInstID(uint16_t fblockKey, uint8_t newInstID) {
  CDSYSMOSTServerResponse r(informationChangeInstIDId);
  r.changeInstID = {fblockKey, newInstID};
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationConnect(const DeviceInfoVector& validDevices) {
  CDSYSMOSTServerResponse r(informationConnectId);
  r.connect.validDevices = validDevices;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationDisconnect(const FBlockKeyVector& invalidDevices) {
  CDSYSMOSTServerResponse r(informationDisconnectId);
  r.disconnect.invalidDevices = invalidDevices;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationActivate(const FBlockKeyVector& devices) {
  CDSYSMOSTServerResponse r(informationActivateId);
  r.devices.devices = devices;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationDeactivate(const FBlockKeyVector& devices) {
  CDSYSMOSTServerResponse r(informationDeactivateId);
  r.devices.devices = devices;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationCleanUp(CleanUpRequest request, uint16_t devCtrl,
                                             uint16_t deviceID) {
  CDSYSMOSTServerResponse r(informationCleanUpId);
  r.cleanUp = {request, devCtrl, deviceID};
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::responseMOSTSubnet(uint32_t subnetClientID) {
  CDSYSMOSTServerResponse r(responseMOSTSubnetId);
  r.subnet.subnetClientID = subnetClientID;
  return sendAnswer(r);
}

bool CDSYSMOSTServerStub::informationRegistry(const Registry& regEntries) {
  CDSYSMOSTServerResponse r(informationRegistryId);
  r.registry.regEntries = regEntries;
  return sendAnswer(r);
}

CDSYSMOSTServerResponse CDSYSMOSTServerStub::attributeValue(uint32_t id) const {
  CDSYSMOSTServerResponse r(id);
  r.communicationState = mCommunicationState;
  r.registryValue = mRegistry;
  r.deviceID = mDeviceID;
  r.communicationCtrl = mCommunicationCtrl;
  r.extDeviceID = mExtDeviceID;
  return r;
}

void CDSYSMOSTServerStub::notifyAttribute(const CDSYSMOSTServerResponse& value) {
  mAttributeStates[attributeIndex(value.getId())] = ZvServices::DATA_VALID;
  thread_local CZvQRVOStream params;
  params.clear();
  value.writeQRV(params);
  sendToAllListeners(ZvServices::RESULT_UPDATE, value.getId(), &params);
}

void CDSYSMOSTServerStub::setMOSTCommunicationState(eMOSTCommunicationState value) {
  if (getAttributeState(MOSTCommunicationStateId) == ZvServices::DATA_VALID &&
      value == mCommunicationState) {
    return;
  }
  mCommunicationState = value;
  notifyAttribute(attributeValue(MOSTCommunicationStateId));
}

void CDSYSMOSTServerStub::setRegistry(const Registry& value) {
  if (getAttributeState(RegistryId) == ZvServices::DATA_VALID && value == mRegistry) return;
  mRegistry = value;
  CDSYSMOSTServerResponse r(RegistryId);
  r.registryValue = value;
  notifyAttribute(r);
}

void CDSYSMOSTServerStub::setDeviceID(uint16_t value) {
  if (getAttributeState(DeviceIDId) == ZvServices::DATA_VALID && value == mDeviceID) return;
  mDeviceID = value;
  notifyAttribute(attributeValue(DeviceIDId));
}

void CDSYSMOSTServerStub::setCommunicationCtrl(CommCtrlMode value) {
  if (getAttributeState(CommunicationCtrlId) == ZvServices::DATA_VALID &&
      value == mCommunicationCtrl) {
    return;
  }
  mCommunicationCtrl = value;
  notifyAttribute(attributeValue(CommunicationCtrlId));
}

void CDSYSMOSTServerStub::setExtDeviceID(uint16_t value) {
  if (getAttributeState(ExtDeviceIDId) == ZvServices::DATA_VALID && value == mExtDeviceID) return;
  mExtDeviceID = value;
  notifyAttribute(attributeValue(ExtDeviceIDId));
}

void CDSYSMOSTServerStub::error(uint32_t id) {
  SZvStubListener target;
  if (isRequestId(id)) {
    uint32_t answerId = CDSYSMOSTServerProxy::expectedResponse(id);
    uint32_t listenId = answerId == 0xC0000000u ? id : answerId;
    if (prepareAnswer(listenId, target)) {
      sendToListener(target, ZvServices::RESULT_REQUEST_FAILED, id, nextSequence(), nullptr);
    }
  } else if (isResponseId(id)) {
    if (prepareAnswer(id, target)) {
      sendToListener(target, ZvServices::RESULT_RESPONSE_INVALID, id, nextSequence(), nullptr);
    }
  } else if (isAttributeId(id)) {
    mAttributeStates[attributeIndex(id)] = ZvServices::DATA_INVALID;
    sendToAllListeners(ZvServices::RESULT_UPDATE_INVALID, id, nullptr);
  }
}

void CDSYSMOSTServerStub::errorAll() {
  for (uint32_t i = 0; i < kAttributeCount; ++i) error(kFirstAttributeId + i);
  for (uint32_t i = 0; i < kResponseCount; ++i) error(kFirstResponseId + i);
}

void CDSYSMOSTServerStub::onNewListener(uint32_t id, const SZvStubListener& listener) {
  if (id == ZvServices::kVersionId) {
    CDSYSMOSTServerResponse r(ZvServices::kVersionId);
    r.implVersion = getImplVersion();
    sendValue(listener, ZvServices::RESULT_UPDATE, &r);
    return;
  }
  if (!isAttributeId(id)) return;
  switch (getAttributeState(id)) {
    case ZvServices::DATA_VALID: {
      CDSYSMOSTServerResponse r = attributeValue(id);
      sendValue(listener, ZvServices::RESULT_UPDATE, &r);
      break;
    }
    case ZvServices::DATA_INVALID:
      sendToListener(listener, ZvServices::RESULT_UPDATE_INVALID, id, nextSequence(), nullptr);
      break;
    default:
      break;  // never set: nothing to tell yet
  }
}
