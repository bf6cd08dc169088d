#include "fbkit/controller/log_dev_admin.h"

#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"

CZvLogDevAdmin::CZvLogDevAdmin(ConnectedDevices& connectedDevices,
                               std::vector<uint16_t>& currentRegistry, CZvMOSTClientImpl& client)
    : mConnectedDevices(connectedDevices), mCurrentRegistry(currentRegistry), mClient(client) {}

void CZvLogDevAdmin::dispatchMOSTMessage(CZvMOSTMessageData& message) {
  if (mSink != nullptr) mSink->onReport(message);
  ZvMOSTMessageView::rewind(message);
}

void CZvLogDevAdmin::newRegistryAvailable(const std::vector<uint16_t>& valids,
                                          const std::vector<uint16_t>& invalids) {
  if (mSink != nullptr) mSink->onConnectionChange(valids, invalids);
}

void CZvLogDevAdmin::notifyInstChangesListeners(const std::vector<uint16_t>& added,
                                                const std::vector<uint16_t>& removed) {
  if (mSink != nullptr) mSink->onRegistryChange(added, removed);
}

void CZvLogDevAdmin::notifyCentralRegistryListeners() { ++mCentralRegistryNotifications; }

void CZvLogDevAdmin::getAvailableInstIDs(uint8_t fblockID, std::vector<uint8_t>& instIDs) const {
  instIDs.clear();
  for (uint16_t key : mCurrentRegistry) {
    if ((key >> 8) == fblockID) instIDs.push_back(static_cast<uint8_t>(key & 0xFF));
  }
}

void CZvLogDevAdmin::getAvailableInstIDs(uint8_t fblockID,
                                         std::map<uint8_t, uint16_t>& instIDs) const {
  instIDs.clear();
  for (uint16_t key : mCurrentRegistry) {
    if ((key >> 8) == fblockID) instIDs[static_cast<uint8_t>(key & 0xFF)] = mClient.getDeviceID(key);
  }
}

void CZvLogDevAdmin::setReportSink(IZvLogDevReportSink* sink) {
  const bool hadSink = mSink != nullptr;
  mSink = sink;
  if (sink != nullptr && !hadSink) {
    if (mRegistryListeners++ == 0) mClient.notifyOnRegistry(true);
  } else if (sink == nullptr && hadSink) {
    if (--mRegistryListeners == 0) mClient.notifyOnRegistry(false);
  }
}
