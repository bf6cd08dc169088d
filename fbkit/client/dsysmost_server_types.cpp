#include "fbkit/client/dsysmost_server_types.h"

namespace DSYSMOSTServer {

namespace {

const char* const kRequestNames[kRequestCount] = {
    "requestRegisterDevices",   "requestRegisterDevCtrls",     "requestProcessMessage",
    "registerMOSTClient",       "requestUnregisterDevices",    "requestUnregisterDevCtrls",
    "requestChangeInstID",      "requestCleanUp",              "unregisterMOSTClient",
    "registerMOSTSubnet",       "unregisterMOSTSubnet",        "requestSetRegistryFilter",
    "requestSetCommunicationCtrl", "requestRegisterExtDevices", "requestProcessMessageVector",
    "registerMOSTClientExt",    "unregisterMOSTClientExt",     "requestEnableNotificationProxy",
};

const char* const kResponseNames[kResponseCount] = {
    "responseMOSTClient",    "informationProcessMessage", "informationChangeInstID",
    "informationConnect",    "informationDisconnect",     "informationActivate",
    "informationDeactivate", "informationCleanUp",        "responseMOSTSubnet",
    "informationRegistry",
};

const char* const kAttributeNames[kAttributeCount] = {
    "MOSTCommunicationState", "Registry", "DeviceID", "CommunicationCtrl", "ExtDeviceID",
};

}  // namespace

int32_t updateIdIndex(uint32_t id) {
  if (isRequestId(id)) return static_cast<int32_t>(id);
  if (isResponseId(id)) return static_cast<int32_t>(kRequestCount + (id - kFirstResponseId));
  if (isAttributeId(id)) {
    return static_cast<int32_t>(kRequestCount + kResponseCount + (id - kFirstAttributeId));
  }
  return -1;
}

const char* updateIdName(uint32_t id) {
  if (isRequestId(id)) return kRequestNames[id];
  if (isResponseId(id)) return kResponseNames[id - kFirstResponseId];
  if (isAttributeId(id)) return kAttributeNames[id - kFirstAttributeId];
  return "unknown";
}

}  // namespace DSYSMOSTServer
