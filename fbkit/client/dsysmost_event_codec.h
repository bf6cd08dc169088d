// The event-stream form of the DSYSMOSTServer values, written after the
// middleware's event header when a request or response event passes through
// an IZvOStream: raw numbers in machine byte order without alignment, vectors
// as an int32 count and their elements, buffers and strings in the base
// library's own form (uint32 size, then the bytes).
//
// Readers fail on a short stream, a negative count or an unknown variant kind.
// Elements, buffers and strings grow only as bytes really arrive, so a huge
// count or size from a broken stream allocates nothing up front.
#ifndef FBKIT_CLIENT_DSYSMOST_EVENT_CODEC_H
#define FBKIT_CLIENT_DSYSMOST_EVENT_CODEC_H

#include "fbkit/client/dsysmost_server_types.h"
#include "fbkit/client/dsysmost_types.h"
#include "platform/basalt/zv_stream.h"

namespace ZvDSYSMOSTEventStream {

void writeU8(IZvOStream& s, uint8_t value);
void writeU16(IZvOStream& s, uint16_t value);
void writeU32(IZvOStream& s, uint32_t value);
void writeI32(IZvOStream& s, int32_t value);
bool readU8(IZvIStream& s, uint8_t& value);
bool readU16(IZvIStream& s, uint16_t& value);
bool readU32(IZvIStream& s, uint32_t& value);
bool readI32(IZvIStream& s, int32_t& value);
// Skips n bytes (pad bytes of the fixed parameter blocks).
bool skip(IZvIStream& s, uint32_t n);

void write(IZvOStream& s, const CZvString& value);
void write(IZvOStream& s, const CZvBuffer& value);
void write(IZvOStream& s, const DSYSMOSTTypes::MessageHeaderType& value);
void write(IZvOStream& s, const DSYSMOSTTypes::tTransmissionVariant& value);
void write(IZvOStream& s, const DSYSMOSTTypes::MessageType& value);
void write(IZvOStream& s, const DSYSMOSTTypes::RegistryEntry& value);
void write(IZvOStream& s, const DSYSMOSTServer::DeviceInfo& value);
void write(IZvOStream& s, const DSYSMOSTTypes::FBlockKeyStringType& value);
void write(IZvOStream& s, const DSYSMOSTTypes::FBlockKeyVector& value);
void write(IZvOStream& s, const DSYSMOSTTypes::MessageVector& value);
void write(IZvOStream& s, const DSYSMOSTTypes::Registry& value);
void write(IZvOStream& s, const DSYSMOSTTypes::FBlockKeyStringVector& value);
void write(IZvOStream& s, const DSYSMOSTServer::DeviceInfoVector& value);

bool read(IZvIStream& s, CZvString& value);
bool read(IZvIStream& s, CZvBuffer& value);
bool read(IZvIStream& s, DSYSMOSTTypes::MessageHeaderType& value);
bool read(IZvIStream& s, DSYSMOSTTypes::tTransmissionVariant& value);
bool read(IZvIStream& s, DSYSMOSTTypes::MessageType& value);
bool read(IZvIStream& s, DSYSMOSTTypes::RegistryEntry& value);
bool read(IZvIStream& s, DSYSMOSTServer::DeviceInfo& value);
bool read(IZvIStream& s, DSYSMOSTTypes::FBlockKeyStringType& value);
bool read(IZvIStream& s, DSYSMOSTTypes::FBlockKeyVector& value);
bool read(IZvIStream& s, DSYSMOSTTypes::MessageVector& value);
bool read(IZvIStream& s, DSYSMOSTTypes::Registry& value);
bool read(IZvIStream& s, DSYSMOSTTypes::FBlockKeyStringVector& value);
bool read(IZvIStream& s, DSYSMOSTServer::DeviceInfoVector& value);

template <typename Enum>
void writeEnum(IZvOStream& s, Enum value) {
  writeI32(s, static_cast<int32_t>(value));
}
template <typename Enum>
bool readEnum(IZvIStream& s, Enum& value) {
  int32_t raw = 0;
  if (!readI32(s, raw)) return false;
  value = static_cast<Enum>(raw);
  return true;
}

}  // namespace ZvDSYSMOSTEventStream

#endif  // FBKIT_CLIENT_DSYSMOST_EVENT_CODEC_H
