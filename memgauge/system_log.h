// Lines for the system log, tagged with an opcode and a severity.
#ifndef MEMGAUGE_SYSTEM_LOG_H
#define MEMGAUGE_SYSTEM_LOG_H

namespace zv_memgauge {

constexpr int kLogOpcodeError = 10505762;
constexpr int kLogOpcodeInfo = 27282978;
constexpr int kLogSeverityError = 2;
constexpr int kLogSeverityInfo = 7;

void systemLog(int opcode, int severity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Where the lines go; the default writes them to syslog(3). Tests pass a
// function of their own, null restores the default.
using SystemLogSink = void (*)(int opcode, int severity, const char* text);
void setSystemLogSinkForTesting(SystemLogSink sink);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_SYSTEM_LOG_H
