// CZvTraceHelper: the trace client of a process. At most one exists;
// spThis points to it (null when the process has none).
#ifndef PLATFORM_TRACE_CLIENT_ZV_TRACE_HELPER_H
#define PLATFORM_TRACE_CLIENT_ZV_TRACE_HELPER_H

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"

class CZvTraceHelper : private CZvNonCopyable {
 public:
  static CZvTraceHelper* spThis;

  // Becomes spThis. Creating a second helper while one exists is a
  // programming error (fatal).
  explicit CZvTraceHelper(const char* processName);
  ~CZvTraceHelper();

  const CZvString& getProcessName() const { return mProcessName; }

 private:
  CZvString mProcessName;
};

#endif  // PLATFORM_TRACE_CLIENT_ZV_TRACE_HELPER_H
