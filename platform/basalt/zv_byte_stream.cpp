#include "platform/basalt/zv_byte_stream.h"

#include <cstring>
#include <functional>

CZvByteStream::CZvByteStream(uint32_t size) : mBytes(size, 0) {}

CZvByteStream::CZvByteStream(const CZvBuffer& buffer)
    : mBytes(buffer.getData(), buffer.getData() + buffer.getSize()) {}

CZvByteStream::CZvByteStream(const uint8_t* data, uint32_t n) {
  if (data != nullptr && n > 0) mBytes.assign(data, data + n);
}

uint32_t CZvByteStream::read(void* buf, uint32_t n) {
  const uint32_t count = n < getRemaining() ? n : getRemaining();
  if (count == 0 || buf == nullptr) return 0;
  std::memcpy(buf, mBytes.data() + mReadPos, count);
  mReadPos += count;
  return count;
}

uint32_t CZvByteStream::write(const void* data, uint32_t n) {
  if (data == nullptr || n == 0) return 0;
  // Refuse to grow past what a 32-bit size can describe.
  if (static_cast<uint64_t>(mBytes.size()) + n > 0xFFFFFFFFull) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  const std::less<const uint8_t*> before;
  if (!before(bytes, mBytes.data()) && before(bytes, mBytes.data() + mBytes.size())) {
    // Appending part of ourselves: copy first, insert may reallocate.
    std::vector<uint8_t> copy(bytes, bytes + n);
    mBytes.insert(mBytes.end(), copy.begin(), copy.end());
  } else {
    mBytes.insert(mBytes.end(), bytes, bytes + n);
  }
  return n;
}

void CZvByteStream::setReadPosition(uint32_t position) {
  mReadPos = position < getSize() ? position : getSize();
}

uint32_t CZvByteStream::skip(uint32_t n) {
  const uint32_t count = n < getRemaining() ? n : getRemaining();
  mReadPos += count;
  return count;
}

uint32_t CZvByteStream::readFromIStream(IZvIStream& stream, uint32_t n) {
  uint8_t chunk[4096];
  uint32_t total = 0;
  while (total < n) {
    const uint32_t want = (n - total) < sizeof(chunk) ? (n - total) : static_cast<uint32_t>(sizeof(chunk));
    const uint32_t got = stream.read(chunk, want);
    if (got == 0) break;
    const uint32_t used = got > want ? want : got;  // never trust a stream to stay in bounds
    if (write(chunk, used) != used) break;
    total += used;
    if (used < want) break;
  }
  return total;
}

void CZvByteStream::resize(uint32_t size) {
  mBytes.resize(size, 0);
  if (mReadPos > size) mReadPos = size;
}

void CZvByteStream::clear() {
  mBytes.clear();
  mReadPos = 0;
}

bool CZvByteStream::readU8(uint8_t& value) {
  if (getRemaining() < 1) return false;
  value = mBytes[mReadPos++];
  return true;
}

bool CZvByteStream::readU16BE(uint16_t& value) {
  if (getRemaining() < 2) return false;
  const uint8_t* p = mBytes.data() + mReadPos;
  value = static_cast<uint16_t>((p[0] << 8) | p[1]);
  mReadPos += 2;
  return true;
}

bool CZvByteStream::readU32BE(uint32_t& value) {
  if (getRemaining() < 4) return false;
  const uint8_t* p = mBytes.data() + mReadPos;
  value = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
  mReadPos += 4;
  return true;
}

bool CZvByteStream::readU64BE(uint64_t& value) {
  if (getRemaining() < 8) return false;
  const uint8_t* p = mBytes.data() + mReadPos;
  value = 0;
  for (int i = 0; i < 8; ++i) value = (value << 8) | p[i];
  mReadPos += 8;
  return true;
}

void CZvByteStream::writeU8(uint8_t value) { write(&value, 1); }

void CZvByteStream::writeU16BE(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  write(bytes, 2);
}

void CZvByteStream::writeU32BE(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  write(bytes, 4);
}

void CZvByteStream::writeU64BE(uint64_t value) {
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (56 - 8 * i));
  write(bytes, 8);
}

void CZvByteStream::dump(CZvString& out) const {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(mBytes.size() * 3);
  for (size_t i = 0; i < mBytes.size(); ++i) {
    if (i > 0) text.push_back(' ');
    text.push_back(kHex[mBytes[i] >> 4]);
    text.push_back(kHex[mBytes[i] & 0x0F]);
  }
  out.append(text.c_str(), static_cast<uint32_t>(text.size()));
}

bool CZvByteStream::writeToStream(IZvOStream& stream) const {
  const uint32_t n = getSize();
  const uint8_t header[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
  if (stream.write(header, 4) != 4) return false;
  return n == 0 || stream.write(mBytes.data(), n) == n;
}

bool CZvByteStream::readFromStream(IZvIStream& stream) {
  clear();
  uint8_t header[4];
  if (stream.read(header, 4) != 4) return false;
  const uint32_t n =
      header[0] | (uint32_t{header[1]} << 8) | (uint32_t{header[2]} << 16) | (uint32_t{header[3]} << 24);
  // readFromIStream grows chunk by chunk, so a corrupt length costs no more
  // memory than the stream really holds.
  if (readFromIStream(stream, n) != n) {
    clear();
    return false;
  }
  return true;
}

CZvBuffer CZvByteStream::toBuffer() const { return CZvBuffer(mBytes.data(), getSize()); }
