#include "platform/basalt/zv_buffer.h"

#include <cstring>

CZvBuffer::CZvBuffer(const void* data, uint32_t n) {
  if (data != nullptr && n > 0) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    mBytes.assign(bytes, bytes + n);
  }
}

bool CZvBuffer::copyTo(const void* data, uint32_t n, uint32_t offset) {
  if (n == 0) return true;
  if (data == nullptr) return false;
  const uint64_t end = static_cast<uint64_t>(offset) + n;
  if (end > 0xFFFFFFFFull) return false;
  if (end > mBytes.size()) mBytes.resize(static_cast<size_t>(end), 0);
  // memmove: data may point into this buffer.
  std::memmove(mBytes.data() + offset, data, n);
  return true;
}
