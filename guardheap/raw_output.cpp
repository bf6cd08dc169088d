#include "guardheap/raw_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zv_guardheap {

void writeParts(int fd, const char* const* parts) {
  for (; *parts; ++parts) {
    const char* text = *parts;
    size_t left = strlen(text);
    while (left > 0) {
      ssize_t written = write(fd, text, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return;
      text += written;
      left -= static_cast<size_t>(written);
    }
  }
}

const char* formatDecimal(long long value, char* buffer) {
  char digits[24];
  int count = 0;
  // Work on the negative side so that the smallest value needs no special case.
  long long rest = value < 0 ? value : -value;
  do {
    digits[count++] = static_cast<char>('0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  int out = 0;
  if (value < 0) buffer[out++] = '-';
  while (count > 0) buffer[out++] = digits[--count];
  buffer[out] = '\0';
  return buffer;
}

const char* errorText(int error) {
  // strerror() may translate, and translating may allocate.
  const char* text = strerrordesc_np(error);
  return text ? text : "Unknown error";
}

}  // namespace zv_guardheap
