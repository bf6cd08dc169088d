#include "memgauge/tests/test_host.h"

#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <condition_variable>

#include "memgauge/system_log.h"

namespace zv_memgauge_test {

struct HostCallbacks {
  static std::string format(const char* format, va_list args) {
    char text[4096];
    vsnprintf(text, sizeof text, format, args);
    return text;
  }
  static void output(int tool_id, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = HostCallbacks::format(format, args);
    va_end(args);
    TestHost& host = TestHost::instance();
    std::lock_guard<std::mutex> lock(host.mutex_);
    host.outputs_.push_back(text);
    host.output_tool_ids_.push_back(tool_id);
  }
  static void error(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = HostCallbacks::format(format, args);
    va_end(args);
    TestHost& host = TestHost::instance();
    std::lock_guard<std::mutex> lock(host.mutex_);
    host.errors_.push_back(text);
  }
  static void status(int, int status) {
    TestHost& host = TestHost::instance();
    {
      std::lock_guard<std::mutex> lock(host.mutex_);
      host.statuses_.push_back(status);
      if (status == ZV_TOOL_STATUS_RUNNING) host.running_ = true;
    }
    host.running_changed_.notify_all();
    if (status == ZV_TOOL_STATUS_RUNNING && host.on_running) host.on_running();
  }
  static void success(int tool_id, int monitor_id) {
    TestHost& host = TestHost::instance();
    std::lock_guard<std::mutex> lock(host.mutex_);
    host.successes_.emplace_back(tool_id, monitor_id);
  }
  static void alarm(int) {}
  static const char* name(int) { return "memgauge"; }
};

TestHost& TestHost::instance() {
  static TestHost host;
  return host;
}

void TestHost::install() {
  plugin_cb_set_callback_function(ZV_HOST_CB_PRINT_OUTPUT,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::output));
  plugin_cb_set_callback_function(ZV_HOST_CB_PRINT_ERROR,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::error));
  plugin_cb_set_callback_function(ZV_HOST_CB_STATUS,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::status));
  plugin_cb_set_callback_function(ZV_HOST_CB_MONITOR_SUCCESS,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::success));
  plugin_cb_set_callback_function(ZV_HOST_CB_SIGALRM_HANDLER,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::alarm));
  plugin_cb_set_callback_function(ZV_HOST_CB_TOOL_NAME,
                                  reinterpret_cast<ZvGenericFunc>(HostCallbacks::name));
  std::lock_guard<std::mutex> lock(mutex_);
  outputs_.clear();
  errors_.clear();
  statuses_.clear();
  successes_.clear();
  output_tool_ids_.clear();
  running_ = false;
  on_running = nullptr;
}

int TestHost::runTool(const std::vector<std::string>& args, int tool_id) {
  std::vector<std::string> words{"memgauge"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  SZvToolArguments arguments{tool_id, static_cast<int32_t>(words.size()), argv.data()};
  return plugin_cb_main(&arguments);
}

std::vector<std::string> TestHost::outputs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return outputs_;
}
std::vector<std::string> TestHost::errors() {
  std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}
std::vector<int> TestHost::statuses() {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}
std::vector<std::pair<int, int>> TestHost::successes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return successes_;
}
std::vector<int> TestHost::outputToolIds() {
  std::lock_guard<std::mutex> lock(mutex_);
  return output_tool_ids_;
}

void TestHost::waitUntilRunning() {
  std::unique_lock<std::mutex> lock(mutex_);
  running_changed_.wait(lock, [this] { return running_; });
}

bool FakeMeasurementSource::readFreeBytes(int64_t* bytes) {
  size_t index = free_reads_++;
  if (static_cast<int>(index) == fail_free_read_at) return false;
  long long kb = free_kb[index < free_kb.size() ? index : free_kb.size() - 1];
  *bytes = kb * 1024;
  return true;
}

bool FakeMeasurementSource::readTotalBytes(int64_t* bytes) {
  *bytes = 8LL << 30;
  return true;
}

bool FakeMeasurementSource::readIdleNanoseconds(int64_t* nanoseconds) {
  *nanoseconds = idle_ns_;
  return true;
}

void FakeMeasurementSource::sleepMilliseconds(int milliseconds) {
  sleeps.push_back(milliseconds);
  int64_t period = static_cast<int64_t>(milliseconds) * 1'000'000;
  clock_ns += period;
  idle_ns_ += static_cast<int64_t>(static_cast<double>(period) * processors * idle_fraction);
  if (on_sleep) on_sleep(static_cast<int>(sleeps.size()) - 1);
  if (static_cast<int>(sleeps.size()) >= stop_after_sleeps) plugin_cb_stop(pthread_self());
}

SZvMonitorRecord* newMonitor(int id, const char* item, int op, const char* value, int mode) {
  auto* record = static_cast<SZvMonitorRecord*>(calloc(1, sizeof(SZvMonitorRecord)));
  record->monitor_id = id;
  snprintf(record->item, sizeof record->item, "%s", item);
  record->op = op;
  snprintf(record->value, sizeof record->value, "%s", value);
  record->mode = mode;
  record->active = 1;
  return record;
}

namespace {
std::mutex g_log_mutex;
std::vector<std::string> g_log;
void logSink(int, int, const char* text) {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  g_log.push_back(text);
}
}  // namespace

std::vector<std::string> takeSystemLog() {
  std::lock_guard<std::mutex> lock(g_log_mutex);
  std::vector<std::string> lines;
  lines.swap(g_log);
  return lines;
}

void captureSystemLog(bool on) {
  zv_memgauge::setSystemLogSinkForTesting(on ? logSink : nullptr);
  takeSystemLog();
}

}  // namespace zv_memgauge_test
