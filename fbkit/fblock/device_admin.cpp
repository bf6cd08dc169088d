#include "fbkit/fblock/device_admin.h"

#include <algorithm>

#include "fbkit/client/most_config.h"
#include "fbkit/fblock/device_base.h"
#include "fbkit/client/most_message_view.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"

namespace {

const CZvTraceScopeDef kTraceCtor("framework_comm_most_CZvDeviceAdmin", "CZvDeviceAdmin");
const CZvTraceScopeDef kTraceAdd("framework_comm_most_CZvDeviceAdmin", "addDevice");

constexpr uint8_t kBroadcast = 0xFF;

bool isReservedFBlock(uint8_t fblockID) { return fblockID >= 0xF0 && fblockID <= 0xFE; }
uint16_t keyOf(uint8_t fblockID, uint8_t instID) {
  return static_cast<uint16_t>((fblockID << 8) | instID);
}

}  // namespace

CZvDeviceAdmin::CZvDeviceAdmin(std::vector<uint16_t>& keys, CZvMOSTClientImpl& client)
    : mKeys(keys), mClient(client) {
  CZvTraceScope(kTraceCtor).sendFormattedMessage("Creating DeviceAdmin %p for MOSTClient %p",
                                                 static_cast<void*>(this),
                                                 static_cast<void*>(&client));
}

CZvDeviceAdmin::~CZvDeviceAdmin() {
  while (!mDevices.empty()) {
    auto last = std::prev(mDevices.end());
    CZvDeviceBase* device = last->second;
    mDevices.erase(last);
    delete device;
  }
}

bool CZvDeviceAdmin::addDevice(uint16_t fblockKey, CZvDeviceBase* device) {
  CZvTraceScope(kTraceAdd).sendFormattedMessage("Adding device %x in DeviceAdmin %p", fblockKey,
                                                static_cast<void*>(this));
  return mDevices.emplace(fblockKey, device).second;
}

CZvDeviceBase* CZvDeviceAdmin::removeDevice(uint16_t fblockKey) {
  auto it = mDevices.find(fblockKey);
  if (it == mDevices.end()) return nullptr;
  CZvDeviceBase* device = it->second;
  mDevices.erase(it);
  return device;
}

CZvDeviceBase* CZvDeviceAdmin::getDevice(uint16_t fblockKey) const {
  auto it = mDevices.find(fblockKey);
  return it == mDevices.end() ? nullptr : it->second;
}

std::vector<CZvDeviceBase*> CZvDeviceAdmin::snapshot() const {
  std::vector<CZvDeviceBase*> devices;
  devices.reserve(mDevices.size());
  for (const auto& entry : mDevices) {
    if (entry.second == nullptr) {
      doCheapAssert(__LINE__, "CZvDeviceAdmin");
      continue;
    }
    devices.push_back(entry.second);
  }
  return devices;
}

void CZvDeviceAdmin::deliver(CZvDeviceBase* device, CZvMOSTMessageData& message, bool instAny,
                             bool broadcast) {
  device->setInstAnyReceived(instAny);
  device->setReceivedAsBroadcast(broadcast);
  device->processMOSTMessage(message);
  device->setReceivedAsBroadcast(false);
}

void CZvDeviceAdmin::dispatchMOSTMessage(CZvMOSTMessageData& message) {
  const uint8_t fb = ZvMOSTMessageView::fblockID(message);
  const uint8_t inst = ZvMOSTMessageView::instID(message);
  const int32_t ti = ZvMOSTMessageView::transmissionInfo(message);
  const bool broadcastFlag = ti == 1 || ti == 2;
  const int32_t instAnyHandling = ZvSystemConfig::getMOSTConfig().getInstAnyHandling();
  // Every device sees one command at most once, even where the rules below
  // overlap (a device of FBlock 0xFF under the broadcast rules).
  std::vector<CZvDeviceBase*> reached;
  const DeliverOnce deliverOnce = [&](CZvDeviceBase* device, bool instAny, bool broadcast) {
    if (std::find(reached.begin(), reached.end(), device) != reached.end()) return;
    reached.push_back(device);
    ZvMOSTMessageView::rewind(message);
    deliver(device, message, instAny, broadcast);
  };

  bool delivered = false;
  if (inst != 0 && inst != kBroadcast) {
    if (CZvDeviceBase* device = getDevice(keyOf(fb, inst))) {
      deliverOnce(device, false, broadcastFlag);
      delivered = true;
    }
  } else {
    bool handled = false;
    if (instAnyHandling == 1 && inst == 0) {
      if (CZvDeviceBase* device = getDevice(keyOf(fb, 0))) {
        deliverOnce(device, true, broadcastFlag);
        handled = true;
      }
    }
    if (!handled) {
      std::vector<CZvDeviceBase*> devices = snapshot();
      for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
        if ((*it)->getFBlockID() != fb) continue;
        deliverOnce(*it, inst == 0, broadcastFlag);
        handled = true;
        if (inst == 0) break;  // the highest instance takes an InstID 0 command
      }
    }
    delivered = handled;
  }

  // Catch-all device 0xFFFF.
  if (!delivered || inst == kBroadcast) {
    if (!mDevices.empty() && std::prev(mDevices.end())->first == 0xFFFF) {
      if (CZvDeviceBase* catchAll = std::prev(mDevices.end())->second) {
        deliverOnce(catchAll, false, broadcastFlag);
      }
    }
  }

  if (fb == kBroadcast) dispatchBroadcastFBlock(message, inst, deliverOnce);
  // Leave the payload as found for whoever looks at the message next.
  ZvMOSTMessageView::rewind(message);
}

void CZvDeviceAdmin::dispatchBroadcastFBlock(CZvMOSTMessageData& message, uint8_t inst,
                                             const DeliverOnce& deliverOnce) {
  const int32_t ti = ZvMOSTMessageView::transmissionInfo(message);
  const bool broadcastFlag = ti == 1 || ti == 2;
  const int32_t instAnyHandling = ZvSystemConfig::getMOSTConfig().getInstAnyHandling();
  std::vector<CZvDeviceBase*> devices = snapshot();
  if (inst == kBroadcast) {
    for (CZvDeviceBase* device : devices) {
      if (!isReservedFBlock(device->getFBlockID())) deliverOnce(device, false, broadcastFlag);
    }
    return;
  }
  if (instAnyHandling == 0 && inst == 0) {
    int32_t lastFBlock = -1;
    for (CZvDeviceBase* device : devices) {
      const uint8_t id = device->getFBlockID();
      if (isReservedFBlock(id) || id == lastFBlock) continue;
      lastFBlock = id;
      deliverOnce(device, true, true);
    }
    return;
  }
  for (CZvDeviceBase* device : devices) {
    if (!isReservedFBlock(device->getFBlockID()) && device->getInstID() == inst) {
      deliverOnce(device, false, true);
    }
  }
}

bool CZvDeviceAdmin::changeFBlockKey(uint16_t fblockKey, uint8_t newInstID) {
  auto it = mDevices.find(fblockKey);
  if (it == mDevices.end()) return false;
  CZvDeviceBase* device = it->second;
  if (device == nullptr) {
    doCheapAssert(128, "CZvDeviceAdmin");
    return false;
  }
  const uint16_t newKey = keyOf(static_cast<uint8_t>(fblockKey >> 8), newInstID);
  if (newKey != fblockKey && mDevices.count(newKey) != 0) {
    // Another device holds the new key: moving there would lose one of the
    // two devices.
    return false;
  }
  device->changeFBlockKey(newInstID);
  mDevices.erase(it);
  mDevices[newKey] = device;
  return true;
}

void CZvDeviceAdmin::notifyValids(const std::vector<uint16_t>& keys) {
  for (uint16_t key : keys) {
    if (CZvDeviceBase* device = getDevice(key)) device->activate();
  }
}

void CZvDeviceAdmin::notifyInvalids(const std::vector<uint16_t>& keys) {
  for (uint16_t key : keys) {
    if (CZvDeviceBase* device = getDevice(key)) device->deactivate();
  }
}

void CZvDeviceAdmin::newRegistryAvailable(const std::vector<uint16_t>& valids,
                                          const std::vector<uint16_t>& invalids) {
  notifyValids(valids);
  notifyInvalids(invalids);
}

void CZvDeviceAdmin::notifyMOSTCommunicationState(int32_t state) {
  for (CZvDeviceBase* device : snapshot()) device->onMostCommunicationState(state);
}

void CZvDeviceAdmin::notifyCommunicationControl(bool enable) {
  for (CZvDeviceBase* device : snapshot()) {
    device->notifyBaseListeners(CZvDeviceInfoData(
        enable ? CZvDeviceInfoData::REASON_COMMCTRL_ENABLE : CZvDeviceInfoData::REASON_COMMCTRL_DISABLE,
        device->getFBlockKey(), 0, 0, 0xFFFF));
  }
}

void CZvDeviceAdmin::netOffCleanup(int32_t request, uint16_t devCtrl, uint16_t devID) {
  std::vector<CZvDeviceBase*> devices = snapshot();
  for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
    if (request != 0 || (*it)->getFBlockKey() == devCtrl) (*it)->netOff(request, devCtrl, devID);
  }
}

void CZvDeviceAdmin::deleteObserver(IZvDeviceInfoConsumer* consumer) {
  std::vector<CZvDeviceBase*> devices = snapshot();
  for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
    (*it)->deleteGroupObserver(consumer);
    (*it)->releaseDevice(consumer);
  }
}
