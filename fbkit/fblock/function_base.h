// CZvFunctionBase: one function of an FBlock. The device hands it every
// command addressed to its function ID. This is the contract the device
// relies on; property and method kinds derive from it.
#ifndef FBKIT_FBLOCK_FUNCTION_BASE_H
#define FBKIT_FBLOCK_FUNCTION_BASE_H

#include <cstdint>
#include <vector>

#include "fbkit/fblock/device_info_data.h"
#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_timer.h"

class CZvDeviceBase;
class CZvMOSTMessageData;

namespace ZvMOSTTypes {
using eFunctionMaturity = int32_t;
}

class CZvFunctionBase : public IZvTimerConsumer {
 public:
  explicit CZvFunctionBase(uint16_t functionID) : mFunctionID(functionID) {}
  // Leaves its device, which must not keep a dangling entry.
  ~CZvFunctionBase() override;

  void processEvent(const CZvTimerEvent&) override {}
  virtual bool send(uint8_t opType) = 0;
  virtual void reset() { resetProtocols(); }
  // Handles one command; false when it could not be processed.
  virtual bool readFromMessage(const CZvMOSTMessageData& message, uint32_t routingAddress) = 0;
  // Notification.Set / clear for one listener.
  virtual bool readNotification(uint8_t control, uint32_t routingAddress) = 0;
  // Answers Notification.Get itself; false in the base.
  virtual bool readNotificationGet(uint32_t /*routingAddress*/) { return false; }
  virtual bool isNotifiable() const = 0;
  virtual bool isInNotificationMatrix(uint16_t /*deviceID*/) const { return false; }
  virtual void clearListener(uint32_t /*routingAddress*/) {}
  virtual void clearListeners() {}
  virtual void resetProtocols() = 0;
  virtual void netOff(int32_t /*request*/, uint16_t /*devCtrl*/, uint16_t /*devID*/) {}
  // Properties send their automatic Status to implicit listeners when the
  // MOST communication comes up; nothing in the base.
  virtual void sendAutoStatusToImplicit() {}
  virtual bool hasImplicitListeners() const { return false; }
  // Resets the retry handling of the function, when it has one.
  virtual void resetTimers() {}

  uint16_t getFunctionID() const { return mFunctionID; }
  // The function takes the new ID and its device re-keys it.
  void reassign(uint16_t newFktID);

  CZvDeviceBase* getDevice() const { return mDevice; }
  void setDevice(CZvDeviceBase* device) { mDevice = device; }

  void setInstAnyReceived(bool value) { mInstAnyReceived = value; }
  bool getInstAnyReceived() const { return mInstAnyReceived; }
  void setReceivedAsBroadcast(bool value) { mReceivedAsBroadcast = value; }
  bool getReceivedAsBroadcast() const { return mReceivedAsBroadcast; }
  ZvMOSTTypes::eFunctionMaturity getMaturity() const { return mMaturity; }
  void setMaturity(ZvMOSTTypes::eFunctionMaturity maturity) { mMaturity = maturity; }

  // Observers receive the function's events; no duplicates.
  void addObserver(IZvDeviceInfoConsumer* consumer);
  void deleteObserver(IZvDeviceInfoConsumer* consumer);
  const std::vector<IZvDeviceInfoConsumer*>& getObservers() const { return mObservers; }
  // Posts one event per observer, last observer first, with instAny set.
  void sendDeviceInfoEvents(CZvDeviceInfoData data) const;

 private:
  uint16_t mFunctionID;
  CZvDeviceBase* mDevice = nullptr;
  std::vector<IZvDeviceInfoConsumer*> mObservers;
  bool mInstAnyReceived = false;
  bool mReceivedAsBroadcast = false;
  ZvMOSTTypes::eFunctionMaturity mMaturity = 0;
};

#endif  // FBKIT_FBLOCK_FUNCTION_BASE_H
