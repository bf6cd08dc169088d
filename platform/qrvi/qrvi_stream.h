// Typed wire streams of the middleware: the parameter block of every request,
// response and attribute update between proxy and stub.
//
// Values are written in the machine's own byte order. A 16-bit value starts at
// an even offset and a 32-bit value at a multiple of 4, counted from the start
// of the block; the gap is filled with zero bytes. 8-bit values are not aligned.
#ifndef PLATFORM_QRVI_QRVI_STREAM_H
#define PLATFORM_QRVI_QRVI_STREAM_H

#include <cstdint>
#include <vector>

// Writes one parameter block.
class CZvQRVOStream {
 public:
  CZvQRVOStream() = default;

  void writeU8(uint8_t value);
  void writeU16(uint16_t value);
  void writeU32(uint32_t value);
  void writeI32(int32_t value);
  // A string: uint32 length including the terminating zero, the characters and
  // the zero. An empty string is the single uint32 0.
  void writeString(const char* text, uint32_t length);
  // A buffer: uint32 size, then the raw bytes.
  void writeBuffer(const uint8_t* bytes, uint32_t size);
  // Raw bytes without size or alignment.
  void writeRaw(const void* bytes, uint32_t size);

  const uint8_t* data() const { return mBytes.data(); }
  uint32_t size() const { return static_cast<uint32_t>(mBytes.size()); }
  const std::vector<uint8_t>& bytes() const { return mBytes; }
  std::vector<uint8_t> takeBytes() { return std::move(mBytes); }
  void clear() { mBytes.clear(); }
  void reserve(uint32_t size) { mBytes.reserve(size); }

 private:
  void alignTo(uint32_t alignment);
  void append(const void* bytes, uint32_t size);

  std::vector<uint8_t> mBytes;
};

// Reads one parameter block received from a peer. Every read checks the bytes
// left; the first failure makes the stream bad and every later read fails too,
// so a decoder may read a whole record and test ok() once.
class CZvQRVIStream {
 public:
  CZvQRVIStream(const uint8_t* data, uint32_t size) : mData(data), mSize(size) {}

  bool readU8(uint8_t& value);
  bool readU16(uint16_t& value);
  bool readU32(uint32_t& value);
  bool readI32(int32_t& value);
  // Points text into the block (valid while the block lives). length excludes
  // the terminator. Fails when the stored length runs past the end or the last
  // byte is not zero; characters after an inner zero are not part of the text.
  bool readString(const char*& text, uint32_t& length);
  // Points bytes into the block; fails when size runs past the end.
  bool readBuffer(const uint8_t*& bytes, uint32_t& size);
  // An element count, accepted only when count elements of at least
  // minElementBytes each can still follow: nothing is reserved from a count
  // that the block cannot hold.
  bool readCount(uint32_t& count, uint32_t minElementBytes);

  bool ok() const { return !mBad; }
  bool atEnd() const { return mPosition == mSize; }
  uint32_t position() const { return mPosition; }
  uint32_t remaining() const { return mSize - mPosition; }
  void setBad() { mBad = true; }

 private:
  bool alignTo(uint32_t alignment);
  bool take(void* out, uint32_t size);

  const uint8_t* mData;
  uint32_t mSize;
  uint32_t mPosition = 0;
  bool mBad = false;
};

#endif  // PLATFORM_QRVI_QRVI_STREAM_H
