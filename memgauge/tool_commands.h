// The callbacks memgauge installs for the host's stop, trigger and monitor
// calls while it runs.
#ifndef MEMGAUGE_TOOL_COMMANDS_H
#define MEMGAUGE_TOOL_COMMANDS_H

#include <pthread.h>

#include "memgauge/plugin_interface.h"

namespace zv_memgauge {

// Sets the stop flag and wakes the tool thread's sleep with SIGALRM.
int stopTool(pthread_t thread);
// Command 0: help hint; command 1 with data type 1: new period in ms.
int triggerTool(SZvTriggerCommand* command);
// "idle" and "free" records join their list; others are refused and freed.
int monitorActivateTool(SZvMonitorRecord* record);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_TOOL_COMMANDS_H
