// The callbacks the host hands to the plug-in, and the helpers through which
// the tool uses them. A callback the host did not set is skipped.
#ifndef MEMGAUGE_HOST_CALLBACKS_H
#define MEMGAUGE_HOST_CALLBACKS_H

#include "memgauge/plugin_interface.h"

namespace zv_memgauge {

// Both format the line here and hand the host only "%s" and the text, so no
// text of ours is ever taken as a format by the host.
void printOutput(int tool_id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void printError(int tool_id, const char* format, ...) __attribute__((format(printf, 2, 3)));
void sendStatus(int tool_id, int status);
void reportMonitorSuccess(int tool_id, int monitor_id);
ZvHostSignalHandlerFunc hostAlarmHandler();
// The tool name the host gave, or null.
const char* hostToolName(int tool_id);

// Forgets every host callback (the plug-in's state on load).
void resetHostCallbacks();

}  // namespace zv_memgauge

#endif  // MEMGAUGE_HOST_CALLBACKS_H
