#include "fbkit/fblock/function_base.h"

#include <algorithm>

#include "fbkit/fblock/device_base.h"

CZvFunctionBase::~CZvFunctionBase() {
  if (mDevice != nullptr) mDevice->removeFunction(this);
}

void CZvFunctionBase::reassign(uint16_t newFktID) {
  const uint16_t old = mFunctionID;
  mFunctionID = newFktID;
  if (mDevice != nullptr) mDevice->reassign(old, this);
}

void CZvFunctionBase::addObserver(IZvDeviceInfoConsumer* consumer) {
  if (consumer == nullptr) return;
  if (std::find(mObservers.begin(), mObservers.end(), consumer) == mObservers.end()) {
    mObservers.push_back(consumer);
  }
}

void CZvFunctionBase::deleteObserver(IZvDeviceInfoConsumer* consumer) {
  mObservers.erase(std::remove(mObservers.begin(), mObservers.end(), consumer), mObservers.end());
}

void CZvFunctionBase::sendDeviceInfoEvents(CZvDeviceInfoData data) const {
  data.instAny = mInstAnyReceived;
  for (auto it = mObservers.rbegin(); it != mObservers.rend(); ++it) {
    CZvDeviceInfoEvent::sendTo(*it, data);
  }
}
