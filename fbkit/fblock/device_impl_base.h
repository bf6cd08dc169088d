// CZvDeviceImplBase: the base of an application's device implementation.
// It receives the device's and its functions' events and turns the device
// events into calls of its virtual operations; function events go through
// a table that the application supplies.
#ifndef FBKIT_FBLOCK_DEVICE_IMPL_BASE_H
#define FBKIT_FBLOCK_DEVICE_IMPL_BASE_H

#include <cstdint>

#include "fbkit/fblock/device_info_data.h"

class CZvDeviceImplBase : public IZvDeviceInfoConsumer {
 public:
  using Handler = void (CZvDeviceImplBase::*)(const CZvDeviceInfoEvent& event);

  // The application's table: function IDs and, in parallel, their handlers.
  struct DispatchInfo {
    uint32_t count;
    const uint16_t* functionIDs;
    const Handler* handlers;
  };

  explicit CZvDeviceImplBase(CZvMOSTAdapter& adapter) : IZvDeviceInfoConsumer(adapter) {}
  ~CZvDeviceImplBase() override = default;

  void processEvent(const CZvDeviceInfoEvent& event) override = 0;
  virtual void onDeviceActivated(uint16_t fblockKey) { (void)fblockKey; }
  virtual void onDeviceDeactivated(uint16_t fblockKey) { (void)fblockKey; }
  virtual void onCommunicationCtrlEnable(uint16_t fblockKey) { (void)fblockKey; }
  virtual void onCommunicationCtrlDisable(uint16_t fblockKey) { (void)fblockKey; }

  // Device events go to the operations above; other events to the first
  // table entry with the event's function ID. False when none takes it.
  bool dispatch(const DispatchInfo& info, const CZvDeviceInfoEvent& event);
  // Index of the first entry equal to reason, count when there is none.
  static uint32_t searchReason(const uint32_t* reasons, uint32_t count, uint32_t reason);
};

#endif  // FBKIT_FBLOCK_DEVICE_IMPL_BASE_H
