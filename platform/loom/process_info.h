// The process name as the component framework reports it.
#ifndef PLATFORM_LOOM_PROCESS_INFO_H
#define PLATFORM_LOOM_PROCESS_INFO_H

#include <string>

namespace ZvApplication {

// The process name: set by setProcessName(), otherwise the file name of the
// running program (from /proc/self/exe, else the kernel's short name).
std::string getProcessName();

// Overrides the process name for the rest of the process's life; null or
// empty text returns to the default.
void setProcessName(const char* name);

}  // namespace ZvApplication

#endif  // PLATFORM_LOOM_PROCESS_INFO_H
