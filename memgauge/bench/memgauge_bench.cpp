// Costs of one sampling cycle and of its parts.
#include <pthread.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include <benchmark/benchmark.h>

#include "memgauge/measurement_source.h"
#include "memgauge/monitor_table.h"
#include "memgauge/observers.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/proc_text.h"
#include "memgauge/toolkit/toolkit.h"

namespace {

std::string statText(int processors) {
  std::string text = "cpu  3818 0 3800 71587 185 0 71 0 0 0\n";
  for (int cpu = 0; cpu < processors; ++cpu) {
    text += "cpu" + std::to_string(cpu) + " 1590 0 1722 36375 13 0 32 0 0 0\n";
  }
  return text + "intr 133618 0 0 0 0 0 0 0\nctxt 1234\n";
}

void BM_ParseMeminfo(benchmark::State& state) {
  std::string text;
  if (!zv_memgauge::readProcFile("/proc/meminfo", &text)) state.SkipWithError("no /proc/meminfo");
  for (auto _ : state) {
    int64_t bytes = 0;
    benchmark::DoNotOptimize(zv_memgauge::parseMeminfoBytes(text.data(), text.size(), "MemAvailable", &bytes));
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ParseMeminfo);

void BM_ParseStat(benchmark::State& state) {
  std::string text = statText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    zv_memgauge::SZvStatIdle idle;
    benchmark::DoNotOptimize(zv_memgauge::parseStatIdle(text.data(), text.size(), &idle));
  }
}
BENCHMARK(BM_ParseStat)->Arg(2)->Arg(64)->Arg(256);

// The real readings of one cycle: free memory and the idle clocks.
void BM_ReadFreeMemory(benchmark::State& state) {
  for (auto _ : state) {
    int64_t bytes = 0;
    benchmark::DoNotOptimize(_tbox_get_free_mem(&bytes));
  }
}
BENCHMARK(BM_ReadFreeMemory);

void BM_ReadIdleTime(benchmark::State& state) {
  zv_memgauge::IZvMeasurementSource& source = zv_memgauge::measurementSource();
  for (auto _ : state) {
    int64_t idle = 0;
    benchmark::DoNotOptimize(source.readIdleNanoseconds(&idle));
  }
}
BENCHMARK(BM_ReadIdleTime);

void BM_ObserveFreeMemory(benchmark::State& state) {
  plugin_cb_set_start_delay(0);
  for (int64_t id = 0; id < state.range(0); ++id) {
    auto* record = static_cast<SZvMonitorRecord*>(calloc(1, sizeof(SZvMonitorRecord)));
    record->monitor_id = static_cast<int32_t>(id);
    memcpy(record->item, "free", 5);
    record->op = ZV_MONITOR_OP_LT;
    memcpy(record->value, "1000", 5);
    record->mode = ZV_MONITOR_MODE_BARRIER;
    set_monitor_data(2, record);
  }
  for (auto _ : state) zv_memgauge::observeFreeMemory(4000);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  plugin_cb_set_start_delay(0);
}
BENCHMARK(BM_ObserveFreeMemory)->Arg(1)->Arg(19)->Arg(200);

void BM_Crc32(benchmark::State& state) {
  std::string data(static_cast<size_t>(state.range(0)), 'x');
  for (auto _ : state) benchmark::DoNotOptimize(_tbox_crc32(data.data(), data.size()));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Crc32)->Arg(28)->Arg(4096);

// Whole cycles of the tool loop with instant measurements and no sleeping:
// the plug-in's own overhead per period.
class InstantSource : public zv_memgauge::IZvMeasurementSource {
 public:
  int cycles_left = 0;
  bool readFreeBytes(int64_t* bytes) override { *bytes = 4000 * 1024; return true; }
  bool readTotalBytes(int64_t* bytes) override { *bytes = 8000 * 1024; return true; }
  int processorCount() override { return 2; }
  bool readIdleNanoseconds(int64_t* ns) override { *ns = idle_ += 600000; return true; }
  int64_t monotonicNanoseconds() override { return clock_ += 1000000; }
  void sleepMilliseconds(int) override {
    if (--cycles_left <= 0) plugin_cb_stop(pthread_self());
  }
 private:
  int64_t idle_ = 0;
  int64_t clock_ = 0;
};

void ignoreLine(int, const char*, ...) {}

void BM_ToolCycle(benchmark::State& state) {
  InstantSource source;
  zv_memgauge::setMeasurementSourceForTesting(&source);
  plugin_cb_set_callback_function(ZV_HOST_CB_PRINT_OUTPUT, reinterpret_cast<ZvGenericFunc>(ignoreLine));
  char name[] = "memgauge";
  char* argv[] = {name, nullptr};
  SZvToolArguments arguments{1, 1, argv};
  constexpr int kCycles = 1000;
  for (auto _ : state) {
    source.cycles_left = kCycles;
    plugin_cb_main(&arguments);
  }
  state.SetItemsProcessed(state.iterations() * kCycles);
  zv_memgauge::setMeasurementSourceForTesting(nullptr);
}
BENCHMARK(BM_ToolCycle);

}  // namespace

BENCHMARK_MAIN();
