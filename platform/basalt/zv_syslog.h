// System log. Lines go to syslog(3) when the environment variable
// ZV_SYSLOG is "1", otherwise to stderr as "[syslog <id> <severity>] text".
#ifndef PLATFORM_BASALT_ZV_SYSLOG_H
#define PLATFORM_BASALT_ZV_SYSLOG_H

namespace ZvSyslog {
// Severities as in syslog(3).
enum Severity { EMERG = 0, ALERT = 1, CRIT = 2, ERR = 3, WARNING = 4, NOTICE = 5, INFO = 6, DEBUG = 7 };
void logMsg(int id, int severity, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
}  // namespace ZvSyslog

#endif  // PLATFORM_BASALT_ZV_SYSLOG_H
