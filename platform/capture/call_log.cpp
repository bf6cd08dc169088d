#include "platform/capture/call_log.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/capture/capture_recorder.h"

namespace capture_internal {
namespace {

struct CallLog {
  std::mutex mutex;
  std::vector<capture_call_record> calls;
  std::map<std::string, int> pendingFailures;
};

CallLog& callLog() {
  static CallLog* log = new CallLog;  // Used until the process ends.
  return *log;
}

}  // namespace

void recordCall(const char* function, std::initializer_list<uint64_t> args, int64_t result,
                int error) {
  capture_call_record record{};
  strncpy(record.function, function, sizeof(record.function) - 1);
  size_t index = 0;
  for (uint64_t arg : args) {
    if (index < 3) record.args[index++] = arg;
  }
  record.result = result;
  record.error = error;
  CallLog& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.calls.push_back(record);
}

bool takeInjectedFailure(const char* function, int* error) {
  CallLog& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  auto found = log.pendingFailures.find(function);
  if (found == log.pendingFailures.end()) return false;
  *error = found->second;
  log.pendingFailures.erase(found);
  return true;
}

}  // namespace capture_internal

using capture_internal::callLog;

extern "C" {

size_t capture_recorder_call_count(void) {
  auto& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  return log.calls.size();
}

int capture_recorder_get_call(size_t index, capture_call_record* record) {
  auto& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  if (index >= log.calls.size() || !record) return -1;
  *record = log.calls[index];
  return 0;
}

void capture_recorder_reset(void) {
  auto& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.calls.clear();
  log.pendingFailures.clear();
}

void capture_recorder_fail_next(const char* function, int error) {
  if (!function) return;
  auto& log = callLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.pendingFailures[function] = error;
}

}  // extern "C"
