// CDSYSMOSTServerResponse: one response, information or attribute value of the
// DSYSMOSTServer interface, and its two encodings.
#ifndef FBKIT_CLIENT_DSYSMOST_RESPONSE_H
#define FBKIT_CLIENT_DSYSMOST_RESPONSE_H

#include <cstdint>

#include "fbkit/client/dsysmost_server_types.h"
#include "platform/basalt/zv_stream.h"
#include "platform/basalt/zv_version.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_types.h"

class CDSYSMOSTServerResponse {
 public:
  static constexpr uint32_t kNoId = 0xFFFFFFFFu;

  CDSYSMOSTServerResponse() = default;
  explicit CDSYSMOSTServerResponse(uint32_t id) : mId(id) {}

  uint32_t getId() const { return mId; }
  void setId(uint32_t id) { mId = id; }

  // True for the IDs whose value this holder carries: the ten responses, the
  // five attributes and the implementation version.
  static bool carriesValue(uint32_t id);

  // Wire form. readQRV fails on an ID without a value, a malformed block or
  // bytes left over.
  void writeQRV(CZvQRVOStream& stream) const;
  bool readQRV(uint32_t id, CZvQRVIStream& stream);

  // Event-stream form.
  void writeToStream(IZvOStream& stream) const;
  bool readFromStream(uint32_t id, IZvIStream& stream);

  bool operator==(const CDSYSMOSTServerResponse& other) const;
  bool operator!=(const CDSYSMOSTServerResponse& other) const { return !(*this == other); }

  // Response and information records; only the one of the ID is used.
  DSYSMOSTServer::sUnionResponseMOSTClient mostClient;
  DSYSMOSTServer::sUnionInformationProcessMessage processMessage;
  DSYSMOSTServer::sUnionInformationChangeInstID changeInstID;
  DSYSMOSTServer::sUnionInformationConnect connect;
  DSYSMOSTServer::sUnionInformationDisconnect disconnect;
  DSYSMOSTServer::sUnionInformationDevices devices;  // activate, deactivate
  DSYSMOSTServer::sUnionInformationCleanUp cleanUp;
  DSYSMOSTServer::sUnionResponseMOSTSubnet subnet;
  DSYSMOSTServer::sUnionInformationRegistry registry;

  // Attribute values.
  DSYSMOSTTypes::eMOSTCommunicationState communicationState = DSYSMOSTTypes::COMMUNICATION_DOWN;
  DSYSMOSTTypes::Registry registryValue;
  uint16_t deviceID = 0;
  DSYSMOSTServer::CommCtrlMode communicationCtrl = DSYSMOSTServer::COMM_CTRL_COMMUNICATE;
  uint16_t extDeviceID = 0;

  // The server's implementation version (ID ZvServices::kVersionId).
  CZvVersion implVersion;

 private:
  uint32_t mId = kNoId;
};

#endif  // FBKIT_CLIENT_DSYSMOST_RESPONSE_H
