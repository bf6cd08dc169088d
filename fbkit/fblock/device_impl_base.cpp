#include "fbkit/fblock/device_impl_base.h"

bool CZvDeviceImplBase::dispatch(const DispatchInfo& info, const CZvDeviceInfoEvent& event) {
  const CZvDeviceInfoData& data = event.getData();
  switch (data.reason) {
    case CZvDeviceInfoData::REASON_DEVICE_ACTIVATED:
      onDeviceActivated(data.fblockKey);
      return true;
    case CZvDeviceInfoData::REASON_DEVICE_DEACTIVATED:
      onDeviceDeactivated(data.fblockKey);
      return true;
    case CZvDeviceInfoData::REASON_COMMCTRL_ENABLE:
      onCommunicationCtrlEnable(data.fblockKey);
      return true;
    case CZvDeviceInfoData::REASON_COMMCTRL_DISABLE:
      onCommunicationCtrlDisable(data.fblockKey);
      return true;
    default:
      break;
  }
  if (info.functionIDs == nullptr || info.handlers == nullptr) return false;
  for (uint32_t i = 0; i < info.count; ++i) {
    if (info.functionIDs[i] == data.functionID && info.handlers[i] != nullptr) {
      (this->*info.handlers[i])(event);
      return true;
    }
  }
  return false;
}

uint32_t CZvDeviceImplBase::searchReason(const uint32_t* reasons, uint32_t count, uint32_t reason) {
  if (reasons == nullptr) return count;
  for (uint32_t i = 0; i < count; ++i) {
    if (reasons[i] == reason) return i;
  }
  return count;
}
