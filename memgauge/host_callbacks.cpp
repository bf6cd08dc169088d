#include "memgauge/host_callbacks.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>

namespace zv_memgauge {
namespace {

constexpr int kFirstType = ZV_HOST_CB_PRINT_OUTPUT;
constexpr int kLastType = ZV_HOST_CB_TOOL_NAME;

// Set from host threads, read from the tool thread.
std::atomic<ZvGenericFunc> g_callbacks[kLastType + 1];

template <typename Function>
Function callback(int type) {
  return reinterpret_cast<Function>(g_callbacks[type].load());
}

void forwardLine(int type, int tool_id, const char* format, va_list args) {
  ZvHostPrintFunc print = callback<ZvHostPrintFunc>(type);
  if (print == nullptr) return;
  char small[1024];
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof small) {
    print(tool_id, "%s", small);
    return;
  }
  char* large = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
  if (large == nullptr) return;
  vsnprintf(large, static_cast<size_t>(length) + 1, format, args);
  print(tool_id, "%s", large);
  free(large);
}

}  // namespace

void printOutput(int tool_id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  forwardLine(ZV_HOST_CB_PRINT_OUTPUT, tool_id, format, args);
  va_end(args);
}

void printError(int tool_id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  forwardLine(ZV_HOST_CB_PRINT_ERROR, tool_id, format, args);
  va_end(args);
}

void sendStatus(int tool_id, int status) {
  if (auto report = callback<ZvHostStatusFunc>(ZV_HOST_CB_STATUS)) report(tool_id, status);
}

void reportMonitorSuccess(int tool_id, int monitor_id) {
  if (auto report = callback<ZvHostMonitorSuccessFunc>(ZV_HOST_CB_MONITOR_SUCCESS)) {
    report(tool_id, monitor_id);
  }
}

ZvHostSignalHandlerFunc hostAlarmHandler() {
  return callback<ZvHostSignalHandlerFunc>(ZV_HOST_CB_SIGALRM_HANDLER);
}

const char* hostToolName(int tool_id) {
  auto name = callback<ZvHostToolNameFunc>(ZV_HOST_CB_TOOL_NAME);
  return name ? name(tool_id) : nullptr;
}

void resetHostCallbacks() {
  for (auto& slot : g_callbacks) slot.store(nullptr);
}

}  // namespace zv_memgauge

extern "C" int plugin_cb_set_callback_function(int type, ZvGenericFunc function) {
  if (type < zv_memgauge::kFirstType || type > zv_memgauge::kLastType) return 1;
  zv_memgauge::g_callbacks[type].store(function);
  return 0;
}
