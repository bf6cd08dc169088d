#include "fbkit/client/registry_records.h"

#include <cstring>
#include <limits>

namespace {

// Field-by-field native-order helpers; pad bytes are written as zero.
template <typename T>
void put(IZvOStream& stream, T value) {
  stream.write(&value, sizeof value);
}

void pad(IZvOStream& stream, uint32_t n) {
  static const uint8_t zeros[4] = {0, 0, 0, 0};
  stream.write(zeros, n);
}

template <typename T>
bool get(IZvIStream& stream, T* value) {
  T tmp;
  if (stream.read(&tmp, sizeof tmp) != sizeof tmp) return false;
  *value = tmp;
  return true;
}

bool skip(IZvIStream& stream, uint32_t n) {
  uint8_t sink[4];
  return stream.read(sink, n) == n;
}

}  // namespace

void CZvMOSTRegEntry::writeToStream(IZvOStream& stream) const {
  put(stream, deviceID);
  put(stream, fblockKey);
  put(stream, nodeAddress);
  pad(stream, 2);
  put(stream, state);
  put(stream, flag);
  pad(stream, 3);
}

bool CZvMOSTRegEntry::readFromStream(IZvIStream& stream) {
  CZvMOSTRegEntry e;
  if (!get(stream, &e.deviceID) || !get(stream, &e.fblockKey) || !get(stream, &e.nodeAddress) ||
      !skip(stream, 2) || !get(stream, &e.state) || !get(stream, &e.flag) || !skip(stream, 3)) {
    return false;
  }
  *this = e;
  return true;
}

void CZvSubnetEntry::writeToStream(IZvOStream& stream) const {
  put(stream, deviceID);
  put(stream, subnetID);
  pad(stream, 1);
}

bool CZvSubnetEntry::readFromStream(IZvIStream& stream) {
  CZvSubnetEntry e;
  if (!get(stream, &e.deviceID) || !get(stream, &e.subnetID) || !skip(stream, 1)) return false;
  *this = e;
  return true;
}

void CZvLogDevEntry::writeToStream(IZvOStream& stream) const {
  put(stream, deviceID);
  put(stream, fblockKey);
}

bool CZvLogDevEntry::readFromStream(IZvIStream& stream) {
  CZvLogDevEntry e;
  if (!get(stream, &e.deviceID) || !get(stream, &e.fblockKey)) return false;
  *this = e;
  return true;
}

namespace ZvRegistryStream {

bool writeCount(IZvOStream& stream, size_t count) {
  if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  put(stream, static_cast<int32_t>(count));
  return true;
}

bool readCount(IZvIStream& stream, int32_t* count) {
  return get(stream, count) && *count >= 0;
}

void writeElement(IZvOStream& stream, uint8_t subnetID) { put(stream, subnetID); }

bool readElement(IZvIStream& stream, uint8_t* subnetID) { return get(stream, subnetID); }

}  // namespace ZvRegistryStream
