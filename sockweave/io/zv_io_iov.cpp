#include "sockweave/io/zv_io_iov.h"

namespace ZvIO {
namespace ZvPrivate {

size_t calculate_total_length(const iovec* vector, int count) {
  if (vector == nullptr) return 0;
  size_t total = 0;
  for (int i = 0; i < count; ++i) total += vector[i].iov_len;
  return total;
}

void adopt_iov_pointers(iovec*& vector, int& count, size_t bytes) {
  if (vector == nullptr || count <= 0) {
    count = 0;
    return;
  }
  while (count > 0 && bytes >= vector->iov_len) {
    bytes -= vector->iov_len;
    ++vector;
    --count;
  }
  if (count > 0 && bytes > 0) {
    vector->iov_base = static_cast<char*>(vector->iov_base) + bytes;
    vector->iov_len -= bytes;
  }
}

}  // namespace ZvPrivate
}  // namespace ZvIO
