#include "fbkit/client/most_client_impl.h"

#include <algorithm>

#include "fbkit/client/most_config.h"
#include "fbkit/client/most_error_handler.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/fblock/device_base.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"
#include "platform/loom/loom.h"

namespace {

const CZvTraceScopeDef kTraceCtor("framework_comm_most_CZvMOSTClientImpl", "CZvMOSTClientImpl");
const CZvTraceScopeDef kTraceConnect("framework_comm_most_CZvMOSTClientImpl", "componentConnected");
const CZvTraceScopeDef kTraceRegister("framework_comm_most_CZvMOSTClientImpl", "registration");
const CZvTraceScopeDef kTraceSend("framework_comm_most_CZvMOSTClientImpl",
                                  "requestServerProcessMessage");
const CZvTraceScopeDef kTraceReceive("framework_comm_most_CZvMOSTClientImpl",
                                     "informationProcessMessage");
const CZvTraceScopeDef kTraceInfo("framework_comm_most_CZvMOSTClientImpl", "information");
const CZvTraceScopeDef kTraceRegistry("framework_comm_most_CZvMOSTClientImpl", "processNewRegistry");

const char* const kDefaultRole = "MOSTSubSystem";

// Messages requested while the server is unreachable are kept up to this
// count and sent after the next registration; older ones are dropped.
constexpr size_t kMaxPendingMessages = 64;

thread_local CZvMOSTClientImpl* tClient = nullptr;

bool isTransmissionFailure(int32_t ti) { return ti >= 4 && ti <= 9; }

void insertSorted(std::vector<uint16_t>& list, uint16_t key) {
  auto it = std::lower_bound(list.begin(), list.end(), key);
  if (it == list.end() || *it != key) list.insert(it, key);
}

}  // namespace

CZvMOSTClientImpl::CZvMOSTClientImpl(const char* roleName)
    : CDSYSMOSTServerClientBase(roleName != nullptr ? roleName : kDefaultRole),
      mLogDevAdmin(mConnectedDevices, mCurrentRegistry, *this),
      mDeviceAdmin(mActivatedFBlocks, *this) {
  construct(roleName != nullptr ? roleName : kDefaultRole);
}

CZvMOSTClientImpl::CZvMOSTClientImpl()
    : CDSYSMOSTServerClientBase(kDefaultRole),
      mLogDevAdmin(mConnectedDevices, mCurrentRegistry, *this),
      mDeviceAdmin(mActivatedFBlocks, *this) {
  construct(kDefaultRole);
}

void CZvMOSTClientImpl::construct(const char* roleName) {
  mPendingMessages.reserve(2);
  mBatch.reserve(10);
  if (tClient == nullptr) tClient = this;
  CZvTraceScope(kTraceCtor).sendFormattedMessage("Created MOSTClient %p, mssrolename '%s'",
                                                 static_cast<void*>(this), roleName);
}

CZvMOSTClientImpl::~CZvMOSTClientImpl() {
  // Other clients of this thread may share the proxy and keep the connection
  // open, so the server would never learn that this one is gone.
  if (mRegistered && proxyConnected()) unregisterMOSTClientExt();
  if (tClient == this) tClient = nullptr;
}

CZvMOSTClientImpl* CZvMOSTClientImpl::getRealMOSTClientImpl() {
  if (tClient == nullptr) tClient = new CZvMOSTClientImpl();
  return tClient;
}

CZvMOSTClientImpl* CZvMOSTClientImpl::peekMOSTClientImpl() { return tClient; }

bool CZvMOSTClientImpl::proxyConnected() const {
  return getProxy() != nullptr && getProxy()->isConnected();
}

// ---- connection and registration -------------------------------------------

void CZvMOSTClientImpl::componentConnected(CZvProxyBase* /*proxy*/) {
  const CZvTraceScope trace(kTraceConnect);
  if (mRegistered || !proxyConnected()) {
    trace.sendFormattedWarning("  MOSTClient %d already connected!", mClientID);
    return;
  }
  trace.sendFormattedMessage("  MOSTClient::componentConnected - register client %d", mClientID);
  const std::vector<uint32_t> ids = {0x80000001, 0x80000002, 0x80000003, 0x80000004,
                                     0x80000005, 0x80000006, 0x80000007};
  const std::string name =
      ZvApplication::getProcessName() + "-" + CZvComponentInfo::getCurrentComponentName();
  registerMOSTClientExt(ids, CZvString(name));
  notifyOn(DSYSMOSTServer::DeviceIDId, true);
  notifyOn(DSYSMOSTServer::CommunicationCtrlId, true);
  if (mLogDevAdmin.needsRegistryNotification()) notifyOn(DSYSMOSTServer::RegistryId, true);
}

void CZvMOSTClientImpl::responseMOSTClient(uint32_t clientID, uint16_t deviceID) {
  mClientID = clientID;
  CZvTraceScope(kTraceRegister)
      .sendFormattedMessage("  MOSTClient %d responseMOSTClient devID %04X, devs %d strdevs %d logdevs %d",
                            clientID, deviceID, static_cast<int>(mDevices.size()),
                            static_cast<int>(mNamedDevices.size()),
                            static_cast<int>(mDevCtrls.size()));
  mRegistered = true;
  mOwnDeviceID = deviceID;
  notifyOn(DSYSMOSTServer::MOSTCommunicationStateId, true);
  if (!mDevices.empty()) requestRegisterDevices(mClientID, mDevices);
  if (!mNamedDevices.empty()) requestRegisterExtDevices(mClientID, mNamedDevices);
  if (!mDevCtrls.empty()) requestRegisterDevCtrls(mClientID, mDevCtrls);
  // Messages requested while the server was unreachable go out now.
  DSYSMOSTTypes::MessageVector pending;
  pending.swap(mPendingMessages);
  for (DSYSMOSTTypes::MessageType& msg : pending) requestServerProcessMessage(msg, false);
}

void CZvMOSTClientImpl::componentDisconnected(CZvProxyBase* /*proxy*/) {
  mRegistered = false;
  mNewRegistry.clear();
  processNewRegistry();
}

void CZvMOSTClientImpl::sendRegistration(uint16_t fblockKey, bool on, const CZvString& name) {
  CZvTraceScope(kTraceRegister)
      .sendFormattedMessage("  MOSTClient %d sendRegistration fBlockKey %04X(%s) %d", mClientID,
                            fblockKey, name.c_str(), on ? 1 : 0);
  if (!on) {
    mDevices.erase(std::remove(mDevices.begin(), mDevices.end(), fblockKey), mDevices.end());
    // A named registration ends as well; otherwise the FBlock would be
    // registered again after every reconnection.
    mNamedDevices.erase(std::remove_if(mNamedDevices.begin(), mNamedDevices.end(),
                                       [fblockKey](const DSYSMOSTTypes::FBlockKeyStringType& d) {
                                         return d.fblockKey == fblockKey;
                                       }),
                        mNamedDevices.end());
  } else if (!name.isEmpty()) {
    DSYSMOSTTypes::FBlockKeyStringType named;
    named.fblockKey = fblockKey;
    named.name = name;
    if (std::find(mNamedDevices.begin(), mNamedDevices.end(), named) == mNamedDevices.end()) {
      mNamedDevices.push_back(named);
    }
  } else if (std::find(mDevices.begin(), mDevices.end(), fblockKey) == mDevices.end()) {
    mDevices.push_back(fblockKey);
  }
  if (!mRegistered || !proxyConnected()) return;
  if (!on) {
    requestUnregisterDevices(mClientID, DSYSMOSTTypes::FBlockKeyVector{fblockKey});
  } else if (!name.isEmpty()) {
    DSYSMOSTTypes::FBlockKeyStringType named;
    named.fblockKey = fblockKey;
    named.name = name;
    requestRegisterExtDevices(mClientID, DSYSMOSTTypes::FBlockKeyStringVector{named});
  } else {
    requestRegisterDevices(mClientID, DSYSMOSTTypes::FBlockKeyVector{fblockKey});
  }
}

void CZvMOSTClientImpl::sendLogDevRegistration(uint16_t fblockKey, bool on) {
  const bool connected = proxyConnected();
  CZvTraceScope(kTraceRegister)
      .sendFormattedMessage(" MOSTClient %d registerLogDev %d %d %04X %d", mClientID,
                            mRegistered ? 1 : 0, connected ? 1 : 0, fblockKey, on ? 1 : 0);
  if (on) {
    if (std::find(mDevCtrls.begin(), mDevCtrls.end(), fblockKey) == mDevCtrls.end()) {
      mDevCtrls.push_back(fblockKey);
    }
  } else {
    mDevCtrls.erase(std::remove(mDevCtrls.begin(), mDevCtrls.end(), fblockKey), mDevCtrls.end());
  }
  if (!mRegistered || !connected) return;
  if (on) {
    requestRegisterDevCtrls(mClientID, DSYSMOSTTypes::FBlockKeyVector{fblockKey});
  } else {
    requestUnregisterDevCtrls(mClientID, DSYSMOSTTypes::FBlockKeyVector{fblockKey});
  }
}

void CZvMOSTClientImpl::responseCleanUp() {
  CZvTraceScope(kTraceInfo).sendFormattedMessage("  MOSTClient %d responseCleanUp", mClientID);
  if (proxyConnected()) requestCleanUp(mClientID);
}

// ---- outgoing messages -------------------------------------------------------

void CZvMOSTClientImpl::requestServerProcessMessage(const DSYSMOSTTypes::MessageType& msg,
                                                    bool batchable) {
  CZvTraceScope(kTraceSend).sendFormattedMessage("  MOSTClient %d requestServerProcessMessage",
                                                 mClientID);
  DSYSMOSTTypes::MessageType out(msg);
  out.header.sourceAddress = mNodeDeviceID;
  if (!proxyConnected()) {
    if (mPendingMessages.size() >= kMaxPendingMessages) mPendingMessages.erase(mPendingMessages.begin());
    mPendingMessages.push_back(out);
    return;
  }
  if (batchable && mBatchMode) {
    mBatch.push_back(out);
    return;
  }
  requestProcessMessage(mClientID, out);
}

void CZvMOSTClientImpl::flushMOSTMessages() {
  if (!mBatch.empty()) requestProcessMessageVector(mClientID, mBatch);
  mBatch.clear();
  mBatchMode = false;
}

DSYSMOSTTypes::MessageType CZvMOSTClientImpl::convert(const CZvMOSTMessageData& messageData) {
  return ZvMOSTMessageView::toMessageType(messageData);
}

// ---- incoming messages -------------------------------------------------------

void CZvMOSTClientImpl::informationProcessMessage(const DSYSMOSTTypes::MessageType& msg) {
  const bool hasTI = msg.transmissionVariant.holdsTransmissionInfo();
  const int32_t ti = hasTI ? msg.transmissionVariant.rawValue() : -1;
  CZvTraceScope(kTraceReceive)
      .sendFormattedMessage("  MOSTClient %d informationProcessMessage fblock 0x%02X TI: %d ",
                            mClientID, msg.header.fblockID, ti);
  if (hasTI && msg.transmissionType == 1 && ti >= 19 && ti <= 21) {
    handleSegmentedMessages(msg, ti);
    return;
  }
  if (!hasTI) doCheapAssert(628, "CZvMOSTClientImpl");
  CZvMOSTMessageData message = ZvMOSTMessageView::fromMessageType(msg, hasTI ? ti : 0);
  dispatchMOSTMessage(message, isTransmissionFailure(ti));
}

void CZvMOSTClientImpl::handleSegmentedMessages(const DSYSMOSTTypes::MessageType& msg, int32_t ti) {
  DSYSMOSTTypes::MessageType whole;
  // A completed message is an ordinary one now (transmission info 0).
  if (mSegments.add(msg, ti, whole)) informationProcessMessage(whole);
}

void CZvMOSTClientImpl::dispatchMOSTMessage(CZvMOSTMessageData& message, bool error) {
  const bool command = ZvMOSTMessageView::opType(message) <= 8;
  const CZvTraceScope trace(kTraceReceive);
  // With the error flag a message this node sent came back: a report goes
  // back to the FBlock that sent it, a command to the controller that sent it.
  if (command != error) {
    trace.sendFormattedMessage("  MOSTClient %d dispatchMOSTMessage, mDeviceAdmin", mClientID);
    mDeviceAdmin.dispatchMOSTMessage(message);
    return;
  }
  if (!handleError(message)) {
    trace.sendFormattedMessage("  MOSTClient %d dispatchMOSTMessage, mLogDevAdmin", mClientID);
    mLogDevAdmin.dispatchMOSTMessage(message);
  }
  for (CZvMOSTErrorHandler* handler : ZvSystemConfig::getMOSTConfig().getErrorHandlers()) {
    ZvMOSTMessageView::rewind(message);
    handler->publish(message);
  }
}

bool CZvMOSTClientImpl::handleError(CZvMOSTMessageData& message) {
  const CZvByteStream& payload = ZvMOSTMessageView::payload(message);
  const bool taken = ZvMOSTMessageView::opType(message) == 15 && payload.getSize() >= 1 &&
                     payload.getData()[0] == 0x0C &&
                     DSYSMOSTTypes::isExtMostAddress(ZvMOSTMessageView::senderDeviceID(message));
  if (taken) {
    CZvTraceScope(kTraceReceive)
        .sendFormattedMessage("MOSTClient %d dispatch segmentation error to mDeviceAdmin", mClientID);
    ZvMOSTMessageView::rewind(message);
    mDeviceAdmin.dispatchMOSTMessage(message);
  }
  ZvMOSTMessageView::rewind(message);
  return taken;
}

// ---- server informations -------------------------------------------------------

void CZvMOSTClientImpl::informationConnect(const DSYSMOSTServer::DeviceInfoVector& devices) {
  const CZvTraceScope trace(kTraceInfo);
  std::vector<uint16_t> keys;
  for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
    mConnectedDevices[it->fblockKey] = *it;
    keys.push_back(it->fblockKey);
    trace.sendFormattedMessage("  MOSTClient %d connect fbKey %04X devId %04X", mClientID,
                               it->fblockKey, it->deviceID);
  }
  if (keys.empty()) {
    trace.sendFormattedWarning(" MOSTClient %d informationConnect with empty devCtrl list !",
                               mClientID);
    return;
  }
  mLogDevAdmin.newRegistryAvailable(keys, {});
}

void CZvMOSTClientImpl::informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& keys) {
  const CZvTraceScope trace(kTraceInfo);
  trace.sendFormattedMessage("  MOSTClient %d informationDisconnect size %d", mClientID,
                             static_cast<int>(keys.size()));
  if (keys.empty()) {
    trace.sendFormattedWarning(" MOSTClient %d informationDisconnect with empty devCtrl list !",
                               mClientID);
    return;
  }
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) mConnectedDevices.erase(*it);
  mLogDevAdmin.newRegistryAvailable({}, keys);
}

void CZvMOSTClientImpl::informationActivate(const DSYSMOSTTypes::FBlockKeyVector& keys) {
  const CZvTraceScope trace(kTraceInfo);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    insertSorted(mActivatedFBlocks, *it);
    trace.sendFormattedMessage(" MOSTClient %d activate fbKey %04X", mClientID, *it);
  }
  if (keys.empty()) {
    trace.sendFormattedWarning(" MOSTClient %d informationActivate with empty devCtrl list !",
                               mClientID);
    return;
  }
  mDeviceAdmin.notifyValids(keys);
}

void CZvMOSTClientImpl::informationDeactivate(const DSYSMOSTTypes::FBlockKeyVector& keys) {
  CZvTraceScope(kTraceInfo).sendFormattedMessage("  MOSTClient %d informationDeactivate size %d",
                                                 mClientID, static_cast<int>(keys.size()));
  // The server no longer lists these FBlocks as active.
  for (uint16_t key : keys) {
    mActivatedFBlocks.erase(std::remove(mActivatedFBlocks.begin(), mActivatedFBlocks.end(), key),
                            mActivatedFBlocks.end());
  }
  mDeviceAdmin.notifyInvalids(keys);
}

void CZvMOSTClientImpl::informationChangeInstID(uint16_t fblockKey, uint8_t newInstID) {
  CZvTraceScope(kTraceInfo).sendFormattedMessage("  MOSTClient %d informationChangeInstID fbKey %04X",
                                                 mClientID, fblockKey);
  if (mDeviceAdmin.changeFBlockKey(fblockKey, newInstID)) {
    requestChangeInstID(mClientID, fblockKey, newInstID);
  }
}

void CZvMOSTClientImpl::informationCleanUp(DSYSMOSTServer::CleanUpRequest request,
                                           uint16_t devCtrl, uint16_t deviceID) {
  const CZvTraceScope trace(kTraceInfo);
  if (request == 1) {
    trace.sendFormattedMessage("  MOSTClient 0x%02X (ownDeviceId: 0x%04X) informationCleanUp external",
                               mClientID, mNodeDeviceID);
    mBatch.erase(std::remove_if(mBatch.begin(), mBatch.end(),
                                [](const DSYSMOSTTypes::MessageType& m) {
                                  return DSYSMOSTTypes::isExtMostAddress(m.header.targetAddress);
                                }),
                 mBatch.end());
  } else {
    trace.sendFormattedMessage(
        "  MOSTClient 0x%02X (ownDeviceId: 0x%04X) informationCleanUp internal: devCtrl 0x%04X devID %X ",
        mClientID, mNodeDeviceID, devCtrl, deviceID);
  }
  mDeviceAdmin.netOffCleanup(request, devCtrl, deviceID);
}

// ---- attributes ------------------------------------------------------------------

void CZvMOSTClientImpl::onDeviceIDUpdate(uint16_t id, ZvServices::DataStateType state) {
  if (state != ZvServices::DATA_STATE_VALID) return;
  mNodeDeviceID = id;
  CZvTraceScope(kTraceInfo)
      .sendFormattedMessage("  MOSTClient::onDeviceIDUpdate - new deviceID given: 0x%04X", id);
}

void CZvMOSTClientImpl::onRegistryUpdate(const DSYSMOSTTypes::Registry& entries,
                                         ZvServices::DataStateType state) {
  if (state != ZvServices::DATA_STATE_VALID) return;
  mNewRegistry.clear();
  for (const DSYSMOSTTypes::RegistryEntry& entry : entries) insertSorted(mNewRegistry, entry.fblockKey);
  processNewRegistry();
  mLogDevAdmin.notifyCentralRegistryListeners();
}

void CZvMOSTClientImpl::onMOSTCommunicationStateUpdate(DSYSMOSTTypes::eMOSTCommunicationState value,
                                                       ZvServices::DataStateType /*state*/) {
  mDeviceAdmin.notifyMOSTCommunicationState(value);
}

void CZvMOSTClientImpl::onCommunicationCtrlUpdate(DSYSMOSTServer::CommCtrlMode mode,
                                                  ZvServices::DataStateType /*state*/) {
  mDeviceAdmin.notifyCommunicationControl(mode == 0);
}

void CZvMOSTClientImpl::processNewRegistry() {
  CZvTraceScope(kTraceRegistry)
      .sendFormattedMessage("  MOSTClient %d processNewRegistry cur:%d new:%d", mClientID,
                            static_cast<int>(mCurrentRegistry.size()),
                            static_cast<int>(mNewRegistry.size()));
  std::vector<uint16_t> added;
  std::vector<uint16_t> removed;
  auto cur = mCurrentRegistry.begin();
  auto next = mNewRegistry.begin();
  while (cur != mCurrentRegistry.end() && next != mNewRegistry.end()) {
    if (*cur == *next) {
      ++cur;
      ++next;
    } else if (*next < *cur) {
      added.push_back(*next++);
    } else {
      removed.push_back(*cur++);
    }
  }
  added.insert(added.end(), next, mNewRegistry.end());
  removed.insert(removed.end(), cur, mCurrentRegistry.end());
  mLogDevAdmin.notifyInstChangesListeners(added, removed);
  mCurrentRegistry = mNewRegistry;
}

// ---- queries ---------------------------------------------------------------------

bool CZvMOSTClientImpl::isCommunicationOk() const {
  const CDSYSMOSTServerProxy* proxy = getProxy();
  return proxy != nullptr &&
         proxy->getDataState(DSYSMOSTServer::MOSTCommunicationStateId) == ZvServices::DATA_STATE_VALID &&
         proxy->getMOSTCommunicationState() == 1;
}

uint16_t CZvMOSTClientImpl::getDeviceID(uint16_t fblockKey) const {
  const CDSYSMOSTServerProxy* proxy = getProxy();
  if (proxy == nullptr || proxy->getDataState(DSYSMOSTServer::RegistryId) != ZvServices::DATA_STATE_VALID) {
    return 0xFFFF;
  }
  for (const DSYSMOSTTypes::RegistryEntry& entry : proxy->getRegistry()) {
    if (entry.fblockKey == fblockKey) return entry.deviceID;
  }
  return 0xFFFF;
}

bool CZvMOSTClientImpl::getAvailableInstIDs(uint8_t fblockID,
                                            std::map<uint8_t, uint16_t>& instIDs) const {
  const CDSYSMOSTServerProxy* proxy = getProxy();
  if (proxy == nullptr || proxy->getDataState(DSYSMOSTServer::RegistryId) != ZvServices::DATA_STATE_VALID) {
    return false;
  }
  mLogDevAdmin.getAvailableInstIDs(fblockID, instIDs);
  return true;
}

bool CZvMOSTClientImpl::getAvailableInstIDs(uint8_t fblockID, std::vector<uint8_t>& instIDs) const {
  const CDSYSMOSTServerProxy* proxy = getProxy();
  if (proxy == nullptr || proxy->getDataState(DSYSMOSTServer::RegistryId) != ZvServices::DATA_STATE_VALID) {
    return false;
  }
  mLogDevAdmin.getAvailableInstIDs(fblockID, instIDs);
  return true;
}

bool CZvMOSTClientImpl::getAvailableDevices(DSYSMOSTTypes::Registry& entries) const {
  const CDSYSMOSTServerProxy* proxy = getProxy();
  if (proxy == nullptr || proxy->getDataState(DSYSMOSTServer::RegistryId) != ZvServices::DATA_STATE_VALID) {
    return false;
  }
  entries = proxy->getRegistry();
  return true;
}

std::vector<uint16_t> CZvMOSTClientImpl::getBroadcastLogDevs(uint8_t fblockID) const {
  std::vector<uint16_t> keys;
  for (const auto& entry : mConnectedDevices) {
    if (entry.first == 0xFFFF || (entry.first >> 8) == fblockID) keys.push_back(entry.first);
  }
  return keys;
}

void CZvCloseMOSTFriend::registerDeviceBaseListener(CZvDeviceBase& device,
                                                    IZvDeviceInfoConsumer* consumer) {
  device.registerBaseListener(consumer);
}
