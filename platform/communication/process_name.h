// Names of processes, read from /proc.
#ifndef PLATFORM_COMMUNICATION_PROCESS_NAME_H
#define PLATFORM_COMMUNICATION_PROCESS_NAME_H

#include <sys/types.h>

namespace communication {

// Writes the name of process |pid| to |buffer|: the first word of its command
// line as started (the program path), or, for processes without a command
// line, the kernel's short name. The text is always NUL-terminated and cut to
// |size| - 1 characters. Returns 0, or -1 with errno set (ESRCH for a process
// that does not exist, EINVAL for a null or empty buffer); on failure the
// buffer holds an empty text.
int getPidNameForId(pid_t pid, char* buffer, unsigned long size);

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_PROCESS_NAME_H
