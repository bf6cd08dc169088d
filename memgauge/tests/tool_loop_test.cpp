// The sampling loop of memgauge, driven through plugin_cb_main with exact
// measurements.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memgauge/plugin_interface.h"
#include "memgauge/tests/test_host.h"

namespace zv_memgauge_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ToolLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_cb_set_start_delay(0);
    host.install();
    zv_memgauge::setMeasurementSourceForTesting(&source);
  }
  void TearDown() override { zv_memgauge::setMeasurementSourceForTesting(nullptr); }

  TestHost& host = TestHost::instance();
  FakeMeasurementSource source;
};

TEST_F(ToolLoopTest, FirstCycleIsSilentAndEveryLaterCycleReports) {
  EXPECT_EQ(host.runTool({}), ZV_TOOL_STATUS_FINISHED);
  EXPECT_THAT(host.outputs(), ElementsAre("   4000 free [kB],    4000 min [kB],  60.00% CPU idle",
                                          "   4000 free [kB],    4000 min [kB],  60.00% CPU idle"));
  EXPECT_THAT(host.outputToolIds(), ElementsAre(7, 7));
  EXPECT_THAT(host.statuses(), ElementsAre(2, 0, 0));
  EXPECT_THAT(host.errors(), IsEmpty());
  EXPECT_THAT(source.sleeps, ElementsAre(1000, 1000, 1000));
}

TEST_F(ToolLoopTest, IdleLimitComparesTheSumOverAllProcessors) {
  struct Case {
    int processors;
    double idle_fraction;
    const char* limit;
    bool reports;
  };
  // Two processors 30 % idle each make 60; eight processors are served too.
  const Case cases[] = {{2, 0.3, "50", true}, {2, 0.3, "60", true}, {2, 0.3, "61", false},
                        {8, 1.0, "790", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("-c ") + c.limit + " with " + std::to_string(c.processors) + " cpus");
    host.install();
    FakeMeasurementSource fake;
    fake.processors = c.processors;
    fake.idle_fraction = c.idle_fraction;
    zv_memgauge::setMeasurementSourceForTesting(&fake);
    EXPECT_EQ(host.runTool({"-c", c.limit}), ZV_TOOL_STATUS_FINISHED);
    EXPECT_EQ(host.outputs().size(), c.reports ? 2u : 0u);
  }
  host.install();
  FakeMeasurementSource eight;
  eight.processors = 8;
  eight.idle_fraction = 1.0;
  eight.stop_after_sleeps = 2;
  zv_memgauge::setMeasurementSourceForTesting(&eight);
  host.runTool({});
  EXPECT_THAT(host.outputs(), ElementsAre("   4000 free [kB],    4000 min [kB], 800.00% CPU idle"));
}

TEST_F(ToolLoopTest, MemoryLimitAndMinimum) {
  // Start-up reading, then cycles 1 to 3.
  source.free_kb = {3000, 3000, 1000, 2000};
  EXPECT_EQ(host.runTool({"-l", "2500"}), ZV_TOOL_STATUS_FINISHED);
  EXPECT_THAT(host.outputs(), ElementsAre("   1000 free [kB],    1000 min [kB],  60.00% CPU idle",
                                          "   2000 free [kB],    1000 min [kB],  60.00% CPU idle"));

  host.install();
  FakeMeasurementSource strict;
  strict.free_kb = {3000, 3000, 1000, 2000};
  zv_memgauge::setMeasurementSourceForTesting(&strict);
  host.runTool({"-l", "1500"});
  EXPECT_THAT(host.outputs(), ElementsAre("   1000 free [kB],    1000 min [kB],  60.00% CPU idle"));
}

TEST_F(ToolLoopTest, FreeMemoryIsRoundedDownToKilobytes) {
  // 1023 bytes short of 4001 kB still reads as 4000 kB.
  struct OddBytes : FakeMeasurementSource {
    bool readFreeBytes(int64_t* bytes) override {
      *bytes = 4001 * 1024 - 1;
      return true;
    }
  } odd;
  odd.stop_after_sleeps = 2;
  zv_memgauge::setMeasurementSourceForTesting(&odd);
  host.runTool({});
  EXPECT_THAT(host.outputs(), ElementsAre("   4000 free [kB],    4000 min [kB],  60.00% CPU idle"));
}

TEST_F(ToolLoopTest, TimestampsShowTheMonotonicClock) {
  source.stop_after_sleeps = 2;
  host.runTool({"-t", "-d", "0x1f4"});
  // The clock starts at 5000 ms; the report follows one sleep of 500 ms.
  EXPECT_THAT(host.outputs(),
              ElementsAre("t=     5500 [msec],    4000 free [kB],    4000 min [kB],  60.00% CPU idle"));
}

TEST_F(ToolLoopTest, EmergencyScriptRunsInEveryReportingCycleAtTheLimit) {
  char path[] = "/tmp/memgauge_emergency_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::string script = std::string("echo hit >> ") + path;
  EXPECT_EQ(host.runTool({"-e", script + "@5000"}), ZV_TOOL_STATUS_FINISHED);
  std::vector<std::string> outputs = host.outputs();
  ASSERT_EQ(outputs.size(), 7u);
  EXPECT_EQ(outputs[0], "using '" + script + "' as emergency script at 5000KB");
  EXPECT_EQ(outputs[2], "emergency limit of 5000KB RAM reached, executing script '" + script + "'");
  EXPECT_EQ(outputs[3], "'" + script + "' returned '0'");
  std::ifstream written(path);
  std::string all((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "hit\nhit\n");
  unlink(path);

  // Above the limit nothing runs; a failing script reports its exit status.
  host.install();
  FakeMeasurementSource above;
  above.free_kb = {6000, 6000, 4000};
  above.stop_after_sleeps = 2;
  zv_memgauge::setMeasurementSourceForTesting(&above);
  host.runTool({"-e", "exit 3@5000"});
  EXPECT_THAT(host.outputs(),
              ElementsAre("using 'exit 3' as emergency script at 5000KB",
                          "   4000 free [kB],    4000 min [kB],  60.00% CPU idle",
                          "emergency limit of 5000KB RAM reached, executing script 'exit 3'",
                          "'exit 3' returned '3'"));
}

TEST_F(ToolLoopTest, MeasurementFailuresEndWithStatus4) {
  struct Case {
    const char* name;
    int processors;
    std::vector<long long> free_kb;
    int fail_free_read_at;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {"start-up reading fails", 2, {4000}, 0, {}},
      {"reading in the loop fails", 2, {4000}, 2, {}},
      {"no processor found", 0, {4000}, -1, {"System with 0 cpu not supported"}},
      {"negative free memory", 2, {4000, -5}, -1, {"aborted due to previous error."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.install();
    FakeMeasurementSource fake;
    fake.processors = c.processors;
    fake.free_kb = c.free_kb;
    fake.fail_free_read_at = c.fail_free_read_at;
    zv_memgauge::setMeasurementSourceForTesting(&fake);
    EXPECT_EQ(host.runTool({}), ZV_TOOL_STATUS_ERROR);
    EXPECT_THAT(host.statuses(), ElementsAre(2, 4));
    EXPECT_EQ(host.errors(), c.errors);
  }
}

TEST_F(ToolLoopTest, PriorityOutsideThePolicyRangeIsAnError) {
  EXPECT_EQ(host.runTool({"-p", "1000"}), ZV_TOOL_STATUS_ERROR);
  EXPECT_THAT(host.errors(), ElementsAre(" priority out of range!"));
  EXPECT_THAT(host.statuses(), ElementsAre(4));
}

TEST_F(ToolLoopTest, TriggerChangesThePeriodFromTheNextSleepOn) {
  source.on_sleep = [](int index) {
    if (index != 0) return;
    SZvTriggerCommand command{1, ZV_TRIGGER_TYPE_NUMBER, "250"};
    EXPECT_EQ(plugin_cb_trigger(&command), 0);
  };
  host.runTool({});
  EXPECT_THAT(source.sleeps, ElementsAre(1000, 250, 250));
}

TEST_F(ToolLoopTest, ToolThreadIsMappedToItsToolIdWhileRunning) {
  int id_inside = -1;
  host.on_running = [&] { id_inside = get_own_tool_id(); };
  host.runTool({}, 42);
  EXPECT_EQ(id_inside, 42);
  EXPECT_EQ(get_own_tool_id(), 0);
}

}  // namespace
}  // namespace zv_memgauge_test
