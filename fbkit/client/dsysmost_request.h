// CDSYSMOSTServerRequest: one request of the DSYSMOSTServer interface with its
// parameters, and its two encodings.
#ifndef FBKIT_CLIENT_DSYSMOST_REQUEST_H
#define FBKIT_CLIENT_DSYSMOST_REQUEST_H

#include <cstdint>

#include "fbkit/client/dsysmost_server_types.h"
#include "platform/basalt/zv_stream.h"
#include "platform/qrvi/qrvi_stream.h"

class CDSYSMOSTServerRequest {
 public:
  static constexpr uint32_t kNoId = 0xFFFFFFFFu;

  CDSYSMOSTServerRequest() = default;
  explicit CDSYSMOSTServerRequest(uint32_t id) : mId(id) {}

  uint32_t getId() const { return mId; }
  void setId(uint32_t id) { mId = id; }

  // Wire form of the parameters. readQRV fails on an ID that is not a request,
  // a malformed block, or bytes left over after the last parameter.
  void writeQRV(CZvQRVOStream& stream) const;
  bool readQRV(uint32_t id, CZvQRVIStream& stream);

  // Event-stream form of the parameters.
  void writeToStream(IZvOStream& stream) const;
  bool readFromStream(uint32_t id, IZvIStream& stream);

  // Equal when the IDs and the parameters of that ID are equal.
  bool operator==(const CDSYSMOSTServerRequest& other) const;
  bool operator!=(const CDSYSMOSTServerRequest& other) const { return !(*this == other); }

  // The parameter records; only the one that belongs to the ID is used.
  DSYSMOSTServer::sUnionRequestKeys keys;  // 0, 1, 4, 5, 11
  DSYSMOSTServer::sUnionRequestProcessMessage processMessage;  // 2
  DSYSMOSTServer::sUnionRequestChangeInstID changeInstID;  // 6
  DSYSMOSTServer::sUnionRequestClient client;  // 7, 17
  DSYSMOSTServer::sUnionRegisterMOSTSubnet subnet;  // 9
  DSYSMOSTServer::sUnionRequestSetCommunicationCtrl communicationCtrl;  // 12
  DSYSMOSTServer::sUnionRequestRegisterExtDevices extDevices;  // 13
  DSYSMOSTServer::sUnionRequestProcessMessageVector messageVector;  // 14
  DSYSMOSTServer::sUnionRegisterMOSTClientExt clientExt;  // 15

 private:
  uint32_t mId = kNoId;
};

#endif  // FBKIT_CLIENT_DSYSMOST_REQUEST_H
