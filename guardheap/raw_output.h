// Writing messages from inside the allocator, where stdio cannot be used
// (it allocates, which would re-enter the allocator).
#ifndef GUARDHEAP_RAW_OUTPUT_H
#define GUARDHEAP_RAW_OUTPUT_H

namespace zv_guardheap {

// Writes the NUL-terminated texts of |parts| (null entries end the list) to
// |fd| with write(2), retrying after interruptions and short writes.
void writeParts(int fd, const char* const* parts);

// Formats |value| in decimal into |buffer| (at least 24 bytes) and returns it.
const char* formatDecimal(long long value, char* buffer);

// The English description of |error|, without touching the allocator.
const char* errorText(int error);

}  // namespace zv_guardheap

#endif  // GUARDHEAP_RAW_OUTPUT_H
