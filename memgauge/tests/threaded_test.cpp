// The tool on its own thread with the real measurements of this machine:
// stopping, and host calls arriving from other threads while it samples.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memgauge/measurement_source.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/tests/test_host.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge_test {
namespace {

using ::testing::ElementsAre;

class ThreadedToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_cb_set_start_delay(0);
    host.install();
  }
  TestHost& host = TestHost::instance();
};

TEST_F(ThreadedToolTest, StopEndsTheLoopWithinOnePeriod) {
  // The period is an hour: only the stop can end the run.
  std::thread tool([&] { host.runTool({"-d", "3600000"}); });
  host.waitUntilRunning();
  plugin_cb_stop(tool.native_handle());
  tool.join();
  EXPECT_THAT(host.statuses(), ElementsAre(2, 0, 0));
  // A stop for a tool that has ended reaches no thread and does no harm.
  EXPECT_EQ(plugin_cb_stop(tool.native_handle()), 0);
}

TEST_F(ThreadedToolTest, TriggersAndMonitorsFromAnotherThreadWhileSampling) {
  std::thread tool([&] { host.runTool({"-d", "1"}); });
  host.waitUntilRunning();
  for (int round = 0; round < 200; ++round) {
    SZvTriggerCommand period{1, ZV_TRIGGER_TYPE_NUMBER, "1"};
    plugin_cb_trigger(&period);
    // Both lists change under the loop; only the free monitors can succeed.
    plugin_cb_monitor_activate(round % 2
        ? newMonitor(round, "free", ZV_MONITOR_OP_GE, "0", ZV_MONITOR_MODE_ONCE)
        : newMonitor(round, "idle", ZV_MONITOR_OP_LT, "-1", ZV_MONITOR_MODE_CONTINUED));
    if (round % 50 == 0) usleep(2000);
  }
  // Keep sampling until a report and a success came through, however slow
  // the machine is.
  while (host.successes().empty() || host.outputs().empty()) usleep(1000);
  plugin_cb_stop(tool.native_handle());
  tool.join();
  EXPECT_THAT(host.statuses(), ElementsAre(2, 0, 0));
}

TEST(LinuxMeasurementTest, ReadingsOfThisMachineAreConsistent) {
  zv_memgauge::IZvMeasurementSource& source = zv_memgauge::measurementSource();
  int64_t free_bytes = 0;
  int64_t total_bytes = 0;
  ASSERT_TRUE(source.readFreeBytes(&free_bytes));
  ASSERT_TRUE(source.readTotalBytes(&total_bytes));
  EXPECT_GT(free_bytes, 0);
  EXPECT_LE(free_bytes, total_bytes);
  EXPECT_EQ(source.processorCount(), sysconf(_SC_NPROCESSORS_ONLN));
  int64_t idle_before = 0;
  int64_t idle_after = 0;
  ASSERT_TRUE(source.readIdleNanoseconds(&idle_before));
  ASSERT_TRUE(source.readIdleNanoseconds(&idle_after));
  EXPECT_GE(idle_after, idle_before);
}

}  // namespace
}  // namespace zv_memgauge_test
