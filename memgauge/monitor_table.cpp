#include "memgauge/monitor_table.h"

#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "memgauge/host_callbacks.h"
#include "memgauge/instance_mapping.h"
#include "memgauge/system_log.h"
#include "memgauge/tool_callbacks.h"

namespace zv_memgauge {
namespace {

std::mutex g_mutex;
SZvMonitorRecord* g_lists[kMonitorListCount] = {};
std::atomic<int> g_start_delay_ms{0};

void freeRecord(SZvMonitorRecord* record) {
  // Only records in the table can hold a compiled pattern: a "regex" record
  // whose pattern failed to compile never gets in.
  if (textFieldEquals(record->item, "regex")) regfree(&record->pattern);
  free(record);
}

// Compiles the value of a "regex" record; prints why when it fails.
bool compilePattern(SZvMonitorRecord* record) {
  char pattern[ZV_MONITOR_TEXT_SIZE + 1];
  copyTextField(pattern, record->value);
  int result = regcomp(&record->pattern, pattern, REG_EXTENDED | REG_NOSUB);
  if (result == 0) return true;
  char message[256];
  regerror(result, &record->pattern, message, sizeof message);
  printError(activeToolId(), "%s(): %s (%s)", "set_regex_pattern", message, pattern);
  return false;
}

}  // namespace

MonitorListLock::MonitorListLock(int list_index) : lock_(g_mutex), list_index_(list_index) {}

SZvMonitorRecord* MonitorListLock::head() const {
  if (list_index_ < 1 || list_index_ >= kMonitorListCount) return nullptr;
  return g_lists[list_index_];
}

void clearMonitors() {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (auto& head : g_lists) {
    while (head != nullptr) {
      SZvMonitorRecord* next = head->next;
      freeRecord(head);
      head = next;
    }
  }
}

int startDelayMilliseconds() { return g_start_delay_ms.load(); }

bool textFieldEquals(const char* field, const char* text) {
  size_t length = strlen(text);
  return length < ZV_MONITOR_TEXT_SIZE && strncmp(field, text, ZV_MONITOR_TEXT_SIZE) == 0;
}

}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int set_monitor_data(int list_index, SZvMonitorRecord* record) {
  if (record == nullptr) return 1;
  if (list_index < 1 || list_index >= kMonitorListCount) {
    systemLog(kLogOpcodeError, kLogSeverityError, "pxm: set_monitor_data(): invalid monitor_id: %d",
              list_index);
    free(record);
    return 1;
  }
  if (textFieldEquals(record->item, "regex") && !compilePattern(record)) {
    free(record);
    return 1;
  }
  record->next = nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  SZvMonitorRecord** tail = &g_lists[list_index];
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = record;
  return 0;
}

extern "C" int monitor_regex_matches(const SZvMonitorRecord* record, const char* text) {
  if (record == nullptr || text == nullptr || !textFieldEquals(record->item, "regex")) return 0;
  return regexec(&record->pattern, text, 0, nullptr, 0) == 0 ? 1 : 0;
}

extern "C" void plugin_cb_set_start_delay(int milliseconds) {
  g_start_delay_ms.store(milliseconds < 0 ? 0 : milliseconds);
  clearMonitors();
}
