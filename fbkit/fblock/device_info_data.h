// Events of the FBlock side: CZvDeviceInfoData and the event that carries it
// to IZvDeviceInfoConsumers, plus CZvMOSTAdapter, with which every consumer
// is constructed.
#ifndef FBKIT_FBLOCK_DEVICE_INFO_DATA_H
#define FBKIT_FBLOCK_DEVICE_INFO_DATA_H

#include <cstdint>

#include "platform/basalt/zv_event.h"

class CZvMOSTClientImpl;
class IZvDeviceInfoConsumer;

class CZvDeviceInfoData {
 public:
  enum Reason : uint32_t {
    REASON_SET = 0,
    REASON_GET = 1,
    REASON_SETGET = 2,
    REASON_INCREMENT = 3,
    REASON_DECREMENT = 4,
    REASON_GETINTERFACE = 5,
    REASON_START = 6,
    REASON_ABORT = 7,
    REASON_STARTRESULT = 8,
    REASON_STARTRESULTACK = 9,
    REASON_ABORTACK = 10,
    REASON_STARTACK = 11,
    REASON_DEVICE_ACTIVATED = 12,
    REASON_DEVICE_DEACTIVATED = 13,
    REASON_FBLOCKKEY_CHANGED = 14,
    REASON_ERROR_INTERNAL = 15,
    REASON_ERROR_AUTOSTATUS = 16,
    REASON_SET_NOTIFICATION = 17,
    REASON_DELETE_NOTIFICATION = 18,
    REASON_DYNARRAY_INS = 19,
    REASON_DYNARRAY_DEL = 20,
    REASON_ERROR_INVALID_SESSION = 21,
    REASON_ERROR_SESSION_EXISTS = 22,
    REASON_ERROR_TRANSMISSION_CONTROL = 23,
    REASON_CREATE_ARRAYWINDOW = 24,
    REASON_DESTROY_ARRAYWINDOW = 25,
    REASON_CREATE_DATAWINDOW = 26,
    REASON_DESTROY_DATAWINDOW = 27,
    REASON_DATAWINDOW_ACTIVATED = 28,
    REASON_DATAWINDOW_DEACTIVATED = 29,
    REASON_MAP_INS = 30,
    REASON_MAP_DEL = 31,
    REASON_NETOFF = 32,
    REASON_COMMCTRL_ENABLE = 33,
    REASON_COMMCTRL_DISABLE = 34,
    REASON_UNDEFINED = 35,
  };

  CZvDeviceInfoData() = default;
  explicit CZvDeviceInfoData(Reason reason) : reason(reason) {}
  CZvDeviceInfoData(Reason reason, uint16_t fblockKey, uint16_t functionID,
                    uint32_t routingAddress, uint64_t session)
      : reason(reason), fblockKey(fblockKey), functionID(functionID), posX(0), posY(0),
        routingAddress(routingAddress), session(session) {}

  Reason reason = REASON_UNDEFINED;
  uint32_t detail = 0;
  uint16_t fblockKey = 0;
  uint16_t functionID = 0;
  int32_t posX = 0;
  int32_t posY = 0;
  uint32_t routingAddress = 0;
  uint64_t session = ~uint64_t{0};
  uint16_t quantity = 0;
  uint16_t tag = 0;
  bool instAny = false;
};

// Carries one CZvDeviceInfoData within the process.
class CZvDeviceInfo : public CZvInternalEvent {
 public:
  explicit CZvDeviceInfo(const CZvDeviceInfoData& data) : mData(data) {}
  const CZvDeviceInfoData& getData() const { return mData; }

 private:
  CZvDeviceInfoData mData;
};

// The event class that IZvDeviceInfoConsumers receive.
class CZvDeviceInfoEvent : public CZvDeviceInfo {
 public:
  static const CZvClassID sClassID;

  explicit CZvDeviceInfoEvent(const CZvDeviceInfoData& data) : CZvDeviceInfo(data) {}

  static CZvDeviceInfoEvent* createEvent(const CZvDeviceInfoData& data);
  static CZvDeviceInfoEvent* createEvent();
  static void sendEvent(const CZvDeviceInfoData& data);
  static void sendEvent();
  // Sends a new event to one consumer (the way devices and functions notify).
  static void sendTo(IZvDeviceInfoConsumer* consumer, const CZvDeviceInfoData& data);

  static bool addListener(IZvDeviceInfoConsumer& consumer);
  static bool removeListener(const IZvDeviceInfoConsumer& consumer);

  void* castToPtr(const CZvClassID& id) override;
  void dispatchSelf(CZvEventDispatcher& dispatcher) override;
  const CZvClassID& getClassID() const override { return sClassID; }
};

// Reaches the MOST client of a consumer: the one it was given, else the
// calling thread's.
class CZvMOSTAdapter {
 public:
  explicit CZvMOSTAdapter(CZvMOSTClientImpl* client = nullptr) : mClient(client) {}
  CZvMOSTClientImpl* getRealMOSTClientImpl() const;
  // Removes consumer from every device and function of the client.
  void deleteObserver(IZvDeviceInfoConsumer* consumer) const;

 private:
  CZvMOSTClientImpl* mClient;
};

class IZvDeviceInfoConsumer : public IZvEventConsumer {
 public:
  explicit IZvDeviceInfoConsumer(CZvMOSTAdapter& adapter) : mAdapter(adapter) {}
  // A consumer that dies leaves every device and function of its client.
  ~IZvDeviceInfoConsumer() override;
  virtual void processEvent(const CZvDeviceInfoEvent& event) = 0;
  CZvMOSTAdapter& getAdapter() const { return mAdapter; }

 private:
  CZvMOSTAdapter& mAdapter;
};

#endif  // FBKIT_FBLOCK_DEVICE_INFO_DATA_H
