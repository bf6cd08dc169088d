#include "fbkit/client/dsysmost_event_codec.h"

#include <cstring>

namespace ZvDSYSMOSTEventStream {

using namespace DSYSMOSTTypes;
using DSYSMOSTServer::DeviceInfo;
using DSYSMOSTServer::DeviceInfoVector;

namespace {

constexpr uint32_t kChunk = 4096;

bool readExact(IZvIStream& s, void* out, uint32_t n) { return s.read(out, n) == n; }

// Reads size bytes into out in chunks, so the memory grows with what really
// arrives rather than with the announced size.
bool readBytes(IZvIStream& s, uint32_t size, std::vector<uint8_t>& out) {
  out.clear();
  uint8_t chunk[kChunk];
  while (size > 0) {
    uint32_t n = size < kChunk ? size : kChunk;
    if (!readExact(s, chunk, n)) return false;
    out.insert(out.end(), chunk, chunk + n);
    size -= n;
  }
  return true;
}

template <typename Vector>
void writeVector(IZvOStream& s, const Vector& values) {
  writeI32(s, static_cast<int32_t>(values.size()));
  for (const auto& value : values) write(s, value);
}

template <typename Vector>
bool readVector(IZvIStream& s, Vector& values) {
  values.clear();
  int32_t count = 0;
  if (!readI32(s, count) || count < 0) return false;
  for (int32_t i = 0; i < count; ++i) {
    typename Vector::value_type value{};
    if (!read(s, value)) return false;
    values.push_back(std::move(value));
  }
  return true;
}

}  // namespace

void writeU8(IZvOStream& s, uint8_t value) { s.write(&value, 1); }
void writeU16(IZvOStream& s, uint16_t value) { s.write(&value, sizeof value); }
void writeU32(IZvOStream& s, uint32_t value) { s.write(&value, sizeof value); }
void writeI32(IZvOStream& s, int32_t value) { s.write(&value, sizeof value); }
bool readU8(IZvIStream& s, uint8_t& value) { return readExact(s, &value, 1); }
bool readU16(IZvIStream& s, uint16_t& value) { return readExact(s, &value, sizeof value); }
bool readU32(IZvIStream& s, uint32_t& value) { return readExact(s, &value, sizeof value); }
bool readI32(IZvIStream& s, int32_t& value) { return readExact(s, &value, sizeof value); }

bool skip(IZvIStream& s, uint32_t n) {
  uint8_t scratch[8];
  while (n > 0) {
    uint32_t step = n < sizeof scratch ? n : sizeof scratch;
    if (!readExact(s, scratch, step)) return false;
    n -= step;
  }
  return true;
}

void write(IZvOStream& s, const CZvString& value) {
  writeU32(s, value.length());
  if (value.length() > 0) s.write(value.c_str(), value.length());
}

void write(IZvOStream& s, const CZvBuffer& value) {
  writeU32(s, value.getSize());
  if (value.getSize() > 0) s.write(value.getData(), value.getSize());
}

void write(IZvOStream& s, const MessageHeaderType& value) {
  writeU16(s, value.targetAddress);
  writeU16(s, value.sourceAddress);
  writeU8(s, value.fblockID);
  writeU8(s, value.instID);
  writeU16(s, value.functionID);
  writeU8(s, value.opType);
  writeU32(s, value.routingAddress);
}

void write(IZvOStream& s, const tTransmissionVariant& value) {
  writeI32(s, value.kind());
  if (!value.isEmpty()) writeI32(s, value.rawValue());
}

void write(IZvOStream& s, const MessageType& value) {
  writeEnum(s, value.transmissionType);
  write(s, value.transmissionVariant);
  write(s, value.header);
  write(s, value.data);
}

void write(IZvOStream& s, const RegistryEntry& value) {
  writeU16(s, value.deviceID);
  writeU16(s, value.fblockKey);
}

void write(IZvOStream& s, const DeviceInfo& value) {
  writeU16(s, value.deviceID);
  writeU16(s, value.fblockKey);
}

void write(IZvOStream& s, const FBlockKeyStringType& value) {
  writeU16(s, value.fblockKey);
  write(s, value.name);
}

void write(IZvOStream& s, const FBlockKeyVector& value) {
  writeI32(s, static_cast<int32_t>(value.size()));
  for (uint16_t key : value) writeU16(s, key);
}

void write(IZvOStream& s, const MessageVector& value) { writeVector(s, value); }
void write(IZvOStream& s, const Registry& value) { writeVector(s, value); }
void write(IZvOStream& s, const FBlockKeyStringVector& value) { writeVector(s, value); }
void write(IZvOStream& s, const DeviceInfoVector& value) { writeVector(s, value); }

bool read(IZvIStream& s, CZvString& value) {
  uint32_t size = 0;
  std::vector<uint8_t> bytes;
  if (!readU32(s, size) || !readBytes(s, size, bytes)) return false;
  value = CZvString(reinterpret_cast<const char*>(bytes.data()), size);
  return true;
}

bool read(IZvIStream& s, CZvBuffer& value) {
  uint32_t size = 0;
  std::vector<uint8_t> bytes;
  if (!readU32(s, size) || !readBytes(s, size, bytes)) return false;
  value = CZvBuffer(bytes.data(), size);
  return true;
}

bool read(IZvIStream& s, MessageHeaderType& value) {
  return readU16(s, value.targetAddress) && readU16(s, value.sourceAddress) &&
         readU8(s, value.fblockID) && readU8(s, value.instID) && readU16(s, value.functionID) &&
         readU8(s, value.opType) && readU32(s, value.routingAddress);
}

bool read(IZvIStream& s, tTransmissionVariant& value) {
  int32_t kind = 0;
  int32_t held = 0;
  if (!readI32(s, kind)) return false;
  switch (kind) {
    case tTransmissionVariant::KIND_EMPTY:
      value.clear();
      return true;
    case tTransmissionVariant::KIND_TX_CONTROL:
      if (!readI32(s, held)) return false;
      value.setTXControl(static_cast<eTransmissionTXControl>(held));
      return true;
    case tTransmissionVariant::KIND_TRANSMISSION_INFO:
      if (!readI32(s, held)) return false;
      value.setTransmissionInfo(static_cast<eTransmissionInfo>(held));
      return true;
    default:
      return false;
  }
}

bool read(IZvIStream& s, MessageType& value) {
  return readEnum(s, value.transmissionType) && read(s, value.transmissionVariant) &&
         read(s, value.header) && read(s, value.data);
}

bool read(IZvIStream& s, RegistryEntry& value) {
  return readU16(s, value.deviceID) && readU16(s, value.fblockKey);
}

bool read(IZvIStream& s, DeviceInfo& value) {
  return readU16(s, value.deviceID) && readU16(s, value.fblockKey);
}

bool read(IZvIStream& s, FBlockKeyStringType& value) {
  return readU16(s, value.fblockKey) && read(s, value.name);
}

bool read(IZvIStream& s, FBlockKeyVector& value) {
  value.clear();
  int32_t count = 0;
  if (!readI32(s, count) || count < 0) return false;
  for (int32_t i = 0; i < count; ++i) {
    uint16_t key = 0;
    if (!readU16(s, key)) return false;
    value.push_back(key);
  }
  return true;
}

bool read(IZvIStream& s, MessageVector& value) { return readVector(s, value); }
bool read(IZvIStream& s, Registry& value) { return readVector(s, value); }
bool read(IZvIStream& s, FBlockKeyStringVector& value) { return readVector(s, value); }
bool read(IZvIStream& s, DeviceInfoVector& value) { return readVector(s, value); }

}  // namespace ZvDSYSMOSTEventStream
