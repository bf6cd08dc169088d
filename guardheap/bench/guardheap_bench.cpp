// malloc/free pairs through the guard-page allocator, against the C
// library's own allocator in the same process.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "guardheap/settings.h"

extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* pointer);
}

namespace {

// Sets the allocator's settings for one benchmark and restores them after.
class SettingsScope {
 public:
  SettingsScope(int side, int threshold)
      : side_(CHECK_MEM_BARRIER_SIDE), threshold_(CHECK_MEM_BARRIER_SIZE) {
    CHECK_MEM_BARRIER_SIZE = threshold;
    CHECK_MEM_BARRIER_SIDE = side;
  }
  ~SettingsScope() {
    CHECK_MEM_BARRIER_SIDE = side_;
    CHECK_MEM_BARRIER_SIZE = threshold_;
  }

 private:
  int side_;
  int threshold_;
};

void BM_CLibraryMallocFree(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = __libc_malloc(size);
    benchmark::DoNotOptimize(block);
    __libc_free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CLibraryMallocFree)->Arg(32);

void BM_UnguardedMallocFree(benchmark::State& state) {
  free(malloc(1));  // Reads the environment before the settings are changed.
  SettingsScope settings(-1, 0);
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = malloc(size);
    benchmark::DoNotOptimize(block);
    free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UnguardedMallocFree)->Arg(32);

// Small blocks under the threshold while the guard is on: plain as well.
void BM_BelowThresholdMallocFree(benchmark::State& state) {
  free(malloc(1));
  SettingsScope settings(1, 4096);
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = malloc(size);
    benchmark::DoNotOptimize(block);
    free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BelowThresholdMallocFree)->Arg(32);

void BM_GuardedMallocFree(benchmark::State& state) {
  free(malloc(1));
  SettingsScope settings(static_cast<int>(state.range(1)), 4096);
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = malloc(size);
    benchmark::DoNotOptimize(block);
    free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
// Second argument: the side (0 below, 1 above).
BENCHMARK(BM_GuardedMallocFree)->Args({4096, 1})->Args({4096, 0});

}  // namespace

BENCHMARK_MAIN();
