// The monitor records the host handed over, in 20 lists (1 to 19 used).
#ifndef MEMGAUGE_MONITOR_TABLE_H
#define MEMGAUGE_MONITOR_TABLE_H

#include <mutex>

#include "memgauge/monitor_record.h"

extern "C" {
// Appends `record` to list `list_index` and takes ownership of it. A "regex"
// record gets its value compiled first. Returns 0, or 1 when the record was
// refused (bad list index or bad pattern; it is freed then).
int set_monitor_data(int list_index, SZvMonitorRecord* record);
// 1 when `text` matches the compiled pattern of a "regex" record, else 0.
int monitor_regex_matches(const SZvMonitorRecord* record, const char* text);
}

namespace zv_memgauge {

constexpr int kMonitorListCount = 20;
constexpr int kIdleMonitorList = 1;
constexpr int kFreeMonitorList = 2;

// Holds the table's lock while the caller walks one list.
class MonitorListLock {
 public:
  explicit MonitorListLock(int list_index);
  SZvMonitorRecord* head() const;

 private:
  std::lock_guard<std::mutex> lock_;
  int list_index_;
};

// Frees every record (and its compiled pattern).
void clearMonitors();
// Milliseconds set by plugin_cb_set_start_delay().
int startDelayMilliseconds();

// True when the fixed-size text field holds exactly `text`.
bool textFieldEquals(const char* field, const char* text);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_MONITOR_TABLE_H
