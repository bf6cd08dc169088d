#include "fbkit/client/dsysmost_events.h"

#include "fbkit/client/dsysmost_event_codec.h"

using namespace ZvDSYSMOSTEventStream;

const CZvClassID CDSYSMOSTServerRequestEvent::sClassID("CDSYSMOSTServerRequestEvent");
const CZvClassID CDSYSMOSTServerResponseEvent::sClassID("CDSYSMOSTServerResponseEvent");

CDSYSMOSTServerRequestEvent::CDSYSMOSTServerRequestEvent(uint32_t kind,
                                                         const CDSYSMOSTServerRequest& request,
                                                         uint32_t sequence, uint32_t registration)
    : CZvServiceRequestEvent(kind, request.getId(), sequence, registration), mRequest(request) {}

CDSYSMOSTServerRequestEvent::CDSYSMOSTServerRequestEvent(uint32_t kind, uint32_t id,
                                                         uint32_t sequence, uint32_t registration,
                                                         CZvQRVIStream& stream)
    : CZvServiceRequestEvent(kind, id, sequence, registration) {
  mValid = mRequest.readQRV(id, stream);
}

void* CDSYSMOSTServerRequestEvent::castToPtr(const CZvClassID& id) {
  return id == sClassID ? this : CZvServiceRequestEvent::castToPtr(id);
}

bool CDSYSMOSTServerRequestEvent::writeToStream(IZvOStream& stream, bool) const {
  writeU32(stream, getKind());
  writeU32(stream, getUpdateID());
  writeU32(stream, getSequenceNumber());
  writeU32(stream, getRegistrationNumber());
  mRequest.writeToStream(stream);
  return true;
}

CDSYSMOSTServerResponseEvent::CDSYSMOSTServerResponseEvent(CZvProxyBase* proxy,
                                                           uint32_t resultKind, uint32_t id)
    : CZvServiceResponseEvent(proxy, resultKind, id), mResponse(id) {}

CDSYSMOSTServerResponseEvent::CDSYSMOSTServerResponseEvent(CZvProxyBase* proxy,
                                                           uint32_t resultKind, uint32_t id,
                                                           CZvQRVIStream& stream)
    : CZvServiceResponseEvent(proxy, resultKind, id), mResponse(id) {
  if (kindCarriesValue(resultKind)) {
    mValid = mResponse.readQRV(id, stream);
  } else {
    mValid = stream.atEnd();
  }
}

bool CDSYSMOSTServerResponseEvent::kindCarriesValue(uint32_t resultKind) {
  return resultKind == ZvServices::RESULT_RESPONSE || resultKind == ZvServices::RESULT_UPDATE;
}

CDSYSMOSTServerResponseEvent* CDSYSMOSTServerResponseEvent::clone(CZvProxyBase* proxy) const {
  auto* copy = new CDSYSMOSTServerResponseEvent(proxy, getResultKind(), getUpdateID());
  copy->mResponse = mResponse;
  copy->mValid = mValid;
  copy->setSequenceNumber(getSequenceNumber());
  copy->setRegistrationNumber(getRegistrationNumber());
  return copy;
}

void* CDSYSMOSTServerResponseEvent::castToPtr(const CZvClassID& id) {
  return id == sClassID ? this : CZvServiceResponseEvent::castToPtr(id);
}

bool CDSYSMOSTServerResponseEvent::writeToStream(IZvOStream& stream, bool) const {
  writeU32(stream, getResultKind());
  writeU32(stream, getUpdateID());
  writeU32(stream, getSequenceNumber());
  writeU32(stream, getRegistrationNumber());
  if (kindCarriesValue(getResultKind())) mResponse.writeToStream(stream);
  return true;
}

void CDSYSMOSTServerResponseEvent::writeQRVToStream(CZvQRVOStream& stream) const {
  if (kindCarriesValue(getResultKind())) mResponse.writeQRV(stream);
}

namespace DSYSMOSTServer {

bool isIdValidForResultKind(uint32_t resultKind, uint32_t id) {
  switch (resultKind) {
    case ZvServices::RESULT_RESPONSE:
    case ZvServices::RESULT_RESPONSE_INVALID:
      return isResponseId(id);
    case ZvServices::RESULT_UPDATE:
    case ZvServices::RESULT_UPDATE_INVALID:
      return isAttributeId(id) || id == ZvServices::kVersionId;
    case ZvServices::RESULT_REQUEST_FAILED:
    case ZvServices::RESULT_REQUEST_BUSY:
      return isRequestId(id);
    default:
      return false;
  }
}

bool serializeRequestEvent(IZvOStream& stream, const CDSYSMOSTServerRequestEvent& event) {
  return event.writeToStream(stream, true);
}

bool serializeResponseEvent(IZvOStream& stream, const CDSYSMOSTServerResponseEvent& event) {
  return event.writeToStream(stream, true);
}

CDSYSMOSTServerRequestEvent* deserializeRequestEvent(IZvIStream& stream) {
  uint32_t kind = 0, id = 0, sequence = 0, registration = 0;
  if (!readU32(stream, kind) || !readU32(stream, id) || !readU32(stream, sequence) ||
      !readU32(stream, registration) || kind != ZvServices::KIND_REQUEST || !isRequestId(id)) {
    return nullptr;
  }
  CDSYSMOSTServerRequest request;
  if (!request.readFromStream(id, stream)) return nullptr;
  return new CDSYSMOSTServerRequestEvent(kind, request, sequence, registration);
}

CDSYSMOSTServerResponseEvent* deserializeResponseEvent(IZvIStream& stream, CZvProxyBase* proxy) {
  uint32_t kind = 0, id = 0, sequence = 0, registration = 0;
  if (!readU32(stream, kind) || !readU32(stream, id) || !readU32(stream, sequence) ||
      !readU32(stream, registration) || !isIdValidForResultKind(kind, id)) {
    return nullptr;
  }
  auto* event = new CDSYSMOSTServerResponseEvent(proxy, kind, id);
  if (CDSYSMOSTServerResponseEvent::kindCarriesValue(kind) &&
      !event->getResponse().readFromStream(id, stream)) {
    delete event;
    return nullptr;
  }
  event->setSequenceNumber(sequence);
  event->setRegistrationNumber(registration);
  return event;
}

void serializeRequestEventQRV(CZvQRVOStream& stream, const CDSYSMOSTServerRequestEvent& event) {
  event.writeQRVToStream(stream);
}

void serializeResponseEventQRV(CZvQRVOStream& stream, const CDSYSMOSTServerResponseEvent& event) {
  event.writeQRVToStream(stream);
}

CDSYSMOSTServerRequestEvent* deserializeRequestEventQRV(uint32_t kind, uint32_t id,
                                                        uint32_t sequence, uint32_t registration,
                                                        CZvQRVIStream& stream) {
  if (kind != ZvServices::KIND_REQUEST || !isRequestId(id)) return nullptr;
  auto* event = new CDSYSMOSTServerRequestEvent(kind, id, sequence, registration, stream);
  if (!event->isValid()) {
    delete event;
    return nullptr;
  }
  return event;
}

CDSYSMOSTServerResponseEvent* deserializeResponseEventQRV(CZvProxyBase* proxy, uint32_t kind,
                                                          uint32_t id, CZvQRVIStream& stream) {
  if (!isIdValidForResultKind(kind, id)) return nullptr;
  auto* event = new CDSYSMOSTServerResponseEvent(proxy, kind, id, stream);
  if (!event->isValid()) {
    delete event;
    return nullptr;
  }
  return event;
}

}  // namespace DSYSMOSTServer
