#include "fbkit/client/dsysmost_response.h"

#include "fbkit/client/dsysmost_event_codec.h"
#include "fbkit/client/dsysmost_wire_codec.h"

using namespace DSYSMOSTServer;

namespace {

bool readVersion(CZvQRVIStream& s, CZvVersion& version) {
  uint32_t major = 0, minor = 0, patch = 0;
  if (!s.readU32(major) || !s.readU32(minor) || !s.readU32(patch)) return false;
  version = CZvVersion(major, minor, patch);
  return true;
}

bool readVersion(IZvIStream& s, CZvVersion& version) {
  uint32_t major = 0, minor = 0, patch = 0;
  if (!ZvDSYSMOSTEventStream::readU32(s, major) || !ZvDSYSMOSTEventStream::readU32(s, minor) ||
      !ZvDSYSMOSTEventStream::readU32(s, patch)) {
    return false;
  }
  version = CZvVersion(major, minor, patch);
  return true;
}

}  // namespace

bool CDSYSMOSTServerResponse::carriesValue(uint32_t id) {
  return isResponseId(id) || isAttributeId(id) || id == ZvServices::kVersionId;
}

void CDSYSMOSTServerResponse::writeQRV(CZvQRVOStream& s) const {
  using namespace ZvDSYSMOSTWire;
  switch (mId) {
    case responseMOSTClientId:
      s.writeU32(mostClient.clientID);
      s.writeU16(mostClient.deviceID);
      break;
    case informationProcessMessageId:
      write(s, processMessage.msg);
      break;
    case informationChangeInstIDId:
      s.writeU16(changeInstID.fblockKey);
      s.writeU8(changeInstID.newInstID);
      break;
    case informationConnectId:
      write(s, connect.validDevices);
      break;
    case informationDisconnectId:
      write(s, disconnect.invalidDevices);
      break;
    case informationActivateId:
    case informationDeactivateId:
      write(s, devices.devices);
      break;
    case informationCleanUpId:
      writeEnum(s, cleanUp.request);
      s.writeU16(cleanUp.devCtrl);
      s.writeU16(cleanUp.deviceID);
      break;
    case responseMOSTSubnetId:
      s.writeU32(subnet.subnetClientID);
      break;
    case informationRegistryId:
      write(s, registry.regEntries);
      break;
    case MOSTCommunicationStateId:
      writeEnum(s, communicationState);
      break;
    case RegistryId:
      write(s, registryValue);
      break;
    case DeviceIDId:
      s.writeU16(deviceID);
      break;
    case CommunicationCtrlId:
      writeEnum(s, communicationCtrl);
      break;
    case ExtDeviceIDId:
      s.writeU16(extDeviceID);
      break;
    case ZvServices::kVersionId:
      s.writeU32(implVersion.getMajor());
      s.writeU32(implVersion.getMinor());
      s.writeU32(implVersion.getPatch());
      break;
    default:
      break;
  }
}

bool CDSYSMOSTServerResponse::readQRV(uint32_t id, CZvQRVIStream& s) {
  using namespace ZvDSYSMOSTWire;
  mId = id;
  bool ok = false;
  switch (id) {
    case responseMOSTClientId:
      ok = s.readU32(mostClient.clientID) && s.readU16(mostClient.deviceID);
      break;
    case informationProcessMessageId:
      ok = read(s, processMessage.msg);
      break;
    case informationChangeInstIDId:
      ok = s.readU16(changeInstID.fblockKey) && s.readU8(changeInstID.newInstID);
      break;
    case informationConnectId:
      ok = read(s, connect.validDevices);
      break;
    case informationDisconnectId:
      ok = read(s, disconnect.invalidDevices);
      break;
    case informationActivateId:
    case informationDeactivateId:
      ok = read(s, devices.devices);
      break;
    case informationCleanUpId:
      ok = readEnum(s, cleanUp.request) && s.readU16(cleanUp.devCtrl) && s.readU16(cleanUp.deviceID);
      break;
    case responseMOSTSubnetId:
      ok = s.readU32(subnet.subnetClientID);
      break;
    case informationRegistryId:
      ok = read(s, registry.regEntries);
      break;
    case MOSTCommunicationStateId:
      ok = readEnum(s, communicationState);
      break;
    case RegistryId:
      ok = read(s, registryValue);
      break;
    case DeviceIDId:
      ok = s.readU16(deviceID);
      break;
    case CommunicationCtrlId:
      ok = readEnum(s, communicationCtrl);
      break;
    case ExtDeviceIDId:
      ok = s.readU16(extDeviceID);
      break;
    case ZvServices::kVersionId:
      ok = readVersion(s, implVersion);
      break;
    default:
      ok = false;
      break;
  }
  return ok && s.ok() && s.atEnd();
}

void CDSYSMOSTServerResponse::writeToStream(IZvOStream& s) const {
  using namespace ZvDSYSMOSTEventStream;
  switch (mId) {
    case responseMOSTClientId:  // one 8-byte block with two pad bytes
      writeU32(s, mostClient.clientID);
      writeU16(s, mostClient.deviceID);
      writeU16(s, 0);
      break;
    case informationProcessMessageId:
      write(s, processMessage.msg);
      break;
    case informationChangeInstIDId:  // one 4-byte block with one pad byte
      writeU16(s, changeInstID.fblockKey);
      writeU8(s, changeInstID.newInstID);
      writeU8(s, 0);
      break;
    case informationConnectId:
      write(s, connect.validDevices);
      break;
    case informationDisconnectId:
      write(s, disconnect.invalidDevices);
      break;
    case informationActivateId:
    case informationDeactivateId:
      write(s, devices.devices);
      break;
    case informationCleanUpId:
      writeEnum(s, cleanUp.request);
      writeU16(s, cleanUp.devCtrl);
      writeU16(s, cleanUp.deviceID);
      break;
    case responseMOSTSubnetId:
      writeU32(s, subnet.subnetClientID);
      break;
    case informationRegistryId:
      write(s, registry.regEntries);
      break;
    case MOSTCommunicationStateId:
      writeEnum(s, communicationState);
      break;
    case RegistryId:
      write(s, registryValue);
      break;
    case DeviceIDId:
      writeU16(s, deviceID);
      break;
    case CommunicationCtrlId:
      writeEnum(s, communicationCtrl);
      break;
    case ExtDeviceIDId:
      writeU16(s, extDeviceID);
      break;
    case ZvServices::kVersionId:
      writeU32(s, implVersion.getMajor());
      writeU32(s, implVersion.getMinor());
      writeU32(s, implVersion.getPatch());
      break;
    default:
      break;
  }
}

bool CDSYSMOSTServerResponse::readFromStream(uint32_t id, IZvIStream& s) {
  using namespace ZvDSYSMOSTEventStream;
  mId = id;
  switch (id) {
    case responseMOSTClientId:
      return readU32(s, mostClient.clientID) && readU16(s, mostClient.deviceID) && skip(s, 2);
    case informationProcessMessageId:
      return read(s, processMessage.msg);
    case informationChangeInstIDId:
      return readU16(s, changeInstID.fblockKey) && readU8(s, changeInstID.newInstID) && skip(s, 1);
    case informationConnectId:
      return read(s, connect.validDevices);
    case informationDisconnectId:
      return read(s, disconnect.invalidDevices);
    case informationActivateId:
    case informationDeactivateId:
      return read(s, devices.devices);
    case informationCleanUpId:
      return readEnum(s, cleanUp.request) && readU16(s, cleanUp.devCtrl) &&
             readU16(s, cleanUp.deviceID);
    case responseMOSTSubnetId:
      return readU32(s, subnet.subnetClientID);
    case informationRegistryId:
      return read(s, registry.regEntries);
    case MOSTCommunicationStateId:
      return readEnum(s, communicationState);
    case RegistryId:
      return read(s, registryValue);
    case DeviceIDId:
      return readU16(s, deviceID);
    case CommunicationCtrlId:
      return readEnum(s, communicationCtrl);
    case ExtDeviceIDId:
      return readU16(s, extDeviceID);
    case ZvServices::kVersionId:
      return readVersion(s, implVersion);
    default:
      return false;
  }
}

bool CDSYSMOSTServerResponse::operator==(const CDSYSMOSTServerResponse& o) const {
  if (mId != o.mId) return false;
  switch (mId) {
    case responseMOSTClientId: return mostClient == o.mostClient;
    case informationProcessMessageId: return processMessage == o.processMessage;
    case informationChangeInstIDId: return changeInstID == o.changeInstID;
    case informationConnectId: return connect == o.connect;
    case informationDisconnectId: return disconnect == o.disconnect;
    case informationActivateId:
    case informationDeactivateId: return devices == o.devices;
    case informationCleanUpId: return cleanUp == o.cleanUp;
    case responseMOSTSubnetId: return subnet == o.subnet;
    case informationRegistryId: return registry == o.registry;
    case MOSTCommunicationStateId: return communicationState == o.communicationState;
    case RegistryId: return registryValue == o.registryValue;
    case DeviceIDId: return deviceID == o.deviceID;
    case CommunicationCtrlId: return communicationCtrl == o.communicationCtrl;
    case ExtDeviceIDId: return extDeviceID == o.extDeviceID;
    case ZvServices::kVersionId: return implVersion == o.implVersion;
    default: return true;
  }
}
