#include "fbkit/client/most_message_data.h"

CZvMOSTMessageData::CZvMOSTMessageData(const CZvMOSTHeader& h, const CZvByteStream& d,
                                       DSYSMOSTTypes::eTransmissionType type,
                                       DSYSMOSTTypes::eTransmissionTXControl control)
    : header(h), data(d), transmissionType(type), txControl(control) {}

CZvMOSTMessageData::CZvMOSTMessageData(const CZvMOSTHeader& h, const CZvByteStream& d,
                                       DSYSMOSTTypes::eTransmissionType type,
                                       DSYSMOSTTypes::eTransmissionInfo info)
    : header(h), data(d), transmissionType(type), transmissionInfo(info) {}

void CZvMOSTMessageData::dump(CZvString& out) const {
  out.appendFormat("MOSTEvData transType 0x%02X, transInfo 0x%02X ",
                   static_cast<unsigned>(transmissionType), static_cast<unsigned>(transmissionInfo));
  header.dump(out);
  data.dump(out);
}

bool CZvMOSTMessageData::writeToStream(IZvOStream& stream) const {
  int32_t type = transmissionType;
  int32_t info = transmissionInfo;
  return header.writeToStream(stream) && data.writeToStream(stream) &&
         stream.write(&type, sizeof type) == sizeof type &&
         stream.write(&info, sizeof info) == sizeof info;
}

bool CZvMOSTMessageData::readFromStream(IZvIStream& stream) {
  CZvMOSTHeader h;
  CZvByteStream d;
  int32_t type = 0;
  int32_t info = 0;
  if (!h.readFromStream(stream) || !d.readFromStream(stream) ||
      stream.read(&type, sizeof type) != sizeof type ||
      stream.read(&info, sizeof info) != sizeof info) {
    return false;
  }
  header = h;
  data = d;
  data.rewind();
  transmissionType = static_cast<DSYSMOSTTypes::eTransmissionType>(type);
  transmissionInfo = static_cast<DSYSMOSTTypes::eTransmissionInfo>(info);
  txControl = DSYSMOSTTypes::TX_CONTROL_NONE;
  routingAddress = kNoRoutingAddress;
  return true;
}
