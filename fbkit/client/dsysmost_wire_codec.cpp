#include "fbkit/client/dsysmost_wire_codec.h"

namespace ZvDSYSMOSTWire {

using namespace DSYSMOSTTypes;
using DSYSMOSTServer::DeviceInfo;
using DSYSMOSTServer::DeviceInfoVector;

namespace {

template <typename Vector>
void writeVector(CZvQRVOStream& s, const Vector& values) {
  s.writeU32(static_cast<uint32_t>(values.size()));
  for (const auto& value : values) write(s, value);
}

// Elements are appended one by one as they are read: the count was checked
// against the bytes left, so nothing is reserved from an unchecked number.
template <typename Vector>
bool readVector(CZvQRVIStream& s, Vector& values, uint32_t minElementBytes) {
  values.clear();
  uint32_t count = 0;
  if (!s.readCount(count, minElementBytes)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    typename Vector::value_type value{};
    if (!read(s, value)) return false;
    values.push_back(std::move(value));
  }
  return true;
}

}  // namespace

void write(CZvQRVOStream& s, const CZvString& value) { s.writeString(value.c_str(), value.length()); }

void write(CZvQRVOStream& s, const CZvBuffer& value) {
  s.writeBuffer(value.getData(), value.getSize());
}

void write(CZvQRVOStream& s, const MessageHeaderType& value) {
  s.writeU16(value.targetAddress);
  s.writeU16(value.sourceAddress);
  s.writeU8(value.fblockID);
  s.writeU8(value.instID);
  s.writeU16(value.functionID);
  s.writeU8(value.opType);
  s.writeU32(value.routingAddress);
}

void write(CZvQRVOStream& s, const tTransmissionVariant& value) {
  s.writeI32(value.kind());
  if (!value.isEmpty()) s.writeI32(value.rawValue());
}

void write(CZvQRVOStream& s, const MessageType& value) {
  writeEnum(s, value.transmissionType);
  write(s, value.transmissionVariant);
  write(s, value.header);
  write(s, value.data);
}

void write(CZvQRVOStream& s, const RegistryEntry& value) {
  s.writeU16(value.deviceID);
  s.writeU16(value.fblockKey);
}

void write(CZvQRVOStream& s, const DeviceInfo& value) {
  s.writeU16(value.deviceID);
  s.writeU16(value.fblockKey);
}

void write(CZvQRVOStream& s, const FBlockKeyStringType& value) {
  s.writeU16(value.fblockKey);
  write(s, value.name);
}

void write(CZvQRVOStream& s, const FBlockKeyVector& value) {
  s.writeU32(static_cast<uint32_t>(value.size()));
  for (uint16_t key : value) s.writeU16(key);
}

void write(CZvQRVOStream& s, const MessageVector& value) { writeVector(s, value); }
void write(CZvQRVOStream& s, const Registry& value) { writeVector(s, value); }
void write(CZvQRVOStream& s, const FBlockKeyStringVector& value) { writeVector(s, value); }
void write(CZvQRVOStream& s, const DeviceInfoVector& value) { writeVector(s, value); }

bool read(CZvQRVIStream& s, CZvString& value) {
  const char* text = nullptr;
  uint32_t length = 0;
  if (!s.readString(text, length)) return false;
  value = CZvString(text, length);
  return true;
}

bool read(CZvQRVIStream& s, CZvBuffer& value) {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;
  if (!s.readBuffer(bytes, size)) return false;
  value = CZvBuffer(bytes, size);
  return true;
}

bool read(CZvQRVIStream& s, MessageHeaderType& value) {
  s.readU16(value.targetAddress);
  s.readU16(value.sourceAddress);
  s.readU8(value.fblockID);
  s.readU8(value.instID);
  s.readU16(value.functionID);
  s.readU8(value.opType);
  s.readU32(value.routingAddress);
  return s.ok();
}

bool read(CZvQRVIStream& s, tTransmissionVariant& value) {
  int32_t kind = 0;
  if (!s.readI32(kind)) return false;
  int32_t held = 0;
  switch (kind) {
    case tTransmissionVariant::KIND_EMPTY:
      value.clear();
      return true;
    case tTransmissionVariant::KIND_TX_CONTROL:
      if (!s.readI32(held)) return false;
      value.setTXControl(static_cast<eTransmissionTXControl>(held));
      return true;
    case tTransmissionVariant::KIND_TRANSMISSION_INFO:
      if (!s.readI32(held)) return false;
      value.setTransmissionInfo(static_cast<eTransmissionInfo>(held));
      return true;
    default:
      s.setBad();
      return false;
  }
}

bool read(CZvQRVIStream& s, MessageType& value) {
  return readEnum(s, value.transmissionType) && read(s, value.transmissionVariant) &&
         read(s, value.header) && read(s, value.data);
}

bool read(CZvQRVIStream& s, RegistryEntry& value) {
  s.readU16(value.deviceID);
  s.readU16(value.fblockKey);
  return s.ok();
}

bool read(CZvQRVIStream& s, DeviceInfo& value) {
  s.readU16(value.deviceID);
  s.readU16(value.fblockKey);
  return s.ok();
}

bool read(CZvQRVIStream& s, FBlockKeyStringType& value) {
  return s.readU16(value.fblockKey) && read(s, value.name);
}

bool read(CZvQRVIStream& s, FBlockKeyVector& value) {
  value.clear();
  uint32_t count = 0;
  if (!s.readCount(count, 2)) return false;
  value.reserve(count);  // checked: count * 2 bytes are there
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t key = 0;
    if (!s.readU16(key)) return false;
    value.push_back(key);
  }
  return true;
}

bool read(CZvQRVIStream& s, MessageVector& value) { return readVector(s, value, kMinMessageBytes); }
bool read(CZvQRVIStream& s, Registry& value) { return readVector(s, value, 4); }
bool read(CZvQRVIStream& s, FBlockKeyStringVector& value) {
  return readVector(s, value, kMinKeyStringBytes);
}
bool read(CZvQRVIStream& s, DeviceInfoVector& value) { return readVector(s, value, 4); }

}  // namespace ZvDSYSMOSTWire
