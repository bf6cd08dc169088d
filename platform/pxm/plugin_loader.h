// Loads a tool plug-in and looks up the functions of the plug-in interface.
#ifndef PLATFORM_PXM_PLUGIN_LOADER_H
#define PLATFORM_PXM_PLUGIN_LOADER_H

#include <string>

#include "memgauge/plugin_interface.h"

namespace zv_pxm {

struct SZvPluginFunctions {
  int (*main)(SZvToolArguments*) = nullptr;
  int (*set_callback_function)(int, ZvGenericFunc) = nullptr;
  void (*set_start_delay)(int) = nullptr;
  int (*trigger)(SZvTriggerCommand*) = nullptr;
  int (*monitor_activate)(SZvMonitorRecord*) = nullptr;
  int (*stop)(pthread_t) = nullptr;
  char* (*version)() = nullptr;
  char* (*help)() = nullptr;
};

// Returns false and sets `error` when the file cannot be loaded or lacks a
// function. The plug-in stays loaded for the life of the process.
bool loadPlugin(const std::string& path, SZvPluginFunctions* functions, std::string* error);

}  // namespace zv_pxm

#endif  // PLATFORM_PXM_PLUGIN_LOADER_H
