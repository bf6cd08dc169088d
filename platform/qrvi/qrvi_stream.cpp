#include "platform/qrvi/qrvi_stream.h"

#include <cstring>

void CZvQRVOStream::alignTo(uint32_t alignment) {
  while (mBytes.size() % alignment != 0) mBytes.push_back(0);
}

void CZvQRVOStream::append(const void* bytes, uint32_t size) {
  if (size == 0) return;
  const uint8_t* begin = static_cast<const uint8_t*>(bytes);
  mBytes.insert(mBytes.end(), begin, begin + size);
}

void CZvQRVOStream::writeU8(uint8_t value) { mBytes.push_back(value); }

void CZvQRVOStream::writeU16(uint16_t value) {
  alignTo(2);
  append(&value, sizeof value);
}

void CZvQRVOStream::writeU32(uint32_t value) {
  alignTo(4);
  append(&value, sizeof value);
}

void CZvQRVOStream::writeI32(int32_t value) {
  alignTo(4);
  append(&value, sizeof value);
}

void CZvQRVOStream::writeString(const char* text, uint32_t length) {
  if (text == nullptr || length == 0) {
    writeU32(0);
    return;
  }
  writeU32(length + 1);
  append(text, length);
  mBytes.push_back(0);
}

void CZvQRVOStream::writeBuffer(const uint8_t* bytes, uint32_t size) {
  writeU32(size);
  append(bytes, size);
}

void CZvQRVOStream::writeRaw(const void* bytes, uint32_t size) { append(bytes, size); }

bool CZvQRVIStream::alignTo(uint32_t alignment) {
  uint32_t padding = (alignment - mPosition % alignment) % alignment;
  if (padding > remaining()) {
    mBad = true;
    return false;
  }
  mPosition += padding;
  return true;
}

bool CZvQRVIStream::take(void* out, uint32_t size) {
  if (mBad || size > remaining()) {
    mBad = true;
    return false;
  }
  std::memcpy(out, mData + mPosition, size);
  mPosition += size;
  return true;
}

bool CZvQRVIStream::readU8(uint8_t& value) { return take(&value, 1); }

bool CZvQRVIStream::readU16(uint16_t& value) {
  return !mBad && alignTo(2) && take(&value, sizeof value);
}

bool CZvQRVIStream::readU32(uint32_t& value) {
  return !mBad && alignTo(4) && take(&value, sizeof value);
}

bool CZvQRVIStream::readI32(int32_t& value) {
  return !mBad && alignTo(4) && take(&value, sizeof value);
}

bool CZvQRVIStream::readString(const char*& text, uint32_t& length) {
  uint32_t stored = 0;
  if (!readU32(stored)) return false;
  if (stored == 0) {
    text = "";
    length = 0;
    return true;
  }
  if (stored > remaining() || mData[mPosition + stored - 1] != 0) {
    mBad = true;
    return false;
  }
  text = reinterpret_cast<const char*>(mData + mPosition);
  length = static_cast<uint32_t>(strnlen(text, stored - 1));
  mPosition += stored;
  return true;
}

bool CZvQRVIStream::readBuffer(const uint8_t*& bytes, uint32_t& size) {
  uint32_t stored = 0;
  if (!readU32(stored)) return false;
  if (stored > remaining()) {
    mBad = true;
    return false;
  }
  bytes = mData + mPosition;
  size = stored;
  mPosition += stored;
  return true;
}

bool CZvQRVIStream::readCount(uint32_t& count, uint32_t minElementBytes) {
  uint32_t stored = 0;
  if (!readU32(stored)) return false;
  uint64_t needed = static_cast<uint64_t>(stored) * (minElementBytes == 0 ? 1 : minElementBytes);
  if (needed > remaining()) {
    mBad = true;
    return false;
  }
  count = stored;
  return true;
}
