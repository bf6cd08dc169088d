#include "fbkit/client/dsysmost_type_trace.h"

#include "fbkit/client/dsysmost_wire_codec.h"
#include "platform/qrvi/qrv_trace_stream.h"

namespace {

template <typename T>
void logValue(uint32_t id, const T& value, const char* text, const char* iface, uint32_t major,
              uint32_t minor, const char* typeName, uint32_t number) {
  CQRVOStream stream;
  ZvDSYSMOSTWire::write(stream, value);
  stream.send(id, text, iface, typeName, major, minor, number);
}

template <typename Enum>
void logEnum(uint32_t id, Enum value, const char* text, const char* iface, uint32_t major,
             uint32_t minor, const char* typeName, uint32_t number) {
  CQRVOStream stream;
  ZvDSYSMOSTWire::writeEnum(stream, value);
  stream.send(id, text, iface, typeName, major, minor, number);
}

}  // namespace

namespace DSYSMOSTTypes {

#define ZV_TYPES_LOG(Type, Name, Number)                             \
  void QRVLogType(uint32_t id, const Type& value, const char* text) { \
    logValue(id, value, text, "DSYSMOSTTypes", 2, 9, Name, Number);    \
  }
#define ZV_TYPES_LOG_ENUM(Type, Name, Number)                      \
  void QRVLogType(uint32_t id, Type value, const char* text) {      \
    logEnum(id, value, text, "DSYSMOSTTypes", 2, 9, Name, Number);   \
  }

ZV_TYPES_LOG(MessageHeaderType, "MessageHeaderType", 1)
ZV_TYPES_LOG(tTransmissionVariant, "tTransmissionVariant", 2)
ZV_TYPES_LOG(MessageType, "MessageType", 3)
ZV_TYPES_LOG_ENUM(eTransmissionType, "eTransmissionType", 4)
ZV_TYPES_LOG_ENUM(eTransmissionTXControl, "eTransmissionTXControl", 5)
ZV_TYPES_LOG_ENUM(eTransmissionInfo, "eTransmissionInfo", 6)
ZV_TYPES_LOG_ENUM(eMOSTCommunicationState, "eMOSTCommunicationState", 7)
ZV_TYPES_LOG(Registry, "Registry", 8)
ZV_TYPES_LOG(RegistryEntry, "RegistryEntry", 9)
ZV_TYPES_LOG_ENUM(eMOSTConfigurationControl, "eMOSTConfigurationControl", 10)
ZV_TYPES_LOG(FBlockKeyVector, "FBlockKeyVector", 11)
ZV_TYPES_LOG_ENUM(eMostNetState, "eMostNetState", 12)
ZV_TYPES_LOG(FBlockKeyStringType, "FBlockKeyStringType", 13)
ZV_TYPES_LOG(FBlockKeyStringVector, "FBlockKeyStringVector", 14)
ZV_TYPES_LOG(MessageVector, "MessageVector", 15)

#undef ZV_TYPES_LOG
#undef ZV_TYPES_LOG_ENUM

}  // namespace DSYSMOSTTypes

namespace DSYSMOSTServer {

void QRVLogType(uint32_t id, const DeviceInfo& value, const char* text) {
  logValue(id, value, text, "DSYSMOSTServer", 4, 5, "DeviceInfo", 1);
}
void QRVLogType(uint32_t id, const DeviceInfoVector& value, const char* text) {
  logValue(id, value, text, "DSYSMOSTServer", 4, 5, "DeviceInfoVector", 2);
}
void QRVLogType(uint32_t id, CleanUpRequest value, const char* text) {
  logEnum(id, value, text, "DSYSMOSTServer", 4, 5, "CleanUpRequest", 3);
}
void QRVLogType(uint32_t id, CommCtrlMode value, const char* text) {
  logEnum(id, value, text, "DSYSMOSTServer", 4, 5, "CommCtrlMode", 4);
}

}  // namespace DSYSMOSTServer
