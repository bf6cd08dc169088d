#include "platform/basalt/zv_syslog.h"

#include <syslog.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ZvSyslog {
namespace {
bool useSystemLog() {
  static const bool use = [] {
    const char* value = std::getenv("ZV_SYSLOG");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return use;
}
}  // namespace

void logMsg(int id, int severity, const char* fmt, ...) {
  char text[1024] = "";
  if (fmt != nullptr) {
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof(text), fmt, args);
    va_end(args);
  }
  if (useSystemLog()) {
    const int priority = (severity < EMERG || severity > DEBUG) ? LOG_INFO : severity;
    syslog(priority, "[%d] %s", id, text);
  } else {
    std::fprintf(stderr, "[syslog %d %d] %s\n", id, severity, text);
  }
}
}  // namespace ZvSyslog
