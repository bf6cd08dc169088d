#include "platform/loom/kernel_trace.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace ZvKernelTrace {
namespace {

TEST(KernelTraceTest, RecordsEventsWithKindNumberAndData) {
  clearRecordedEvents();
  const uint8_t code[2] = {0x12, 0x34};
  EXPECT_TRUE(addFrameworkUserEvent(6, code, sizeof(code)));
  EXPECT_TRUE(addUserEvent(EventKind::kApplication, 1, nullptr, 0));
  std::vector<uint8_t> tooLarge(kMaxEventData + 1);
  EXPECT_FALSE(addFrameworkUserEvent(7, tooLarge.data(), tooLarge.size()));
  EXPECT_FALSE(addFrameworkUserEvent(7, nullptr, 4));

  std::vector<SZvKernelTraceEvent> events = getRecordedEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::kFramework);
  EXPECT_EQ(events[0].eventNumber, 6u);
  EXPECT_EQ(events[0].data, (std::vector<uint8_t>{0x12, 0x34}));
  EXPECT_EQ(events[1].kind, EventKind::kApplication);
  EXPECT_TRUE(events[1].data.empty());
  EXPECT_LE(events[0].monotonicTimeNs, events[1].monotonicTimeNs);
}

TEST(KernelTraceTest, RingKeepsTheNewestEventsFromAllThreads) {
  clearRecordedEvents();
  constexpr uint32_t kPerThread = kRingCapacity;
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([] {
      for (uint32_t i = 0; i < kPerThread; ++i) addFrameworkUserEvent(i, &i, sizeof(i));
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(getRecordedEvents().size(), kRingCapacity);
  EXPECT_EQ(getDroppedEventCount(), 2 * kPerThread - kRingCapacity);
}

}  // namespace
}  // namespace ZvKernelTrace
