// CZvDeviceAdmin: the FBlock side of one MOST client. It holds the client's
// devices keyed by FBlock key, owns them, and decides which device or devices
// see an incoming command (instance rules for InstID 0 and 0xFF and for the
// broadcast FBlock ID 0xFF).
#ifndef FBKIT_FBLOCK_DEVICE_ADMIN_H
#define FBKIT_FBLOCK_DEVICE_ADMIN_H

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class CZvDeviceBase;
class CZvMOSTClientImpl;
class CZvMOSTMessageData;
class IZvDeviceInfoConsumer;

class CZvDeviceAdmin {
 public:
  CZvDeviceAdmin(std::vector<uint16_t>& keys, CZvMOSTClientImpl& client);
  virtual ~CZvDeviceAdmin();
  CZvDeviceAdmin(const CZvDeviceAdmin&) = delete;
  CZvDeviceAdmin& operator=(const CZvDeviceAdmin&) = delete;

  // Takes ownership; false (and no ownership) when the key is taken.
  bool addDevice(uint16_t fblockKey, CZvDeviceBase* device);
  // Hands a device back to its creator without deleting it.
  CZvDeviceBase* removeDevice(uint16_t fblockKey);
  CZvDeviceBase* getDevice(uint16_t fblockKey) const;
  size_t size() const { return mDevices.size(); }

  void dispatchMOSTMessage(CZvMOSTMessageData& message);
  bool changeFBlockKey(uint16_t fblockKey, uint8_t newInstID);

  void notifyValids(const std::vector<uint16_t>& keys);
  void notifyInvalids(const std::vector<uint16_t>& keys);
  void newRegistryAvailable(const std::vector<uint16_t>& valids,
                            const std::vector<uint16_t>& invalids);
  void notifyMOSTCommunicationState(int32_t state);
  void notifyCommunicationControl(bool enable);
  virtual void netOffCleanup(int32_t request, uint16_t devCtrl, uint16_t devID);
  void deleteObserver(IZvDeviceInfoConsumer* consumer);

  CZvMOSTClientImpl& getClient() const { return mClient; }
  // The client's list of activated FBlock keys.
  const std::vector<uint16_t>& getKeys() const { return mKeys; }

 private:
  // Delivers message to device: sets its instAny and broadcast flags for the
  // time of processMOSTMessage.
  void deliver(CZvDeviceBase* device, CZvMOSTMessageData& message, bool instAny,
               bool broadcast);
  using DeliverOnce = std::function<void(CZvDeviceBase*, bool instAny, bool broadcast)>;
  // Rules for FBlock ID 0xFF (broadcast FBlock).
  void dispatchBroadcastFBlock(CZvMOSTMessageData& message, uint8_t inst,
                               const DeliverOnce& deliverOnce);
  // Devices in ascending key order; a snapshot, so that a device may leave
  // the map while it processes a command.
  std::vector<CZvDeviceBase*> snapshot() const;

  std::vector<uint16_t>& mKeys;
  CZvMOSTClientImpl& mClient;
  std::map<uint16_t, CZvDeviceBase*> mDevices;
};

#endif  // FBKIT_FBLOCK_DEVICE_ADMIN_H
