// Helpers for writing vector lists (iovec) in several partial writes.
#ifndef SOCKWEAVE_IO_ZV_IO_IOV_H
#define SOCKWEAVE_IO_ZV_IO_IOV_H

#include <sys/uio.h>

#include <cstddef>

namespace ZvIO {
namespace ZvPrivate {

// The sum of the lengths; 0 for a null vector or a count of 0 or less.
size_t calculate_total_length(const iovec* vector, int count);

// Skips bytes at the front of the list after a partial write: fully written
// pieces are dropped (vector advanced, count lowered), a partly written piece
// has its base advanced and its length lowered. Skipping more than the list
// holds leaves it empty (count 0), never beyond its end.
void adopt_iov_pointers(iovec*& vector, int& count, size_t bytes);

}  // namespace ZvPrivate
}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_IOV_H
