#include "platform/communication/process_name.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace communication {
namespace {

// Reads up to |size| - 1 bytes of |path| into |buffer| and NUL-terminates.
// Returns the count read, or -1.
long readSmallFile(const char* path, char* buffer, unsigned long size) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  unsigned long total = 0;
  while (total + 1 < size) {
    ssize_t count = ::read(fd, buffer + total, size - 1 - total);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    total += static_cast<unsigned long>(count);
  }
  ::close(fd);
  buffer[total] = '\0';
  return static_cast<long>(total);
}

}  // namespace

int getPidNameForId(pid_t pid, char* buffer, unsigned long size) {
  if (!buffer || size == 0) {
    errno = EINVAL;
    return -1;
  }
  buffer[0] = '\0';
  if (pid <= 0) {
    errno = ESRCH;
    return -1;
  }
  char path[64];
  snprintf(path, sizeof(path), "/proc/%ld/cmdline", static_cast<long>(pid));
  long count = readSmallFile(path, buffer, size);
  if (count < 0) {
    errno = ESRCH;
    return -1;
  }
  // The command line's words are NUL-separated: the buffer now ends at the
  // first one. Kernel threads and zombies have none; use the short name.
  if (buffer[0] != '\0') return 0;
  snprintf(path, sizeof(path), "/proc/%ld/comm", static_cast<long>(pid));
  count = readSmallFile(path, buffer, size);
  if (count < 0) {
    buffer[0] = '\0';
    errno = ESRCH;
    return -1;
  }
  if (count > 0 && buffer[count - 1] == '\n') buffer[count - 1] = '\0';
  return 0;
}

}  // namespace communication
