// CZvBuffer: a flat, growable block of bytes.
#ifndef PLATFORM_BASALT_ZV_BUFFER_H
#define PLATFORM_BASALT_ZV_BUFFER_H

#include <cstdint>
#include <vector>

class CZvBuffer {
 public:
  CZvBuffer() = default;
  explicit CZvBuffer(uint32_t size) : mBytes(size, 0) {}
  CZvBuffer(const void* data, uint32_t n);

  uint8_t* getData() { return mBytes.data(); }
  const uint8_t* getData() const { return mBytes.data(); }
  uint32_t getSize() const { return static_cast<uint32_t>(mBytes.size()); }
  bool isEmpty() const { return mBytes.empty(); }

  // New bytes are zero.
  void resize(uint32_t size) { mBytes.resize(size, 0); }
  void reserve(uint32_t capacity) { mBytes.reserve(capacity); }
  void clear() { mBytes.clear(); }

  // Copies n bytes to offset, growing the buffer as needed (a gap between the
  // old end and offset is zero-filled). Returns false and changes nothing when
  // offset + n does not fit in 32 bits or data is null with n > 0.
  bool copyTo(const void* data, uint32_t n, uint32_t offset);

  bool operator==(const CZvBuffer& other) const { return mBytes == other.mBytes; }
  bool operator!=(const CZvBuffer& other) const { return !(*this == other); }

 private:
  std::vector<uint8_t> mBytes;
};

#endif  // PLATFORM_BASALT_ZV_BUFFER_H
