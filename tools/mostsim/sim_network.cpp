#include "tools/mostsim/sim_network.h"

#include <algorithm>

namespace {

uint32_t routingOf(uint16_t deviceID, uint32_t clientID) {
  return static_cast<uint32_t>(deviceID) | (clientID << 16);
}

}  // namespace

CZvSimNetwork::CZvSimNetwork(const SZvSimConfig& config, ISimOutput& output)
    : mConfig(config), mOutput(output) {
  rebuildRegistry();
}

uint32_t CZvSimNetwork::addClient(const std::string& name) {
  const uint32_t id = mNextClientID++;
  if (mNextClientID > 0xFFFF) mNextClientID = 1;  // client IDs travel in 16 bits
  mClients[id].name = name;
  return id;
}

void CZvSimNetwork::removeClient(uint32_t clientID) {
  auto it = mClients.find(clientID);
  if (it == mClients.end()) return;
  const SClient gone = it->second;
  mClients.erase(it);
  for (uint16_t key : gone.devices) disconnectControllers(key);
  if (!gone.devices.empty()) rebuildRegistry();
  // FBlocks drop what they kept for the departed controllers.
  for (uint16_t devCtrl : gone.devCtrls) {
    for (const auto& entry : mClients) {
      mOutput.sendCleanUp(entry.first, DSYSMOSTServer::CLEANUP_INTERNAL, devCtrl,
                          mConfig.nodeDeviceID);
    }
  }
}

uint16_t CZvSimNetwork::deviceOf(uint16_t fblockKey) const {
  for (const DSYSMOSTTypes::RegistryEntry& entry : mRegistry) {
    if (entry.fblockKey == fblockKey) return entry.deviceID;
  }
  return 0;
}

uint32_t CZvSimNetwork::ownerOf(uint16_t fblockKey) const {
  for (const auto& entry : mClients) {
    if (entry.second.devices.count(fblockKey) != 0) return entry.first;
  }
  return 0;
}

void CZvSimNetwork::rebuildRegistry() {
  DSYSMOSTTypes::Registry registry;
  for (const auto& entry : mClients) {
    for (uint16_t key : entry.second.devices) {
      registry.push_back({mConfig.nodeDeviceID, key});
    }
  }
  for (const SZvSimRemoteNode& node : mConfig.remoteNodes) {
    for (uint16_t key : node.fblockKeys) registry.push_back({node.deviceID, key});
  }
  mRegistry = registry;
  mOutput.publishRegistry(mRegistry);
}

void CZvSimNetwork::connectControllers(uint16_t fblockKey) {
  const uint16_t deviceID = deviceOf(fblockKey);
  if (deviceID == 0) return;
  for (const auto& entry : mClients) {
    if (entry.second.devCtrls.count(fblockKey) != 0) {
      DSYSMOSTServer::DeviceInfo info;
      info.deviceID = deviceID;
      info.fblockKey = fblockKey;
      mOutput.sendConnect(entry.first, {info});
    }
  }
}

void CZvSimNetwork::disconnectControllers(uint16_t fblockKey) {
  for (const auto& entry : mClients) {
    if (entry.second.devCtrls.count(fblockKey) != 0) mOutput.sendDisconnect(entry.first, {fblockKey});
  }
}

void CZvSimNetwork::registerDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  auto it = mClients.find(clientID);
  if (it == mClients.end()) return;
  DSYSMOSTTypes::FBlockKeyVector accepted;
  for (uint16_t key : keys) {
    const uint32_t owner = ownerOf(key);
    if (owner != 0 && owner != clientID) continue;  // one owner per FBlock key
    if (it->second.devices.insert(key).second) accepted.push_back(key);
  }
  if (accepted.empty()) return;
  rebuildRegistry();
  mOutput.sendActivate(clientID, accepted);
  for (uint16_t key : accepted) connectControllers(key);
}

void CZvSimNetwork::unregisterDevices(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  auto it = mClients.find(clientID);
  if (it == mClients.end()) return;
  DSYSMOSTTypes::FBlockKeyVector removed;
  for (uint16_t key : keys) {
    if (it->second.devices.erase(key) != 0) removed.push_back(key);
  }
  if (removed.empty()) return;
  rebuildRegistry();
  mOutput.sendDeactivate(clientID, removed);
  for (uint16_t key : removed) disconnectControllers(key);
}

void CZvSimNetwork::registerDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  auto it = mClients.find(clientID);
  if (it == mClients.end()) return;
  DSYSMOSTServer::DeviceInfoVector present;
  for (uint16_t key : keys) {
    it->second.devCtrls.insert(key);
    const uint16_t deviceID = deviceOf(key);
    if (deviceID != 0) {
      DSYSMOSTServer::DeviceInfo info;
      info.deviceID = deviceID;
      info.fblockKey = key;
      present.push_back(info);
    }
  }
  if (!present.empty()) mOutput.sendConnect(clientID, present);
}

void CZvSimNetwork::unregisterDevCtrls(uint32_t clientID, const DSYSMOSTTypes::FBlockKeyVector& keys) {
  auto it = mClients.find(clientID);
  if (it == mClients.end()) return;
  for (uint16_t key : keys) it->second.devCtrls.erase(key);
}

void CZvSimNetwork::changeInstID(uint32_t clientID, uint16_t fblockKey, uint8_t newInstID) {
  auto it = mClients.find(clientID);
  if (it == mClients.end() || it->second.devices.count(fblockKey) == 0) return;
  const uint16_t newKey = static_cast<uint16_t>((fblockKey & 0xFF00) | newInstID);
  if (ownerOf(newKey) != 0) return;
  it->second.devices.erase(fblockKey);
  it->second.devices.insert(newKey);
  disconnectControllers(fblockKey);
  rebuildRegistry();
  connectControllers(newKey);
}

void CZvSimNetwork::deliver(uint32_t clientID, DSYSMOSTTypes::MessageType msg) {
  const uint32_t size = msg.data.getSize();
  if (size <= mConfig.segmentSize) {
    msg.transmissionVariant.setTransmissionInfo(DSYSMOSTTypes::TRANSMISSION_INFO_NONE);
    mOutput.sendProcessMessage(clientID, msg);
    return;
  }
  // Above the control-message size the payload travels in segments: first
  // (19), middle (20) and last (21), all with the header of the whole.
  const uint8_t* bytes = msg.data.getData();
  DSYSMOSTTypes::MessageType segment = msg;
  segment.transmissionType = DSYSMOSTTypes::TRANSMISSION_TYPE_PACKET;
  for (uint32_t offset = 0; offset < size; offset += mConfig.segmentSize) {
    const uint32_t n = std::min(mConfig.segmentSize, size - offset);
    const int32_t ti = offset == 0 ? DSYSMOSTTypes::SEGMENT_FIRST
                       : offset + n >= size ? DSYSMOSTTypes::SEGMENT_LAST
                                            : DSYSMOSTTypes::SEGMENT_MIDDLE;
    segment.transmissionVariant.setTransmissionInfo(static_cast<DSYSMOSTTypes::eTransmissionInfo>(ti));
    segment.data = CZvBuffer(bytes + offset, n);
    mOutput.sendProcessMessage(clientID, segment);
  }
}

void CZvSimNetwork::bounce(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) {
  DSYSMOSTTypes::MessageType failed = msg;
  failed.transmissionVariant.setTransmissionInfo(
      static_cast<DSYSMOSTTypes::eTransmissionInfo>(kTargetNotReached));
  mOutput.sendProcessMessage(clientID, failed);
}

void CZvSimNetwork::processMessage(uint32_t clientID, const DSYSMOSTTypes::MessageType& msg) {
  if (!hasClient(clientID)) return;
  const uint16_t key = static_cast<uint16_t>((msg.header.fblockID << 8) | msg.header.instID);
  DSYSMOSTTypes::MessageType out = msg;
  out.header.sourceAddress = mConfig.nodeDeviceID;
  out.header.targetAddress = mConfig.nodeDeviceID;
  out.header.routingAddress = routingOf(mConfig.nodeDeviceID, clientID);
  out.transmissionType = msg.transmissionType;

  std::vector<uint32_t> targets;
  if (DSYSMOSTTypes::isRequest(msg.header.opType)) {
    // A command goes to the owner of the FBlock; InstID 0 means any
    // instance, the lowest offered here.
    uint32_t owner = ownerOf(key);
    if (owner == 0 && msg.header.instID == 0) {
      for (const auto& entry : mClients) {
        for (uint16_t k : entry.second.devices) {
          if ((k >> 8) == msg.header.fblockID) {
            owner = entry.first;
            break;
          }
        }
        if (owner != 0) break;
      }
    }
    if (owner != 0) targets.push_back(owner);
  } else {
    // A report goes to the controllers of its FBlock and to the client that
    // the FBlock named as return address.
    for (const auto& entry : mClients) {
      if (entry.first != clientID && entry.second.devCtrls.count(key) != 0) {
        targets.push_back(entry.first);
      }
    }
    const uint32_t named = msg.header.routingAddress & 0xFFFF;
    if (named != clientID && hasClient(named) &&
        std::find(targets.begin(), targets.end(), named) == targets.end()) {
      targets.push_back(named);
    }
  }
  if (targets.empty()) {
    bounce(clientID, msg);
    return;
  }
  for (uint32_t target : targets) deliver(target, out);
}
