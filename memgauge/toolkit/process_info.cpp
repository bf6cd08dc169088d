// Process information, names and arguments from /proc/<pid>/.
#include <ctype.h>
#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "memgauge/proc_text.h"
#include "memgauge/pxm_assert.h"
#include "memgauge/system_log.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge {
namespace {

std::string procPath(int pid, const char* file) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/%s", pid, file);
  return path;
}

const char* baseName(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash ? slash + 1 : path;
}

bool readStat(int pid, SZvProcStat* stat) {
  std::string text;
  return readProcFile(procPath(pid, "stat").c_str(), &text) &&
         parseProcessStat(text.data(), text.size(), stat);
}

// The program name without directories: from the command line, or for
// processes without one (kernel threads) the kernel's command name.
bool readName(int pid, std::string* name, std::string* arguments) {
  std::string text;
  std::string program;
  std::string args;
  if (readProcFile(procPath(pid, "cmdline").c_str(), &text) &&
      parseCmdline(text.data(), text.size(), &program, &args)) {
    *name = baseName(program.c_str());
    if (arguments) *arguments = args;
    return true;
  }
  SZvProcStat stat;
  if (!readStat(pid, &stat)) return false;
  *name = stat.command;
  if (arguments) arguments->clear();
  return true;
}

bool copyText(const std::string& text, char* buffer, size_t size) {
  if (text.size() + 1 > size) return false;
  memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

uint64_t ticksToNanoseconds(uint64_t ticks) {
  static const long hz = sysconf(_SC_CLK_TCK);
  uint64_t per_second = hz > 0 ? static_cast<uint64_t>(hz) : 100;
  return ticks / per_second * 1000000000u + ticks % per_second * 1000000000u / per_second;
}

bool isPidName(const char* name) {
  if (*name == '\0') return false;
  for (; *name; ++name) {
    if (!isdigit(static_cast<unsigned char>(*name))) return false;
  }
  return true;
}

// Visits every process until `visit(pid)` returns true; returns that pid or 0.
template <typename Visitor>
int findProcess(Visitor&& visit) {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  int found = 0;
  while (dirent* entry = readdir(proc)) {
    if (!isPidName(entry->d_name)) continue;
    int pid = atoi(entry->d_name);
    if (visit(pid)) {
      found = pid;
      break;
    }
  }
  closedir(proc);
  return found;
}

}  // namespace
}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int _tbox_get_number_of_threads(int pid, int* count) {
  ZV_PXM_ASSERT(count != nullptr);
  SZvProcStat stat;
  if (!readStat(pid, &stat)) return ESRCH;
  if (stat.num_threads > ZV_TBOX_MAX_THREADS) {
    systemLog(kLogOpcodeError, kLogSeverityError,
              "[toolkit] _tbox_get_number_of_threads(): thread_number>500 (%lld)! IGNORE PROCESS",
              static_cast<long long>(stat.num_threads));
    return E2BIG;
  }
  *count = static_cast<int>(stat.num_threads);
  return 0;
}

extern "C" int _tbox_fill_name(int pid, SZvProcessInfo* info) {
  ZV_PXM_ASSERT(info != nullptr);
  return _tbox_get_name_for_pid(pid, info->name, sizeof info->name);
}

extern "C" int _tbox_fill_info(int pid, SZvProcessInfo* info) {
  ZV_PXM_ASSERT(info != nullptr);
  SZvProcStat stat;
  if (!readStat(pid, &stat)) return ESRCH;
  int threads = 0;
  int result = _tbox_get_number_of_threads(pid, &threads);
  if (result != 0) return result;
  info->pid = stat.pid;
  info->parent_pid = stat.parent_pid;
  info->num_threads = threads;
  info->state = stat.state;
  info->virtual_bytes = stat.virtual_bytes;
  info->resident_bytes = stat.resident_pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  info->user_time_ns = ticksToNanoseconds(stat.user_ticks);
  info->system_time_ns = ticksToNanoseconds(stat.system_ticks);
  return 0;
}

extern "C" int _tbox_get_process_info(int pid, SZvProcessInfo* info) {
  ZV_PXM_ASSERT(info != nullptr);
  memset(info, 0, sizeof *info);
  int result = _tbox_fill_info(pid, info);
  if (result != 0) return result;
  _tbox_fill_name(pid, info);
  return 0;
}

extern "C" int _tbox_get_name_for_pid(int pid, char* name, size_t size) {
  ZV_PXM_ASSERT(name != nullptr && size > 0);
  std::string text;
  if (readName(pid, &text, nullptr) && copyText(text, name, size)) return 0;
  snprintf(name, size, "%s", "not_available");
  return ENOENT;
}

extern "C" int _tbox_get_process_arguments(int pid, char* buffer, size_t size) {
  ZV_PXM_ASSERT(buffer != nullptr);
  std::string name;
  std::string arguments;
  if (!readName(pid, &name, &arguments)) return ESRCH;
  return copyText(arguments, buffer, size) ? 0 : ZV_TBOX_BUFFER_TOO_SMALL;
}

extern "C" int _tbox_get_pid_for_name(const char* name, int* pid) {
  ZV_PXM_ASSERT(name != nullptr && pid != nullptr);
  const char* wanted = baseName(name);
  int found = findProcess([&](int candidate) {
    std::string candidate_name;
    return readName(candidate, &candidate_name, nullptr) && candidate_name == wanted;
  });
  if (found == 0) return ESRCH;
  *pid = found;
  return 0;
}

extern "C" int _tbox_get_pid_for_name_and_args(const char* name, const char* arguments, int* pid) {
  ZV_PXM_ASSERT(name != nullptr && arguments != nullptr && pid != nullptr);
  const char* wanted = baseName(name);
  int found = findProcess([&](int candidate) {
    std::string candidate_name;
    std::string candidate_arguments;
    return readName(candidate, &candidate_name, &candidate_arguments) &&
           candidate_name == wanted && candidate_arguments == arguments;
  });
  if (found == 0) return ESRCH;
  *pid = found;
  return 0;
}
