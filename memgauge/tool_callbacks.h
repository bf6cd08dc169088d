// The tool's side of the host calls plugin_cb_stop, plugin_cb_trigger,
// plugin_cb_monitor_activate and plugin_cb_exec_stop.
#ifndef MEMGAUGE_TOOL_CALLBACKS_H
#define MEMGAUGE_TOOL_CALLBACKS_H

#include "memgauge/plugin_interface.h"

namespace zv_memgauge {

// The stop flag the tool loop polls.
bool stopRequested();
void requestStop();
void clearStopRequest();

// Puts back the default callbacks (trigger help, stop flag, freeing monitor).
void restoreDefaultToolCallbacks();

// Copies a fixed-size text field that may lack a terminator.
void copyTextField(char (&out)[ZV_MONITOR_TEXT_SIZE + 1], const char* field);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_TOOL_CALLBACKS_H
