#include "memgauge/tool_callbacks.h"

#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "memgauge/host_callbacks.h"
#include "memgauge/instance_mapping.h"
#include "memgauge/monitor_table.h"
#include "memgauge/pxm_assert.h"

namespace zv_memgauge {
namespace {

std::atomic<bool> g_stop{false};

int defaultStop(pthread_t) {
  requestStop();
  return 0;
}

int defaultTrigger(SZvTriggerCommand* command) {
  int tool_id = activeToolId();
  if (command == nullptr) {
    printError(tool_id, "trigger_default(): NULL argument");
    return 1;
  }
  if (command->command_id == 0) {
    const char* name = hostToolName(tool_id);
    printOutput(tool_id, "trigger_default(): call '%s --h' to get trigger help",
                name ? name : "plugin");
    return 0;
  }
  printError(tool_id, "trigger_default(): command id (%d) not supported", command->command_id);
  return 1;
}

// Nobody watches monitors, so the record the host handed over is dropped.
int defaultMonitor(SZvMonitorRecord* record) {
  free(record);
  return 0;
}

std::atomic<ZvToolThreadFunc> g_stop_callback{defaultStop};
std::atomic<ZvToolTriggerFunc> g_trigger_callback{defaultTrigger};
std::atomic<ZvToolMonitorFunc> g_monitor_callback{defaultMonitor};
std::atomic<ZvToolThreadFunc> g_exec_stop_callback{defaultStop};

}  // namespace

bool stopRequested() { return g_stop.load(); }
void requestStop() { g_stop.store(true); }
void clearStopRequest() { g_stop.store(false); }

void restoreDefaultToolCallbacks() {
  g_stop_callback.store(defaultStop);
  g_trigger_callback.store(defaultTrigger);
  g_monitor_callback.store(defaultMonitor);
  g_exec_stop_callback.store(defaultStop);
}

void copyTextField(char (&out)[ZV_MONITOR_TEXT_SIZE + 1], const char* field) {
  size_t length = strnlen(field, ZV_MONITOR_TEXT_SIZE);
  memcpy(out, field, length);
  out[length] = '\0';
}

}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int set_tool_callback_func(int type, ZvGenericFunc function) {
  if (function == nullptr) return 1;
  switch (type) {
    case ZV_TOOL_CB_STOP:
      g_stop_callback.store(reinterpret_cast<ZvToolThreadFunc>(function));
      return 0;
    case ZV_TOOL_CB_TRIGGER:
      g_trigger_callback.store(reinterpret_cast<ZvToolTriggerFunc>(function));
      return 0;
    case ZV_TOOL_CB_MONITOR:
      g_monitor_callback.store(reinterpret_cast<ZvToolMonitorFunc>(function));
      return 0;
    case ZV_TOOL_CB_EXEC_STOP:
      g_exec_stop_callback.store(reinterpret_cast<ZvToolThreadFunc>(function));
      return 0;
    default:
      return 1;
  }
}

extern "C" int plugin_cb_stop(pthread_t tool_thread) { return g_stop_callback.load()(tool_thread); }

extern "C" int plugin_cb_exec_stop(pthread_t tool_thread) {
  return g_exec_stop_callback.load()(tool_thread);
}

extern "C" int plugin_cb_trigger(SZvTriggerCommand* command) {
  ZV_PXM_ASSERT(command != nullptr);
  return g_trigger_callback.load()(command);
}

extern "C" int plugin_cb_monitor_activate(SZvMonitorRecord* record) {
  ZV_PXM_ASSERT(record != nullptr);
  return g_monitor_callback.load()(record);
}
