#include "memgauge/observers.h"

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "memgauge/host_callbacks.h"
#include "memgauge/instance_mapping.h"
#include "memgauge/monitor_table.h"
#include "memgauge/tool_callbacks.h"

namespace zv_memgauge {
namespace {

// Like atoi, but saturating instead of undefined on overflow.
long long parseFreeValue(const char* text) { return strtoll(text, nullptr, 10); }

double parseIdleValue(const char* text) { return strtod(text, nullptr); }

template <typename Value>
bool evaluate(int op, Value measured, Value reference, bool* known) {
  *known = true;
  switch (op) {
    case ZV_MONITOR_OP_EQ: return measured == reference;
    case ZV_MONITOR_OP_LT: return measured < reference;
    case ZV_MONITOR_OP_GT: return measured > reference;
    case ZV_MONITOR_OP_NE: return measured != reference;
    case ZV_MONITOR_OP_LE: return measured <= reference;
    case ZV_MONITOR_OP_GE: return measured >= reference;
    default:
      *known = false;
      return false;
  }
}

// Walks the list under the table's lock and collects the monitors to report;
// the host hears about them after the lock is released, so a host callback
// may activate further monitors without deadlocking.
template <typename Value>
std::vector<int> evaluateList(int list_index, const char* item, Value measured,
                              Value (*parse)(const char*)) {
  std::vector<int> succeeded;
  MonitorListLock lock(list_index);
  for (SZvMonitorRecord* record = lock.head(); record != nullptr; record = record->next) {
    if (record->mode == ZV_MONITOR_MODE_ONCE && !record->active) continue;
    char value_text[ZV_MONITOR_TEXT_SIZE + 1];
    copyTextField(value_text, record->value);
    bool known;
    bool result = evaluate(record->op, measured, parse(value_text), &known);
    if (!known) printf("%s_observer wrong operator: %d\n", item, record->op);
    if (result && record->mode == ZV_MONITOR_MODE_ONCE) record->active = 0;
    // An unchanged barrier monitor stays silent; the monitors after it are
    // still evaluated.
    int result_value = result ? 1 : 0;
    if (record->mode == ZV_MONITOR_MODE_BARRIER && result_value == record->last_result) continue;
    record->last_result = result_value;
    if (result) succeeded.push_back(record->monitor_id);
  }
  return succeeded;
}

}  // namespace

void observeFreeMemory(long long free_kb) {
  std::vector<int> succeeded = evaluateList(kFreeMonitorList, "free", free_kb, parseFreeValue);
  int tool_id = toolIdOfThread(pthread_self());
  for (int monitor_id : succeeded) reportMonitorSuccess(tool_id, monitor_id);
  fflush(stdout);
}

void observeIdleTime(double idle_percent) {
  std::vector<int> succeeded = evaluateList(kIdleMonitorList, "idle", idle_percent, parseIdleValue);
  int tool_id = toolIdOfThread(pthread_self());
  for (int monitor_id : succeeded) {
    printf("%s %s: %f\n", "MEMGAUGE", "idle", idle_percent);
    reportMonitorSuccess(tool_id, monitor_id);
  }
  fflush(stdout);
}

}  // namespace zv_memgauge
