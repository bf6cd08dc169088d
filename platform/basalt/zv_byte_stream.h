// CZvByteStream: bytes with their own read position; the carrier of MOST
// payloads. Writing appends at the end, reading consumes from the read
// position. Reads never go past the end: a short read returns fewer bytes
// and a failed typed read leaves the position where it was.
#ifndef PLATFORM_BASALT_ZV_BYTE_STREAM_H
#define PLATFORM_BASALT_ZV_BYTE_STREAM_H

#include <cstdint>
#include <vector>

#include "platform/basalt/zv_buffer.h"
#include "platform/basalt/zv_stream.h"
#include "platform/basalt/zv_string.h"

class CZvByteStream : public IZvIOStream {
 public:
  CZvByteStream() = default;
  // A stream of size zero bytes (read position 0).
  explicit CZvByteStream(uint32_t size);
  explicit CZvByteStream(const CZvBuffer& buffer);
  // Copies n bytes from data (null data gives an empty stream).
  CZvByteStream(const uint8_t* data, uint32_t n);
  CZvByteStream(const CZvByteStream&) = default;
  CZvByteStream& operator=(const CZvByteStream&) = default;
  CZvByteStream(CZvByteStream&&) noexcept = default;
  CZvByteStream& operator=(CZvByteStream&&) noexcept = default;
  ~CZvByteStream() override = default;

  // IZvIStream / IZvOStream.
  uint32_t read(void* buf, uint32_t n) override;
  uint32_t write(const void* data, uint32_t n) override;

  const uint8_t* getData() const { return mBytes.data(); }
  uint8_t* getData() { return mBytes.data(); }
  uint32_t getSize() const { return static_cast<uint32_t>(mBytes.size()); }
  bool isEmpty() const { return mBytes.empty(); }

  uint32_t getReadPosition() const { return mReadPos; }
  // Clamped to the size.
  void setReadPosition(uint32_t position);
  void rewind() { mReadPos = 0; }
  uint32_t getRemaining() const { return getSize() - mReadPos; }
  // Moves the read position forward by up to n bytes; returns the count skipped.
  uint32_t skip(uint32_t n);

  // Appends up to n bytes read from stream; returns the count appended.
  uint32_t readFromIStream(IZvIStream& stream, uint32_t n);

  void reserve(uint32_t capacity) { mBytes.reserve(capacity); }
  // New bytes are zero; the read position is clamped to the new size.
  void resize(uint32_t size);
  // Empties the stream (size and read position 0).
  void flush() { clear(); }
  void clear();

  // Big-endian helpers (MOST payloads are big-endian). Reads fail without
  // moving the read position when too few bytes remain.
  bool readU8(uint8_t& value);
  bool readU16BE(uint16_t& value);
  bool readU32BE(uint32_t& value);
  bool readU64BE(uint64_t& value);
  void writeU8(uint8_t value);
  void writeU16BE(uint16_t value);
  void writeU32BE(uint32_t value);
  void writeU64BE(uint64_t value);

  // Content equality (the read positions do not count).
  bool operator==(const CZvByteStream& other) const { return mBytes == other.mBytes; }
  bool operator!=(const CZvByteStream& other) const { return !(*this == other); }

  // Hex text of all bytes: "01 02 ff" (lower case, single blanks, no
  // trailing blank); appended to out.
  void dump(CZvString& out) const;

  // The library's own stream form: 32-bit length (little-endian), then the
  // bytes. readFromStream replaces the content and rewinds; on a truncated
  // stream it returns false and leaves this stream empty.
  bool writeToStream(IZvOStream& stream) const;
  bool readFromStream(IZvIStream& stream);

  CZvBuffer toBuffer() const;

 private:
  std::vector<uint8_t> mBytes;
  uint32_t mReadPos = 0;
};

#endif  // PLATFORM_BASALT_ZV_BYTE_STREAM_H
