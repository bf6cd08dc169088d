// Big-endian field access on MOST payloads for the parameter classes.
// Reads never go past the end of the payload and consume nothing when the
// field is not complete.
#ifndef FBKIT_PARAMS_PARAM_CODEC_H
#define FBKIT_PARAMS_PARAM_CODEC_H

#include <cstdint>

#include "platform/basalt/zv_byte_stream.h"

namespace ZvParamCodec {

// Reads an unsigned big-endian integer of size bytes (0 to 8).
inline bool readBigEndian(CZvByteStream& stream, uint32_t size, uint64_t& value) {
  if (size > 8 || stream.getRemaining() < size) return false;
  const uint8_t* bytes = stream.getData() + stream.getReadPosition();
  uint64_t result = 0;
  for (uint32_t i = 0; i < size; ++i) result = (result << 8) | bytes[i];
  stream.skip(size);
  value = result;
  return true;
}

// Appends the low size bytes (0 to 8) of value big-endian; true when all
// were written.
inline bool writeBigEndian(CZvByteStream& stream, uint64_t value, uint32_t size) {
  if (size > 8) return false;
  uint8_t bytes[8];
  for (uint32_t i = 0; i < size; ++i) bytes[size - 1 - i] = static_cast<uint8_t>(value >> (8 * i));
  return size == 0 || stream.write(bytes, size) == size;
}

// Appends n bytes; true when all were written.
inline bool writeBytes(CZvByteStream& stream, const void* data, uint32_t n) {
  return n == 0 || stream.write(data, n) == n;
}

// Sign-extends the low bits of value.
inline int64_t signExtend(uint64_t value, uint32_t bits) {
  if (bits == 0 || bits >= 64) return static_cast<int64_t>(value);
  const uint64_t signBit = uint64_t{1} << (bits - 1);
  const uint64_t low = value & ((uint64_t{1} << bits) - 1);
  return static_cast<int64_t>((low ^ signBit) - signBit);
}

// Whether value fits into the low bits (any value fits 64 bits).
inline bool fitsBits(uint64_t value, uint32_t bits) {
  return bits >= 64 || (value >> bits) == 0;
}

}  // namespace ZvParamCodec

#endif  // FBKIT_PARAMS_PARAM_CODEC_H
