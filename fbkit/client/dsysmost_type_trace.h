// Type traces of the DSYSMOSTServer interface: each writes a value in its
// wire form into a trace stream and sends it with the interface name, the
// type name, the interface's version pair and the type's number.
#ifndef FBKIT_CLIENT_DSYSMOST_TYPE_TRACE_H
#define FBKIT_CLIENT_DSYSMOST_TYPE_TRACE_H

#include <cstdint>

#include "fbkit/client/dsysmost_server_types.h"
#include "fbkit/client/dsysmost_types.h"

namespace DSYSMOSTTypes {  // "DSYSMOSTTypes" 2.9
void QRVLogType(uint32_t id, const MessageHeaderType& value, const char* text);
void QRVLogType(uint32_t id, const tTransmissionVariant& value, const char* text);
void QRVLogType(uint32_t id, const MessageType& value, const char* text);
void QRVLogType(uint32_t id, eTransmissionType value, const char* text);
void QRVLogType(uint32_t id, eTransmissionTXControl value, const char* text);
void QRVLogType(uint32_t id, eTransmissionInfo value, const char* text);
void QRVLogType(uint32_t id, eMOSTCommunicationState value, const char* text);
void QRVLogType(uint32_t id, const Registry& value, const char* text);
void QRVLogType(uint32_t id, const RegistryEntry& value, const char* text);
void QRVLogType(uint32_t id, eMOSTConfigurationControl value, const char* text);
void QRVLogType(uint32_t id, const FBlockKeyVector& value, const char* text);
void QRVLogType(uint32_t id, eMostNetState value, const char* text);
void QRVLogType(uint32_t id, const FBlockKeyStringType& value, const char* text);
void QRVLogType(uint32_t id, const FBlockKeyStringVector& value, const char* text);
void QRVLogType(uint32_t id, const MessageVector& value, const char* text);
}  // namespace DSYSMOSTTypes

namespace DSYSMOSTServer {  // "DSYSMOSTServer" 4.5
void QRVLogType(uint32_t id, const DeviceInfo& value, const char* text);
void QRVLogType(uint32_t id, const DeviceInfoVector& value, const char* text);
void QRVLogType(uint32_t id, CleanUpRequest value, const char* text);
void QRVLogType(uint32_t id, CommCtrlMode value, const char* text);
}  // namespace DSYSMOSTServer

#endif  // FBKIT_CLIENT_DSYSMOST_TYPE_TRACE_H
