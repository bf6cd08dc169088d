// A host for tests: records what the plug-in reports through its callbacks,
// and a measurement source with exact numbers and a virtual clock.
#ifndef MEMGAUGE_TESTS_TEST_HOST_H
#define MEMGAUGE_TESTS_TEST_HOST_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "memgauge/measurement_source.h"
#include "memgauge/plugin_interface.h"

namespace zv_memgauge_test {

class TestHost {
 public:
  static TestHost& instance();

  // Hands the callbacks to the plug-in and forgets what was recorded.
  void install();
  // Runs plugin_cb_main on the calling thread; args exclude the tool name.
  int runTool(const std::vector<std::string>& args, int tool_id = 7);

  std::vector<std::string> outputs();
  std::vector<std::string> errors();
  std::vector<int> statuses();
  std::vector<std::pair<int, int>> successes();  // (tool id, monitor id)
  std::vector<int> outputToolIds();

  // Runs on the tool thread when it reports status 2 (its callbacks are in
  // place then), e.g. to activate monitors.
  std::function<void()> on_running;
  // Blocks until the tool reported status 2.
  void waitUntilRunning();

 private:
  friend struct HostCallbacks;
  std::mutex mutex_;
  std::vector<std::string> outputs_;
  std::vector<std::string> errors_;
  std::vector<int> statuses_;
  std::vector<std::pair<int, int>> successes_;
  std::vector<int> output_tool_ids_;
  std::condition_variable_any running_changed_;
  bool running_ = false;
};

// Exact measurements: the free-memory readings come from `free_kb` in order
// (the first is the start-up reading, which seeds the minimum; the last one
// repeats), every processor is idle `idle_fraction` of each sleep, and each
// sleep advances the clock. After `stop_after_sleeps` sleeps it stops the
// tool through plugin_cb_stop, as a host would.
class FakeMeasurementSource : public zv_memgauge::IZvMeasurementSource {
 public:
  std::vector<long long> free_kb{4000};
  int processors = 2;
  double idle_fraction = 0.3;
  int stop_after_sleeps = 3;
  int fail_free_read_at = -1;  // index of the free reading that fails
  std::function<void(int sleep_index)> on_sleep;

  std::vector<int> sleeps;  // the durations asked for
  int64_t clock_ns = 5'000'000'000;

  bool readFreeBytes(int64_t* bytes) override;
  bool readTotalBytes(int64_t* bytes) override;
  int processorCount() override { return processors; }
  bool readIdleNanoseconds(int64_t* nanoseconds) override;
  int64_t monotonicNanoseconds() override { return clock_ns; }
  void sleepMilliseconds(int milliseconds) override;

 private:
  size_t free_reads_ = 0;
  int64_t idle_ns_ = 0;
};

// A monitor record on the heap, as a host hands it over.
SZvMonitorRecord* newMonitor(int id, const char* item, int op, const char* value, int mode);

// Lines written to the system log since the last call.
std::vector<std::string> takeSystemLog();
void captureSystemLog(bool on);

}  // namespace zv_memgauge_test

#endif  // MEMGAUGE_TESTS_TEST_HOST_H
