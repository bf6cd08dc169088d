#include "memgauge/system_log.h"

#include <stdarg.h>
#include <stdio.h>
#include <syslog.h>

#include <atomic>

namespace zv_memgauge {
namespace {

std::atomic<SystemLogSink> g_sink{nullptr};

void writeToSyslog(int opcode, int severity, const char* text) {
  // syslog levels run from 0 (emergency) to 7 (debug) like our severities.
  int level = severity < LOG_EMERG ? LOG_EMERG : (severity > LOG_DEBUG ? LOG_DEBUG : severity);
  syslog(LOG_USER | level, "[%d] %s", opcode, text);
}

}  // namespace

void systemLog(int opcode, int severity, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  SystemLogSink sink = g_sink.load();
  (sink ? sink : writeToSyslog)(opcode, severity, text);
}

void setSystemLogSinkForTesting(SystemLogSink sink) { g_sink.store(sink); }

}  // namespace zv_memgauge
