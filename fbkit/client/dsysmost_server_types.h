// The identifiers and parameter records of the DSYSMOSTServer interface.
#ifndef FBKIT_CLIENT_DSYSMOST_SERVER_TYPES_H
#define FBKIT_CLIENT_DSYSMOST_SERVER_TYPES_H

#include <cstdint>
#include <vector>

#include "fbkit/client/dsysmost_types.h"

namespace DSYSMOSTServer {

// Requests count from 0, responses and informations from 0x80000000,
// attributes from 0xC0000000.
enum UpdateIdEnum : uint32_t {
  requestRegisterDevicesId = 0,
  requestRegisterDevCtrlsId = 1,
  requestProcessMessageId = 2,
  registerMOSTClientId = 3,
  requestUnregisterDevicesId = 4,
  requestUnregisterDevCtrlsId = 5,
  requestChangeInstIDId = 6,
  requestCleanUpId = 7,
  unregisterMOSTClientId = 8,
  registerMOSTSubnetId = 9,
  unregisterMOSTSubnetId = 10,
  requestSetRegistryFilterId = 11,
  requestSetCommunicationCtrlId = 12,
  requestRegisterExtDevicesId = 13,
  requestProcessMessageVectorId = 14,
  registerMOSTClientExtId = 15,
  unregisterMOSTClientExtId = 16,
  requestEnableNotificationProxyId = 17,

  responseMOSTClientId = 0x80000000,
  informationProcessMessageId = 0x80000001,
  informationChangeInstIDId = 0x80000002,
  informationConnectId = 0x80000003,
  informationDisconnectId = 0x80000004,
  informationActivateId = 0x80000005,
  informationDeactivateId = 0x80000006,
  informationCleanUpId = 0x80000007,
  responseMOSTSubnetId = 0x80000008,
  informationRegistryId = 0x80000009,

  MOSTCommunicationStateId = 0xC0000000,
  RegistryId = 0xC0000001,
  DeviceIDId = 0xC0000002,
  CommunicationCtrlId = 0xC0000003,
  ExtDeviceIDId = 0xC0000004,
};

constexpr uint32_t kRequestCount = 18;
constexpr uint32_t kResponseCount = 10;
constexpr uint32_t kAttributeCount = 5;
constexpr uint32_t kFirstResponseId = 0x80000000;
constexpr uint32_t kFirstAttributeId = 0xC0000000;

inline bool isRequestId(uint32_t id) { return id < kRequestCount; }
inline bool isResponseId(uint32_t id) {
  return id >= kFirstResponseId && id < kFirstResponseId + kResponseCount;
}
inline bool isAttributeId(uint32_t id) {
  return id >= kFirstAttributeId && id < kFirstAttributeId + kAttributeCount;
}
// Position of an update ID in 0..32 (requests, responses, attributes), or -1.
int32_t updateIdIndex(uint32_t id);
// The name of an update ID as in the catalogue ("requestProcessMessage"), or
// "unknown".
const char* updateIdName(uint32_t id);

enum CommCtrlMode : int32_t {
  COMM_CTRL_COMMUNICATE = 0,
  COMM_CTRL_STOP = 1,
};

enum CleanUpRequest : int32_t {
  CLEANUP_INTERNAL = 0,  // every value but 1: one internal device controller
  CLEANUP_EXTERNAL = 1,
};

struct DeviceInfo {
  uint16_t deviceID = 0;
  uint16_t fblockKey = 0;

  bool operator==(const DeviceInfo& o) const {
    return deviceID == o.deviceID && fblockKey == o.fblockKey;
  }
  bool operator!=(const DeviceInfo& o) const { return !(*this == o); }
};

using DeviceInfoVector = std::vector<DeviceInfo>;

// Parameter records of the requests. Requests of the same shape share one.
struct sUnionRequestKeys {  // 0, 1, 4, 5, 11
  uint32_t clientID = 0;
  DSYSMOSTTypes::FBlockKeyVector fblockKeys;
  bool operator==(const sUnionRequestKeys& o) const {
    return clientID == o.clientID && fblockKeys == o.fblockKeys;
  }
};
using sUnionRequestRegisterDevices = sUnionRequestKeys;
using sUnionRequestRegisterDevCtrls = sUnionRequestKeys;
using sUnionRequestUnregisterDevices = sUnionRequestKeys;
using sUnionRequestUnregisterDevCtrls = sUnionRequestKeys;
using sUnionRequestSetRegistryFilter = sUnionRequestKeys;

struct sUnionRequestProcessMessage {
  uint32_t clientID = 0;
  DSYSMOSTTypes::MessageType msg;
  bool operator==(const sUnionRequestProcessMessage& o) const {
    return clientID == o.clientID && msg == o.msg;
  }
};

struct sUnionRequestChangeInstID {
  uint32_t clientID = 0;
  uint16_t fblockKey = 0;
  uint8_t newInstID = 0;
  bool operator==(const sUnionRequestChangeInstID& o) const {
    return clientID == o.clientID && fblockKey == o.fblockKey && newInstID == o.newInstID;
  }
};

struct sUnionRequestClient {  // 7, 17
  uint32_t clientID = 0;
  bool operator==(const sUnionRequestClient& o) const { return clientID == o.clientID; }
};
using sUnionRequestCleanUp = sUnionRequestClient;
using sUnionRequestEnableNotificationProxy = sUnionRequestClient;

struct sUnionRegisterMOSTSubnet {
  uint16_t subnetID = 0;
  bool operator==(const sUnionRegisterMOSTSubnet& o) const { return subnetID == o.subnetID; }
};

struct sUnionRequestSetCommunicationCtrl {
  CommCtrlMode mode = COMM_CTRL_COMMUNICATE;
  bool operator==(const sUnionRequestSetCommunicationCtrl& o) const { return mode == o.mode; }
};

struct sUnionRequestRegisterExtDevices {
  uint32_t clientID = 0;
  DSYSMOSTTypes::FBlockKeyStringVector devices;
  bool operator==(const sUnionRequestRegisterExtDevices& o) const {
    return clientID == o.clientID && devices == o.devices;
  }
};

struct sUnionRequestProcessMessageVector {
  uint32_t clientID = 0;
  DSYSMOSTTypes::MessageVector msgs;
  bool operator==(const sUnionRequestProcessMessageVector& o) const {
    return clientID == o.clientID && msgs == o.msgs;
  }
};

struct sUnionRegisterMOSTClientExt {
  CZvString name;
  bool operator==(const sUnionRegisterMOSTClientExt& o) const { return name == o.name; }
};

// Parameter records of the responses and informations.
struct sUnionResponseMOSTClient {
  uint32_t clientID = 0;
  uint16_t deviceID = 0;
  bool operator==(const sUnionResponseMOSTClient& o) const {
    return clientID == o.clientID && deviceID == o.deviceID;
  }
};

struct sUnionInformationProcessMessage {
  DSYSMOSTTypes::MessageType msg;
  bool operator==(const sUnionInformationProcessMessage& o) const { return msg == o.msg; }
};

struct sUnionInformationChangeInstID {
  uint16_t fblockKey = 0;
  uint8_t newInstID = 0;
  bool operator==(const sUnionInformationChangeInstID& o) const {
    return fblockKey == o.fblockKey && newInstID == o.newInstID;
  }
};

struct sUnionInformationConnect {
  DeviceInfoVector validDevices;
  bool operator==(const sUnionInformationConnect& o) const {
    return validDevices == o.validDevices;
  }
};

struct sUnionInformationDisconnect {
  DSYSMOSTTypes::FBlockKeyVector invalidDevices;
  bool operator==(const sUnionInformationDisconnect& o) const {
    return invalidDevices == o.invalidDevices;
  }
};

struct sUnionInformationDevices {  // 0x80000005, 0x80000006
  DSYSMOSTTypes::FBlockKeyVector devices;
  bool operator==(const sUnionInformationDevices& o) const { return devices == o.devices; }
};
using sUnionInformationActivate = sUnionInformationDevices;
using sUnionInformationDeactivate = sUnionInformationDevices;

struct sUnionInformationCleanUp {
  CleanUpRequest request = CLEANUP_INTERNAL;
  uint16_t devCtrl = 0;
  uint16_t deviceID = 0;
  bool operator==(const sUnionInformationCleanUp& o) const {
    return request == o.request && devCtrl == o.devCtrl && deviceID == o.deviceID;
  }
};

struct sUnionResponseMOSTSubnet {
  uint32_t subnetClientID = 0;
  bool operator==(const sUnionResponseMOSTSubnet& o) const {
    return subnetClientID == o.subnetClientID;
  }
};

struct sUnionInformationRegistry {
  DSYSMOSTTypes::Registry regEntries;
  bool operator==(const sUnionInformationRegistry& o) const { return regEntries == o.regEntries; }
};

}  // namespace DSYSMOSTServer

#endif  // FBKIT_CLIENT_DSYSMOST_SERVER_TYPES_H
