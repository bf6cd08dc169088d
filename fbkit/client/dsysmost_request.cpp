#include "fbkit/client/dsysmost_request.h"

#include "fbkit/client/dsysmost_event_codec.h"
#include "fbkit/client/dsysmost_wire_codec.h"

using namespace DSYSMOSTServer;

namespace {

// The parameter shapes of the 18 requests.
enum Shape { NONE, KEYS, MESSAGE, CHANGE_INST, CLIENT, SUBNET, COMM_CTRL, EXT_DEVICES, MESSAGES, NAME, INVALID };

Shape shapeOf(uint32_t id) {
  switch (id) {
    case requestRegisterDevicesId:
    case requestRegisterDevCtrlsId:
    case requestUnregisterDevicesId:
    case requestUnregisterDevCtrlsId:
    case requestSetRegistryFilterId:
      return KEYS;
    case requestProcessMessageId:
      return MESSAGE;
    case registerMOSTClientId:
    case unregisterMOSTClientId:
    case unregisterMOSTSubnetId:
    case unregisterMOSTClientExtId:
      return NONE;
    case requestChangeInstIDId:
      return CHANGE_INST;
    case requestCleanUpId:
    case requestEnableNotificationProxyId:
      return CLIENT;
    case registerMOSTSubnetId:
      return SUBNET;
    case requestSetCommunicationCtrlId:
      return COMM_CTRL;
    case requestRegisterExtDevicesId:
      return EXT_DEVICES;
    case requestProcessMessageVectorId:
      return MESSAGES;
    case registerMOSTClientExtId:
      return NAME;
    default:
      return INVALID;
  }
}

}  // namespace

void CDSYSMOSTServerRequest::writeQRV(CZvQRVOStream& s) const {
  using namespace ZvDSYSMOSTWire;
  switch (shapeOf(mId)) {
    case KEYS:
      s.writeU32(keys.clientID);
      write(s, keys.fblockKeys);
      break;
    case MESSAGE:
      s.writeU32(processMessage.clientID);
      write(s, processMessage.msg);
      break;
    case CHANGE_INST:
      s.writeU32(changeInstID.clientID);
      s.writeU16(changeInstID.fblockKey);
      s.writeU8(changeInstID.newInstID);
      break;
    case CLIENT:
      s.writeU32(client.clientID);
      break;
    case SUBNET:
      s.writeU16(subnet.subnetID);
      break;
    case COMM_CTRL:
      writeEnum(s, communicationCtrl.mode);
      break;
    case EXT_DEVICES:
      s.writeU32(extDevices.clientID);
      write(s, extDevices.devices);
      break;
    case MESSAGES:
      s.writeU32(messageVector.clientID);
      write(s, messageVector.msgs);
      break;
    case NAME:
      write(s, clientExt.name);
      break;
    case NONE:
    case INVALID:
      break;
  }
}

bool CDSYSMOSTServerRequest::readQRV(uint32_t id, CZvQRVIStream& s) {
  using namespace ZvDSYSMOSTWire;
  mId = id;
  bool ok = false;
  switch (shapeOf(id)) {
    case KEYS:
      ok = s.readU32(keys.clientID) && read(s, keys.fblockKeys);
      break;
    case MESSAGE:
      ok = s.readU32(processMessage.clientID) && read(s, processMessage.msg);
      break;
    case CHANGE_INST:
      ok = s.readU32(changeInstID.clientID) && s.readU16(changeInstID.fblockKey) &&
           s.readU8(changeInstID.newInstID);
      break;
    case CLIENT:
      ok = s.readU32(client.clientID);
      break;
    case SUBNET:
      ok = s.readU16(subnet.subnetID);
      break;
    case COMM_CTRL:
      ok = readEnum(s, communicationCtrl.mode);
      break;
    case EXT_DEVICES:
      ok = s.readU32(extDevices.clientID) && read(s, extDevices.devices);
      break;
    case MESSAGES:
      ok = s.readU32(messageVector.clientID) && read(s, messageVector.msgs);
      break;
    case NAME:
      ok = read(s, clientExt.name);
      break;
    case NONE:
      ok = true;
      break;
    case INVALID:
      ok = false;
      break;
  }
  return ok && s.ok() && s.atEnd();
}

void CDSYSMOSTServerRequest::writeToStream(IZvOStream& s) const {
  using namespace ZvDSYSMOSTEventStream;
  switch (shapeOf(mId)) {
    case KEYS:
      writeU32(s, keys.clientID);
      write(s, keys.fblockKeys);
      break;
    case MESSAGE:
      writeU32(s, processMessage.clientID);
      write(s, processMessage.msg);
      break;
    case CHANGE_INST:  // one 8-byte block: clientID, key, instance, one pad byte
      writeU32(s, changeInstID.clientID);
      writeU16(s, changeInstID.fblockKey);
      writeU8(s, changeInstID.newInstID);
      writeU8(s, 0);
      break;
    case CLIENT:
      writeU32(s, client.clientID);
      break;
    case SUBNET:
      writeU16(s, subnet.subnetID);
      break;
    case COMM_CTRL:
      writeEnum(s, communicationCtrl.mode);
      break;
    case EXT_DEVICES:
      writeU32(s, extDevices.clientID);
      write(s, extDevices.devices);
      break;
    case MESSAGES:
      writeU32(s, messageVector.clientID);
      write(s, messageVector.msgs);
      break;
    case NAME:
      write(s, clientExt.name);
      break;
    case NONE:
    case INVALID:
      break;
  }
}

bool CDSYSMOSTServerRequest::readFromStream(uint32_t id, IZvIStream& s) {
  using namespace ZvDSYSMOSTEventStream;
  mId = id;
  switch (shapeOf(id)) {
    case KEYS:
      return readU32(s, keys.clientID) && read(s, keys.fblockKeys);
    case MESSAGE:
      return readU32(s, processMessage.clientID) && read(s, processMessage.msg);
    case CHANGE_INST:
      return readU32(s, changeInstID.clientID) && readU16(s, changeInstID.fblockKey) &&
             readU8(s, changeInstID.newInstID) && skip(s, 1);
    case CLIENT:
      return readU32(s, client.clientID);
    case SUBNET:
      return readU16(s, subnet.subnetID);
    case COMM_CTRL:
      return readEnum(s, communicationCtrl.mode);
    case EXT_DEVICES:
      return readU32(s, extDevices.clientID) && read(s, extDevices.devices);
    case MESSAGES:
      return readU32(s, messageVector.clientID) && read(s, messageVector.msgs);
    case NAME:
      return read(s, clientExt.name);
    case NONE:
      return true;
    case INVALID:
      return false;
  }
  return false;
}

bool CDSYSMOSTServerRequest::operator==(const CDSYSMOSTServerRequest& o) const {
  if (mId != o.mId) return false;
  switch (shapeOf(mId)) {
    case KEYS: return keys == o.keys;
    case MESSAGE: return processMessage == o.processMessage;
    case CHANGE_INST: return changeInstID == o.changeInstID;
    case CLIENT: return client == o.client;
    case SUBNET: return subnet == o.subnet;
    case COMM_CTRL: return communicationCtrl == o.communicationCtrl;
    case EXT_DEVICES: return extDevices == o.extDevices;
    case MESSAGES: return messageVector == o.messageVector;
    case NAME: return clientExt == o.clientExt;
    case NONE:
    case INVALID: return true;
  }
  return true;
}
