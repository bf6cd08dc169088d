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

// Pairs through this allocator. Arguments: block size, side (0 below,
// 1 above, -1 nothing guarded) and threshold. Side 1 with a threshold above
// the block size measures small blocks that stay plain while the guard is on.
void BM_GuardheapMallocFree(benchmark::State& state) {
  free(malloc(1));  // Reads the environment before the settings are changed.
  SettingsScope settings(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
  const size_t size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = malloc(size);
    benchmark::DoNotOptimize(block);
    free(block);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GuardheapMallocFree)
    ->ArgNames({"size", "side", "threshold"})
    ->Args({32, -1, 0})       // unguarded
    ->Args({32, 1, 4096})     // under the threshold
    ->Args({4096, 1, 4096})   // guarded, guard above
    ->Args({4096, 0, 4096});  // guarded, guard below

}  // namespace

BENCHMARK_MAIN();
