// The request and response events of the DSYSMOSTServer interface and their
// serialisation: the event-stream form (after the middleware's event header)
// and the wire form (the parameter block alone; the transport frames it).
#ifndef FBKIT_CLIENT_DSYSMOST_EVENTS_H
#define FBKIT_CLIENT_DSYSMOST_EVENTS_H

#include <cstdint>

#include "fbkit/client/dsysmost_request.h"
#include "fbkit/client/dsysmost_response.h"
#include "platform/qrvi/service_events.h"

class CDSYSMOSTServerRequestEvent : public CZvServiceRequestEvent {
 public:
  static const CZvClassID sClassID;  // "CDSYSMOSTServerRequestEvent"

  CDSYSMOSTServerRequestEvent(uint32_t kind, const CDSYSMOSTServerRequest& request,
                              uint32_t sequence = 0, uint32_t registration = 0);
  // Reads the parameters of request id from a wire block; check isValid().
  CDSYSMOSTServerRequestEvent(uint32_t kind, uint32_t id, uint32_t sequence,
                              uint32_t registration, CZvQRVIStream& stream);

  const CDSYSMOSTServerRequest& getRequest() const { return mRequest; }
  bool isValid() const { return mValid; }

  void* castToPtr(const CZvClassID& id) override;
  const CZvClassID& getClassID() const override { return sClassID; }
  // Event header (kind, update ID, sequence, registration as 4 bytes each),
  // then the parameters in the event-stream form.
  bool writeToStream(IZvOStream& stream, bool flag) const override;
  void writeQRVToStream(CZvQRVOStream& stream) const { mRequest.writeQRV(stream); }

 private:
  CDSYSMOSTServerRequest mRequest;
  bool mValid = true;
};

class CDSYSMOSTServerResponseEvent : public CZvServiceResponseEvent {
 public:
  static const CZvClassID sClassID;  // "CDSYSMOSTServerResponseEvent"

  CDSYSMOSTServerResponseEvent(CZvProxyBase* proxy, uint32_t resultKind, uint32_t id);
  // Reads the value of id from a wire block when the kind carries one (512,
  // 514); check isValid().
  CDSYSMOSTServerResponseEvent(CZvProxyBase* proxy, uint32_t resultKind, uint32_t id,
                               CZvQRVIStream& stream);

  // A copy addressed to another proxy.
  CDSYSMOSTServerResponseEvent* clone(CZvProxyBase* proxy) const;

  // Result kinds 512 (response) and 514 (update) carry a value.
  static bool kindCarriesValue(uint32_t resultKind);

  const CDSYSMOSTServerResponse& getResponse() const { return mResponse; }
  CDSYSMOSTServerResponse& getResponse() { return mResponse; }
  bool isValid() const { return mValid; }

  void* castToPtr(const CZvClassID& id) override;
  const CZvClassID& getClassID() const override { return sClassID; }
  bool writeToStream(IZvOStream& stream, bool flag) const override;
  void writeQRVToStream(CZvQRVOStream& stream) const;

 private:
  CDSYSMOSTServerResponse mResponse;
  bool mValid = true;
};

namespace DSYSMOSTServer {

// Event-stream form: the event header, then the parameters.
bool serializeRequestEvent(IZvOStream& stream, const CDSYSMOSTServerRequestEvent& event);
bool serializeResponseEvent(IZvOStream& stream, const CDSYSMOSTServerResponseEvent& event);
// A new event read from the stream; null when the stream is short, the ID
// unknown for the kind or a value malformed.
CDSYSMOSTServerRequestEvent* deserializeRequestEvent(IZvIStream& stream);
CDSYSMOSTServerResponseEvent* deserializeResponseEvent(IZvIStream& stream, CZvProxyBase* proxy);

// Wire form: the parameter block only.
void serializeRequestEventQRV(CZvQRVOStream& stream, const CDSYSMOSTServerRequestEvent& event);
void serializeResponseEventQRV(CZvQRVOStream& stream, const CDSYSMOSTServerResponseEvent& event);
CDSYSMOSTServerRequestEvent* deserializeRequestEventQRV(uint32_t kind, uint32_t id,
                                                        uint32_t sequence, uint32_t registration,
                                                        CZvQRVIStream& stream);
CDSYSMOSTServerResponseEvent* deserializeResponseEventQRV(CZvProxyBase* proxy, uint32_t kind,
                                                          uint32_t id, CZvQRVIStream& stream);

// Whether id is a valid update ID for the result kind: responses for 512 and
// 513, attributes (and the version) for 514 and 515, requests for 516 and 517.
bool isIdValidForResultKind(uint32_t resultKind, uint32_t id);

}  // namespace DSYSMOSTServer

#endif  // FBKIT_CLIENT_DSYSMOST_EVENTS_H
