// The plain-function interface between the resource-monitor host and a tool
// plug-in such as libmemgauge. The host loads the plug-in, looks these names
// up, sets its callbacks and runs plugin_cb_main() on a thread of its own.
#ifndef MEMGAUGE_PLUGIN_INTERFACE_H
#define MEMGAUGE_PLUGIN_INTERFACE_H

#include <pthread.h>
#include <stdint.h>

#include "memgauge/monitor_record.h"

#ifdef __cplusplus
extern "C" {
#endif

// Types of plugin_cb_set_callback_function().
enum {
  ZV_HOST_CB_PRINT_OUTPUT = 1,     // ZvHostPrintFunc
  ZV_HOST_CB_PRINT_ERROR = 2,      // ZvHostPrintFunc
  ZV_HOST_CB_STATUS = 3,           // ZvHostStatusFunc
  ZV_HOST_CB_MONITOR_SUCCESS = 4,  // ZvHostMonitorSuccessFunc
  ZV_HOST_CB_SIGALRM_HANDLER = 5,  // ZvHostSignalHandlerFunc
  ZV_HOST_CB_OUTPUT_HANDLE = 6,    // ZvHostOutputHandleFunc
  ZV_HOST_CB_TOOL_NAME = 7,        // ZvHostToolNameFunc
};

// Tool status values reported through ZV_HOST_CB_STATUS.
enum {
  ZV_TOOL_STATUS_FINISHED = 0,
  ZV_TOOL_STATUS_RUNNING = 2,
  ZV_TOOL_STATUS_ERROR = 4,
};

// Types of set_tool_callback_func().
enum {
  ZV_TOOL_CB_STOP = 0,           // ZvToolThreadFunc
  ZV_TOOL_CB_TRIGGER = 1,        // ZvToolTriggerFunc
  ZV_TOOL_CB_MONITOR = 2,        // ZvToolMonitorFunc
  ZV_TOOL_CB_EXEC_STOP = 3,      // ZvToolThreadFunc
};

// A function of any type; callers cast to the type named by the callback type.
typedef void (*ZvGenericFunc)(void);

// A tool output or error line: printf format and its arguments, no line feed.
typedef void (*ZvHostPrintFunc)(int tool_id, const char* format, ...);
typedef void (*ZvHostStatusFunc)(int tool_id, int status);
typedef void (*ZvHostMonitorSuccessFunc)(int tool_id, int monitor_id);
typedef void (*ZvHostSignalHandlerFunc)(int signal_number);
// File descriptor an external tool writes its output to.
typedef int (*ZvHostOutputHandleFunc)(int tool_id);
typedef const char* (*ZvHostToolNameFunc)(int tool_id);

// The argument block of plugin_cb_main(): argv[0] is the tool name,
// argv[argc] is null.
typedef struct SZvToolArguments {
  int32_t tool_id;
  int32_t argc;
  char** argv;
} SZvToolArguments;

// Data types of a trigger command.
enum { ZV_TRIGGER_TYPE_NUMBER = 1 };

// A trigger command from the host. `value` need not be terminated.
typedef struct SZvTriggerCommand {
  int32_t command_id;
  int32_t data_type;
  char value[ZV_MONITOR_TEXT_SIZE];
} SZvTriggerCommand;

typedef int (*ZvToolThreadFunc)(pthread_t thread);
typedef int (*ZvToolTriggerFunc)(SZvTriggerCommand* command);
typedef int (*ZvToolMonitorFunc)(SZvMonitorRecord* record);

// Runs the tool; returns its final status (0 finished, 4 error).
int plugin_cb_main(SZvToolArguments* arguments);
// Returns 0, or 1 for an unknown type.
int plugin_cb_set_callback_function(int type, ZvGenericFunc function);
// Milliseconds plugin_cb_main() waits before it starts; also frees every
// monitor record held so far.
void plugin_cb_set_start_delay(int milliseconds);
int plugin_cb_trigger(SZvTriggerCommand* command);
// Takes ownership of `record` whether or not it is accepted.
int plugin_cb_monitor_activate(SZvMonitorRecord* record);
int plugin_cb_stop(pthread_t tool_thread);
int plugin_cb_exec_stop(pthread_t tool_thread);
// Heap texts the caller frees.
char* plugin_cb_version(void);
char* plugin_cb_help(void);

// Framework functions a tool uses.
int set_tool_callback_func(int type, ZvGenericFunc function);
int get_own_tool_id(void);
const char* get_tool_usage(void);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // MEMGAUGE_PLUGIN_INTERFACE_H
