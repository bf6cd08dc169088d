// The settings' one-time reading, compiled into the test itself (without
// the allocator around it), raced from several threads at once.
#include "guardheap/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(GuardHeapSettingsOnceTest, ConcurrentFirstUseReadsAndReportsOnce) {
  setenv("CHECK_MEM_BARRIER_SIDE", "0", 1);
  setenv("CHECK_MEM_BARRIER_SIZE", "512", 1);
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  fflush(stdout);
  int savedStdout = dup(STDOUT_FILENO);
  dup2(pipeFds[1], STDOUT_FILENO);

  constexpr int kThreads = 8;
  std::atomic<int> ready{0};
  std::atomic<int> settledWithValues{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&] {
      ++ready;
      while (ready.load() < kThreads) {
      }
      // Whoever returns must see the values in place.
      if (zv_guardheap::settleSettings() &&
          __atomic_load_n(&CHECK_MEM_BARRIER_SIDE, __ATOMIC_RELAXED) == 0 &&
          __atomic_load_n(&CHECK_MEM_BARRIER_SIZE, __ATOMIC_RELAXED) == 512) {
        ++settledWithValues;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(zv_guardheap::settleSettings());  // Later calls change nothing.

  dup2(savedStdout, STDOUT_FILENO);
  close(savedStdout);
  close(pipeFds[1]);
  std::string output;
  char buffer[256];
  ssize_t count;
  while ((count = read(pipeFds[0], buffer, sizeof(buffer))) > 0) output.append(buffer, count);
  close(pipeFds[0]);

  EXPECT_EQ(settledWithValues.load(), kThreads);
  EXPECT_EQ(output, "check lower memory barrier\n");
}

}  // namespace
