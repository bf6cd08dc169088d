// CZvDeviceBase: one FBlock instance on the owner side. It holds the
// FBlock's functions keyed by function ID, answers the FBlock-wide standard
// functions (FktIDs, Notification, NotificationCheck, Version) itself,
// answers unknown functions with MOST error 0x03, and manages its
// registration at the MOST server, its activation and its listeners.
#ifndef FBKIT_FBLOCK_DEVICE_BASE_H
#define FBKIT_FBLOCK_DEVICE_BASE_H

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/fblock/device_info_data.h"
#include "fbkit/fblock/function_base.h"
#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"

class CZvFunctionBase;
class CZvMOSTClientImpl;
class CZvMOSTMessageData;

class CZvDeviceBase {
 public:
  enum RegistrationState : uint32_t {
    STATE_UNREGISTERED = 0,
    STATE_REGISTRATION_REQUESTED = 1,
    STATE_ACTIVE = 2,
    STATE_DEREGISTRATION_REQUESTED = 3,
  };

  static constexpr uint16_t kFktIDs = 0x000;
  static constexpr uint16_t kNotification = 0x001;
  static constexpr uint16_t kNotificationCheck = 0x002;
  static constexpr uint16_t kVersion = 0x010;

  CZvDeviceBase(uint8_t fblockID, uint8_t instID, IZvDeviceInfoConsumer* listener,
                CZvMOSTClientImpl* client, bool noAutoRegistration = false);
  virtual ~CZvDeviceBase();
  CZvDeviceBase(const CZvDeviceBase&) = delete;
  CZvDeviceBase& operator=(const CZvDeviceBase&) = delete;

  // Standard array functions of the application's device (none in the base).
  virtual CZvFunctionBase* getDynArrayInsPtr() { return nullptr; }
  virtual CZvFunctionBase* getDynArrayDelPtr() { return nullptr; }
  virtual CZvFunctionBase* getMapInsPtr() { return nullptr; }
  virtual CZvFunctionBase* getMapDelPtr() { return nullptr; }
  virtual CZvFunctionBase* getCreateArrayWindowPtr() { return nullptr; }
  virtual CZvFunctionBase* getMoveArrayWindowPtr() { return nullptr; }
  virtual CZvFunctionBase* getDestroyArrayWindowPtr() { return nullptr; }
  virtual CZvFunctionBase* getLongArrayInfoPtr() { return nullptr; }
  virtual CZvFunctionBase* getSearchArrayWindowPtr() { return nullptr; }
  virtual CZvFunctionBase* getCreateDataChannelPtr() { return nullptr; }
  virtual CZvFunctionBase* getRemoveDataChannelPtr() { return nullptr; }
  virtual CZvFunctionBase* getDataChannelListPtr() { return nullptr; }
  virtual void activate();
  virtual void deactivate();
  virtual void onMostCommunicationState(int32_t state);
  virtual void changeFBlockKey(uint8_t newInstID);
  virtual void processMOSTMessage(CZvMOSTMessageData& message);
  virtual void readNotification(CZvMOSTMessageData& message);
  virtual void netOff(int32_t request, uint16_t devCtrl, uint16_t devID);

  uint8_t getFBlockID() const { return mFBlockID; }
  uint8_t getInstID() const { return mInstID; }
  uint16_t getFBlockKey() const { return static_cast<uint16_t>((mFBlockID << 8) | mInstID); }
  const CZvString& getName() const { return mName; }
  void setName(const CZvString& name) { mName = name; }
  RegistrationState getRegistrationState() const { return mState; }
  bool isActive() const { return mState == STATE_ACTIVE; }

  // Functions.
  void addFunction(CZvFunctionBase* function);
  void reassign(uint16_t oldFktID, CZvFunctionBase* function);
  // Forgets a function (it is being destroyed).
  void removeFunction(CZvFunctionBase* function);
  CZvFunctionBase* getFunction(uint16_t fktID) const;
  CZvFunctionBase* getFblockInfo() const { return getFunction(0x011); }
  bool getFunctionMaturity(uint16_t fktID, ZvMOSTTypes::eFunctionMaturity& maturity) const;
  const std::map<uint16_t, CZvFunctionBase*>& getFunctions() const { return mFunctions; }

  // Collections registered by the application under their function IDs.
  void addDynArray(uint16_t fktID, CZvFunctionBase* f) { mDynArrays[fktID] = f; }
  void addMap(uint16_t fktID, CZvFunctionBase* f) { mMaps[fktID] = f; }
  void addMotherArray(uint16_t fktID, CZvFunctionBase* f) { mMotherArrays[fktID] = f; }
  void addMotherDataChannel(uint16_t fktID, CZvFunctionBase* f) { mMotherDataChannels[fktID] = f; }
  CZvFunctionBase* getDynArrayPtr(uint16_t fktID) const { return lookup(mDynArrays, fktID); }
  CZvFunctionBase* getMapPtr(uint16_t fktID) const { return lookup(mMaps, fktID); }
  CZvFunctionBase* getMotherArray(uint16_t fktID) const { return lookup(mMotherArrays, fktID); }
  CZvFunctionBase* getMotherDataChannel(uint16_t fktID) const {
    return lookup(mMotherDataChannels, fktID);
  }
  size_t sizeMotherArrays() const { return mMotherArrays.size(); }
  size_t sizeMotherDataChannel() const { return mMotherDataChannels.size(); }

  // Listeners.
  void registerBaseListener(IZvDeviceInfoConsumer* listener);
  void releaseDevice(IZvDeviceInfoConsumer* listener);
  void addGroupObserver(IZvDeviceInfoConsumer* consumer);
  void deleteGroupObserver(IZvDeviceInfoConsumer* consumer);
  void notifyBaseListeners(const CZvDeviceInfoData& data) const;
  size_t sizeBaseListeners() const { return mBaseListeners.size(); }

  // Registration at the MOST server.
  bool sendRegistration(bool doRegister);
  bool requestChangeInstId(uint8_t newInstID);

  void clearAllPropertyNotifications(uint32_t routingAddress);
  void sendMessage(uint16_t targetDeviceID, uint8_t opType, uint16_t fktID, int32_t txControl,
                   int32_t transmissionType, const CZvByteStream& payload, uint32_t clientID);
  uint16_t getOwnDeviceId() const;
  uint32_t getMostClientId() const;
  uint32_t getReturnAdressId(uint32_t routingAddress) const;
  uint32_t getReturnAdressId(uint16_t deviceID, uint32_t clientID) const;
  bool isAutoSendProcessing() const;
  bool isMsgBundlingActive() const;
  bool isCommunicationOk() const;
  void flushMOSTMessages();
  void startMOSTMessages();
  void setBlockNotification(bool flag) { mBlockNotification = flag; }
  void notifyMostCommunicationState();
  void setVersionEnabled(bool enabled) { mVersionEnabled = enabled; }
  void setVersion(uint8_t major, uint8_t minor, uint8_t build);
  void setVersionOverride(uint8_t major, uint8_t minor, uint8_t build);
  void setAutoProcessingMode(ZvMOSTTypes::eAutoProcessingMode mode) { mAutoProcessingMode = mode; }

  // Set by the admin around processMOSTMessage.
  void setInstAnyReceived(bool value) { mInstAnyReceived = value; }
  bool getInstAnyReceived() const { return mInstAnyReceived; }
  void setReceivedAsBroadcast(bool value) { mReceivedAsBroadcast = value; }
  bool getReceivedAsBroadcast() const { return mReceivedAsBroadcast; }

  CZvMOSTClientImpl* getClient() const { return mClient; }

 protected:
  // The FBlock-wide standard functions.
  void readFktIDs(CZvMOSTMessageData& message);
  void readNotificationCheck(CZvMOSTMessageData& message);
  void readVersion(CZvMOSTMessageData& message);
  void sendFktNotAvailable(CZvMOSTMessageData& message, bool withSenderHandle);

 private:
  static CZvFunctionBase* lookup(const std::map<uint16_t, CZvFunctionBase*>& m, uint16_t id) {
    auto it = m.find(id);
    return it == m.end() ? nullptr : it->second;
  }
  bool isUnwanted(uint16_t fktID) const;
  // The requester of message as a routing address (its device and client).
  static uint32_t requesterOf(const CZvMOSTMessageData& message);
  // Sends an answer to the requester of message.
  void answer(const CZvMOSTMessageData& message, uint8_t opType, const CZvByteStream& payload);
  void answerTo(uint32_t requester, uint32_t returnAddress, uint16_t fktID, uint8_t opType,
                const CZvByteStream& payload);
  // Error 0x04 (OPType not available) in the form the OPType asks for.
  void sendOpTypeNotAvailable(CZvMOSTMessageData& message);
  // The sorted set of function IDs that FktIDs reports.
  std::vector<uint16_t> reportedFunctionIDs() const;

  uint8_t mFBlockID;
  uint8_t mInstID;
  CZvString mName;
  std::set<IZvDeviceInfoConsumer*> mBaseListeners;
  std::map<uint16_t, CZvFunctionBase*> mFunctions;
  std::map<uint16_t, CZvFunctionBase*> mDynArrays;
  std::map<uint16_t, CZvFunctionBase*> mMaps;
  std::map<uint16_t, CZvFunctionBase*> mMotherArrays;
  std::map<uint16_t, CZvFunctionBase*> mMotherDataChannels;
  RegistrationState mState = STATE_UNREGISTERED;
  bool mBlockNotification = false;
  bool mNoAutoRegistration;
  bool mActivateOnIncomingMessage = true;
  bool mImplicitlyActivated = false;
  bool mVersionEnabled = false;
  uint8_t mVersion[3] = {0, 0, 0};
  uint8_t mVersionOverride[3] = {0, 0, 0};
  bool mInstAnyReceived = false;
  CZvMOSTClientImpl* mClient;
  bool mReceivedAsBroadcast = false;
  ZvMOSTTypes::eAutoProcessingMode mAutoProcessingMode = ZvMOSTTypes::AUTO_PROCESSING_NONE;
};

#endif  // FBKIT_FBLOCK_DEVICE_BASE_H
