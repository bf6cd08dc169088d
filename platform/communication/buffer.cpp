#include "platform/communication/buffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace communication {

Buffer::Buffer(unsigned long capacity) {
  start_ = capacity ? static_cast<char*>(malloc(capacity)) : nullptr;
  cursor_ = start_;
  capacity_ = start_ ? capacity : 0;
  if (start_) start_[0] = '\0';
}

Buffer::~Buffer() { release(); }

bool Buffer::advance(unsigned long count) {
  if (count > available()) return false;
  cursor_ += count;
  return true;
}

unsigned long Buffer::append(const char* text) {
  if (!text || available() == 0) return 0;
  // One byte stays reserved for the terminating NUL.
  unsigned long room = available() - 1;
  unsigned long count = strnlen(text, room);
  memcpy(cursor_, text, count);
  cursor_ += count;
  *cursor_ = '\0';
  return count;
}

unsigned long Buffer::appendFormat(const char* format, ...) {
  if (available() == 0) return 0;
  va_list args;
  va_start(args, format);
  int needed = vsnprintf(cursor_, available(), format, args);
  va_end(args);
  if (needed < 0) {
    *cursor_ = '\0';
    return 0;
  }
  unsigned long count = static_cast<unsigned long>(needed);
  if (count > available() - 1) count = available() - 1;
  cursor_ += count;
  return count;
}

void Buffer::release() {
  free(start_);
  start_ = cursor_ = nullptr;
  capacity_ = 0;
}

}  // namespace communication
