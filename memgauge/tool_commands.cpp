// The stop, trigger and monitor-activation callbacks memgauge installs.
#include "memgauge/tool_commands.h"

#include <signal.h>
#include <stdlib.h>

#include "memgauge/host_callbacks.h"
#include "memgauge/instance_mapping.h"
#include "memgauge/monitor_table.h"
#include "memgauge/observers.h"
#include "memgauge/pxm_assert.h"
#include "memgauge/settings.h"
#include "memgauge/tool_callbacks.h"

namespace zv_memgauge {

int stopTool(pthread_t thread) {
  requestStop();
  signalInstance(thread, SIGALRM);
  return 0;
}

int triggerTool(SZvTriggerCommand* command) {
  ZV_PXM_ASSERT(command != nullptr);
  int tool_id = activeToolId();
  switch (command->command_id) {
    case 0:
      printOutput(tool_id, "call 'memgauge --h' to get trigger help");
      return 0;
    case 1: {
      if (command->data_type != ZV_TRIGGER_TYPE_NUMBER) {
        printError(tool_id, "trigger: invalid data type (%d)", command->data_type);
        return 1;
      }
      char text[ZV_MONITOR_TEXT_SIZE + 1];
      copyTextField(text, command->value);
      char* end = nullptr;
      long delay = strtol(text, &end, 10);
      // A period of 0 or less, or text that is no number, would make the loop spin.
      if (end == text || *end != '\0' || delay <= 0 || delay > 0x7fffffff) {
        printError(tool_id, "trigger: invalid value '%s'", text);
        return 1;
      }
      setDelayTime(static_cast<int>(delay));
      return 0;
    }
    default:
      printError(tool_id, "trigger: invalid command id (%d), call 'memgauge --h' to get trigger help",
                 command->command_id);
      return 1;
  }
}

int monitorActivateTool(SZvMonitorRecord* record) {
  ZV_PXM_ASSERT(record != nullptr);
  if (textFieldEquals(record->item, "idle")) {
    int result = set_monitor_data(kIdleMonitorList, record);
    setIdleObserver(observeIdleTime);
    return result;
  }
  if (textFieldEquals(record->item, "free")) {
    int result = set_monitor_data(kFreeMonitorList, record);
    setFreeObserver(observeFreeMemory);
    return result;
  }
  printError(activeToolId(), "monitor: invalid trigger id (%d)", record->monitor_id);
  free(record);
  return 1;
}

}  // namespace zv_memgauge
