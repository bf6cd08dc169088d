// CZvMOSTMessageData: a MOST message as the FBlock side and the controller
// side see it: header, payload, transmission descriptors and routing address.
#ifndef FBKIT_CLIENT_MOST_MESSAGE_DATA_H
#define FBKIT_CLIENT_MOST_MESSAGE_DATA_H

#include <cstdint>

#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/most_header.h"
#include "platform/basalt/zv_byte_stream.h"

class CZvMOSTMessageData {
 public:
  static constexpr uint32_t kNoRoutingAddress = 0xFFFFFFFFu;

  CZvMOSTMessageData() = default;
  CZvMOSTMessageData(const CZvMOSTHeader& header, const CZvByteStream& data,
                     DSYSMOSTTypes::eTransmissionType transmissionType,
                     DSYSMOSTTypes::eTransmissionTXControl txControl);
  CZvMOSTMessageData(const CZvMOSTHeader& header, const CZvByteStream& data,
                     DSYSMOSTTypes::eTransmissionType transmissionType,
                     DSYSMOSTTypes::eTransmissionInfo transmissionInfo);

  CZvMOSTHeader header;
  CZvByteStream data;
  DSYSMOSTTypes::eTransmissionType transmissionType = DSYSMOSTTypes::TRANSMISSION_TYPE_CONTROL;
  DSYSMOSTTypes::eTransmissionInfo transmissionInfo = DSYSMOSTTypes::TRANSMISSION_INFO_NONE;
  DSYSMOSTTypes::eTransmissionTXControl txControl = DSYSMOSTTypes::TX_CONTROL_NONE;
  uint32_t routingAddress = kNoRoutingAddress;

  // Appends "MOSTEvData transType 0x%02X, transInfo 0x%02X ", the header's
  // rendering and the payload in hex.
  void dump(CZvString& out) const;

  // Stream form: the header (11 bytes), the payload in the base library's
  // form, transmissionType and transmissionInfo as 4 bytes each in machine
  // order. txControl and routingAddress are not streamed.
  bool writeToStream(IZvOStream& stream) const;
  // On success txControl is 0 and routingAddress all ones; the payload's read
  // position is at its start. False on a short stream.
  bool readFromStream(IZvIStream& stream);

  bool operator==(const CZvMOSTMessageData& o) const {
    return header == o.header && data == o.data && transmissionType == o.transmissionType &&
           transmissionInfo == o.transmissionInfo && txControl == o.txControl &&
           routingAddress == o.routingAddress;
  }
};

#endif  // FBKIT_CLIENT_MOST_MESSAGE_DATA_H
