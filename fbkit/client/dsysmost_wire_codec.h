// The wire form of the DSYSMOSTServer values: the middleware's typed stream
// (machine byte order, 16-bit values at even and 32-bit values at multiple-of-4
// offsets of the parameter block). Used between processes.
//
// Every read* checks what it reads against the bytes left and fails on a
// truncated value, a count larger than the bytes left can hold or a string
// without its terminator; a failed read leaves the value in an unspecified
// but valid state.
#ifndef FBKIT_CLIENT_DSYSMOST_WIRE_CODEC_H
#define FBKIT_CLIENT_DSYSMOST_WIRE_CODEC_H

#include "fbkit/client/dsysmost_server_types.h"
#include "fbkit/client/dsysmost_types.h"
#include "platform/qrvi/qrvi_stream.h"

namespace ZvDSYSMOSTWire {

// Smallest wire size of one element, for checking a vector's count.
constexpr uint32_t kMinMessageBytes = 25;
constexpr uint32_t kMinKeyStringBytes = 6;

void write(CZvQRVOStream& s, const CZvString& value);
void write(CZvQRVOStream& s, const CZvBuffer& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::MessageHeaderType& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::tTransmissionVariant& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::MessageType& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::RegistryEntry& value);
void write(CZvQRVOStream& s, const DSYSMOSTServer::DeviceInfo& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::FBlockKeyStringType& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::FBlockKeyVector& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::MessageVector& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::Registry& value);
void write(CZvQRVOStream& s, const DSYSMOSTTypes::FBlockKeyStringVector& value);
void write(CZvQRVOStream& s, const DSYSMOSTServer::DeviceInfoVector& value);
template <typename Enum>
void writeEnum(CZvQRVOStream& s, Enum value) {
  s.writeI32(static_cast<int32_t>(value));
}

bool read(CZvQRVIStream& s, CZvString& value);
bool read(CZvQRVIStream& s, CZvBuffer& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::MessageHeaderType& value);
// Fails on a kind other than 0, 1 or 2.
bool read(CZvQRVIStream& s, DSYSMOSTTypes::tTransmissionVariant& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::MessageType& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::RegistryEntry& value);
bool read(CZvQRVIStream& s, DSYSMOSTServer::DeviceInfo& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::FBlockKeyStringType& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::FBlockKeyVector& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::MessageVector& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::Registry& value);
bool read(CZvQRVIStream& s, DSYSMOSTTypes::FBlockKeyStringVector& value);
bool read(CZvQRVIStream& s, DSYSMOSTServer::DeviceInfoVector& value);
template <typename Enum>
bool readEnum(CZvQRVIStream& s, Enum& value) {
  int32_t raw = 0;
  if (!s.readI32(raw)) return false;
  value = static_cast<Enum>(raw);
  return true;
}

}  // namespace ZvDSYSMOSTWire

#endif  // FBKIT_CLIENT_DSYSMOST_WIRE_CODEC_H
