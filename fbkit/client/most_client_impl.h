// CZvMOSTClientImpl: the one connection of a thread to the MOST server.
// It registers the thread's FBlocks and device controllers, turns every
// incoming message into a CZvMOSTMessageData and routes it to the FBlock side
// (CZvDeviceAdmin) or the controller side (CZvLogDevAdmin), reassembles
// segmented messages, sends outgoing messages singly or in batches and keeps
// the ring's registry of FBlocks.
#ifndef FBKIT_CLIENT_MOST_CLIENT_IMPL_H
#define FBKIT_CLIENT_MOST_CLIENT_IMPL_H

#include <cstdint>
#include <map>
#include <vector>

#include "fbkit/client/dsysmost_client_base.h"
#include "fbkit/client/segment_assembler.h"
#include "fbkit/controller/log_dev_admin.h"
#include "fbkit/fblock/device_admin.h"
#include "platform/basalt/zv_version.h"

class CZvDeviceBase;
class CZvMOSTMessageData;
class IZvDeviceInfoConsumer;

class CZvMOSTClientImpl : public CDSYSMOSTServerClientBase {
 public:
  // Role name of the server; null means "MOSTSubSystem".
  explicit CZvMOSTClientImpl(const char* roleName);
  CZvMOSTClientImpl();
  ~CZvMOSTClientImpl() override;

  // The calling thread's client, created on first use.
  static CZvMOSTClientImpl* getRealMOSTClientImpl();
  // The calling thread's client or null, without creating one.
  static CZvMOSTClientImpl* peekMOSTClientImpl();

  // Attribute updates.
  void onMOSTCommunicationStateUpdate(DSYSMOSTTypes::eMOSTCommunicationState value,
                                      ZvServices::DataStateType state) override;
  void onRegistryUpdate(const DSYSMOSTTypes::Registry& entries,
                        ZvServices::DataStateType state) override;
  void onDeviceIDUpdate(uint16_t id, ZvServices::DataStateType state) override;
  void onCommunicationCtrlUpdate(DSYSMOSTServer::CommCtrlMode mode,
                                 ZvServices::DataStateType state) override;
  // Responses and informations.
  void responseMOSTClient(uint32_t clientID, uint16_t deviceID) override;
  void informationProcessMessage(const DSYSMOSTTypes::MessageType& msg) override;
  void informationChangeInstID(uint16_t fblockKey, uint8_t newInstID) override;
  void informationConnect(const DSYSMOSTServer::DeviceInfoVector& devices) override;
  void informationDisconnect(const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void informationActivate(const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void informationDeactivate(const DSYSMOSTTypes::FBlockKeyVector& keys) override;
  void informationCleanUp(DSYSMOSTServer::CleanUpRequest request, uint16_t devCtrl,
                          uint16_t deviceID) override;
  void componentConnected(CZvProxyBase* proxy) override;
  void componentDisconnected(CZvProxyBase* proxy) override;

  // Sends one message (or queues it for the batch when batchable).
  virtual void requestServerProcessMessage(const DSYSMOSTTypes::MessageType& msg, bool batchable);

  void startMOSTMessages() { mBatchMode = true; }
  void flushMOSTMessages();
  bool isBatchMode() const { return mBatchMode; }
  bool isCommunicationOk() const;

  uint16_t getDeviceID(uint16_t fblockKey) const;
  bool getAvailableInstIDs(uint8_t fblockID, std::map<uint8_t, uint16_t>& instIDs) const;
  bool getAvailableInstIDs(uint8_t fblockID, std::vector<uint8_t>& instIDs) const;
  bool getAvailableDevices(DSYSMOSTTypes::Registry& entries) const;
  std::vector<uint16_t> getBroadcastLogDevs(uint8_t fblockID) const;

  void sendRegistration(uint16_t fblockKey, bool on, const CZvString& name);
  void sendLogDevRegistration(uint16_t fblockKey, bool on);
  void responseCleanUp();

  static DSYSMOSTTypes::MessageType convert(const CZvMOSTMessageData& messageData);
  CZvVersion getImplVersion() const { return CZvVersion(1, 0, 0); }

  uint16_t getOwnDeviceID() const { return mOwnDeviceID; }
  uint16_t getNodeDeviceID() const { return mNodeDeviceID; }
  uint32_t getClientID() const { return mClientID; }
  bool isRegistered() const { return mRegistered; }
  CZvDeviceAdmin& getDeviceAdmin() { return mDeviceAdmin; }
  CZvLogDevAdmin& getLogDevAdmin() { return mLogDevAdmin; }
  const std::vector<uint16_t>& getCurrentRegistry() const { return mCurrentRegistry; }
  const std::vector<uint16_t>& getActivatedFBlocks() const { return mActivatedFBlocks; }
  size_t pendingMessageCount() const { return mPendingMessages.size(); }
  // What responseMOSTClient registers (again): plain and named FBlocks and
  // device controllers.
  const DSYSMOSTTypes::FBlockKeyVector& getDevicesToRegister() const { return mDevices; }
  const DSYSMOSTTypes::FBlockKeyStringVector& getNamedDevicesToRegister() const { return mNamedDevices; }
  const DSYSMOSTTypes::FBlockKeyVector& getDevCtrlsToRegister() const { return mDevCtrls; }
  size_t partialSegmentCount() const { return mSegments.partialCount(); }

 protected:
  // Routes one message: commands to the FBlock side, reports to the
  // controller side; error set means a failed transmission of a message this
  // client sent, which comes back with the roles swapped.
  void dispatchMOSTMessage(CZvMOSTMessageData& message, bool error);
  bool handleError(CZvMOSTMessageData& message);
  void handleSegmentedMessages(const DSYSMOSTTypes::MessageType& msg, int32_t ti);
  void processNewRegistry();
  bool proxyConnected() const;

 private:
  void construct(const char* roleName);

  uint16_t mNodeDeviceID = 0;
  uint16_t mOwnDeviceID = 0;
  CZvLogDevAdmin::ConnectedDevices mConnectedDevices;
  std::vector<uint16_t> mCurrentRegistry;
  std::vector<uint16_t> mNewRegistry;
  std::vector<uint16_t> mActivatedFBlocks;
  CZvLogDevAdmin mLogDevAdmin;
  CZvDeviceAdmin mDeviceAdmin;
  uint32_t mClientID = 0;
  bool mRegistered = false;
  DSYSMOSTTypes::FBlockKeyVector mDevices;
  DSYSMOSTTypes::FBlockKeyStringVector mNamedDevices;
  DSYSMOSTTypes::FBlockKeyVector mDevCtrls;
  DSYSMOSTTypes::MessageVector mPendingMessages;
  DSYSMOSTTypes::MessageVector mBatch;
  CZvMOSTSegmentAssembler mSegments;
  bool mBatchMode = false;
};

// Forwards listener registrations to devices (and logical devices).
class CZvCloseMOSTFriend {
 public:
  static void registerDeviceBaseListener(CZvDeviceBase& device, IZvDeviceInfoConsumer* consumer);
};

#endif  // FBKIT_CLIENT_MOST_CLIENT_IMPL_H
