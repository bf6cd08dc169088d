#include "platform/pxm/plugin_loader.h"

#include <dlfcn.h>

namespace zv_pxm {
namespace {

template <typename Function>
bool lookUp(void* handle, const char* name, Function* function, std::string* error) {
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) {
    *error = std::string("plug-in lacks ") + name;
    return false;
  }
  *function = reinterpret_cast<Function>(symbol);
  return true;
}

}  // namespace

bool loadPlugin(const std::string& path, SZvPluginFunctions* functions, std::string* error) {
  // A bare file name would make dlopen search the library path; the user
  // means a file.
  std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    *error = reason ? reason : "cannot load " + path;
    return false;
  }
  SZvPluginFunctions found;
  if (!lookUp(handle, "plugin_cb_main", &found.main, error) ||
      !lookUp(handle, "plugin_cb_set_callback_function", &found.set_callback_function, error) ||
      !lookUp(handle, "plugin_cb_set_start_delay", &found.set_start_delay, error) ||
      !lookUp(handle, "plugin_cb_trigger", &found.trigger, error) ||
      !lookUp(handle, "plugin_cb_monitor_activate", &found.monitor_activate, error) ||
      !lookUp(handle, "plugin_cb_stop", &found.stop, error) ||
      !lookUp(handle, "plugin_cb_version", &found.version, error) ||
      !lookUp(handle, "plugin_cb_help", &found.help, error)) {
    dlclose(handle);
    return false;
  }
  *functions = found;
  return true;
}

}  // namespace zv_pxm
