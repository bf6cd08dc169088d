// Monitors, triggers and the host-facing callbacks of the plug-in.
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memgauge/monitor_table.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/tests/test_host.h"

namespace zv_memgauge_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_cb_set_start_delay(0);
    host.install();
    captureSystemLog(true);
    zv_memgauge::setMeasurementSourceForTesting(&source);
  }
  void TearDown() override {
    zv_memgauge::setMeasurementSourceForTesting(nullptr);
    captureSystemLog(false);
    plugin_cb_set_start_delay(0);
  }
  // Runs the tool with the monitors activated as soon as it runs; returns the
  // ids of the successes in order.
  std::vector<int> runWithMonitors(std::vector<SZvMonitorRecord*> records) {
    host.on_running = [&] {
      for (SZvMonitorRecord* record : records) plugin_cb_monitor_activate(record);
    };
    host.runTool({});
    std::vector<int> ids;
    for (const auto& success : host.successes()) ids.push_back(success.second);
    return ids;
  }

  TestHost& host = TestHost::instance();
  FakeMeasurementSource source;
};

TEST_F(MonitorTest, FreeMonitorModes) {
  // Free memory per cycle: 500, 500, 2000, 500, 500 kB (after the start-up reading).
  struct Case {
    int mode;
    std::vector<int> successes;
  };
  const Case cases[] = {
      {ZV_MONITOR_MODE_ONCE, {1}},
      {ZV_MONITOR_MODE_CONTINUED, {1, 1, 1, 1}},
      {ZV_MONITOR_MODE_BARRIER, {1, 1}},  // cycles 1 and 4, when it turns true
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    host.install();
    FakeMeasurementSource fake;
    fake.free_kb = {4000, 500, 500, 2000, 500, 500};
    fake.stop_after_sleeps = 5;
    zv_memgauge::setMeasurementSourceForTesting(&fake);
    EXPECT_EQ(runWithMonitors({newMonitor(1, "free", ZV_MONITOR_OP_LT, "1000", c.mode)}),
              c.successes);
  }
}

TEST_F(MonitorTest, BarrierMonitorReportsOnlyOnChangeAndDoesNotSilenceLaterMonitors) {
  source.free_kb = {4000, 500, 500, 2000, 500};
  source.stop_after_sleeps = 4;
  std::vector<int> successes = runWithMonitors({
      newMonitor(1, "free", ZV_MONITOR_OP_LT, "1000", ZV_MONITOR_MODE_BARRIER),
      newMonitor(2, "free", ZV_MONITOR_OP_GE, "0", ZV_MONITOR_MODE_CONTINUED),
  });
  EXPECT_THAT(successes, ElementsAre(1, 2, 2, 2, 1, 2));
  EXPECT_THAT(host.successes().front().first, 7);
}

TEST_F(MonitorTest, OperatorsCompareMeasuredLeftAndValueRight) {
  struct Case {
    int op;
    const char* value;
    bool succeeds;
  };
  // Free memory stays at 4000 kB.
  const Case cases[] = {
      {ZV_MONITOR_OP_EQ, "4000", true}, {ZV_MONITOR_OP_EQ, "3999", false},
      {ZV_MONITOR_OP_NE, "3999", true}, {ZV_MONITOR_OP_LT, "4000", false},
      {ZV_MONITOR_OP_LE, "4000", true}, {ZV_MONITOR_OP_GT, "3999", true},
      {ZV_MONITOR_OP_GE, "4001", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.op) + " " + c.value);
    host.install();
    FakeMeasurementSource fake;
    fake.stop_after_sleeps = 1;
    zv_memgauge::setMeasurementSourceForTesting(&fake);
    std::vector<int> successes =
        runWithMonitors({newMonitor(3, "free", c.op, c.value, ZV_MONITOR_MODE_CONTINUED)});
    EXPECT_EQ(successes.size(), c.succeeds ? 1u : 0u);
  }
}

TEST_F(MonitorTest, IdleMonitorAnnouncesTheValueOnStandardOutput) {
  ::testing::internal::CaptureStdout();
  std::vector<int> successes = runWithMonitors({
      newMonitor(4, "idle", ZV_MONITOR_OP_GE, "59.5", ZV_MONITOR_MODE_CONTINUED),
      newMonitor(5, "idle", ZV_MONITOR_OP_GT, "60.5", ZV_MONITOR_MODE_CONTINUED),
  });
  std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(successes, ElementsAre(4, 4));  // no idle value before the second cycle
  EXPECT_EQ(printed, "MEMGAUGE idle: 60.000000\nMEMGAUGE idle: 60.000000\n");
}

TEST_F(MonitorTest, BadRecordsAreRefusedWithTheirMessages) {
  // A value of 251 digits without terminator, and an item without one.
  SZvMonitorRecord* long_value = newMonitor(9, "free", ZV_MONITOR_OP_LT, "", ZV_MONITOR_MODE_CONTINUED);
  memset(long_value->value, '9', sizeof long_value->value);
  SZvMonitorRecord* long_item = newMonitor(10, "", ZV_MONITOR_OP_LT, "1", ZV_MONITOR_MODE_CONTINUED);
  memset(long_item->item, 'f', sizeof long_item->item);

  ::testing::internal::CaptureStdout();
  std::vector<int> successes = runWithMonitors({
      newMonitor(7, "disk", ZV_MONITOR_OP_LT, "1000", ZV_MONITOR_MODE_CONTINUED),
      newMonitor(8, "free", 9, "1000", ZV_MONITOR_MODE_CONTINUED),
      long_value,
      long_item,
  });
  std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(host.errors(), ElementsAre("monitor: invalid trigger id (7)",
                                         "monitor: invalid trigger id (10)"));
  EXPECT_THAT(printed, StartsWith("free_observer wrong operator: 9\n"));
  EXPECT_THAT(successes, ElementsAre(9, 9, 9));  // 4000 < 999...9
}

TEST_F(MonitorTest, RegexRecordsCompileTheirPattern) {
  host.on_running = nullptr;
  EXPECT_EQ(set_monitor_data(5, newMonitor(1, "regex", 0, "^ab+c$", 1)), 0);
  {
    zv_memgauge::MonitorListLock lock(5);
    ASSERT_NE(lock.head(), nullptr);
    EXPECT_EQ(monitor_regex_matches(lock.head(), "abbbc"), 1);
    EXPECT_EQ(monitor_regex_matches(lock.head(), "ac"), 0);
  }
  EXPECT_EQ(set_monitor_data(6, newMonitor(2, "regex", 0, "(unclosed", 1)), 1);
  ASSERT_EQ(host.errors().size(), 1u);
  EXPECT_THAT(host.errors()[0], StartsWith("set_regex_pattern(): "));
  EXPECT_THAT(host.errors()[0], HasSubstr(" ((unclosed)"));

  for (int bad_index : {0, 20, -1}) {
    EXPECT_EQ(set_monitor_data(bad_index, newMonitor(3, "free", 0, "1", 1)), 1);
  }
  EXPECT_THAT(takeSystemLog(), ElementsAre("pxm: set_monitor_data(): invalid monitor_id: 0",
                                           "pxm: set_monitor_data(): invalid monitor_id: 20",
                                           "pxm: set_monitor_data(): invalid monitor_id: -1"));
  plugin_cb_set_start_delay(0);  // empties the table, compiled pattern included
  zv_memgauge::MonitorListLock lock(5);
  EXPECT_EQ(lock.head(), nullptr);
}

TEST_F(MonitorTest, TriggerCommandsWhileRunning) {
  struct Case {
    SZvTriggerCommand command;
    int result;
    std::vector<std::string> outputs;
    std::vector<std::string> errors;
  };
  const char* help = "call 'memgauge --h' to get trigger help";
  std::vector<Case> cases = {
      {{0, 0, ""}, 0, {help}, {}},
      {{1, 1, "250"}, 0, {}, {}},
      {{1, 2, "250"}, 1, {}, {"trigger: invalid data type (2)"}},
      {{7, 1, "250"}, 1, {}, {"trigger: invalid command id (7), call 'memgauge --h' to get trigger help"}},
      {{1, 1, "fast"}, 1, {}, {"trigger: invalid value 'fast'"}},
      {{1, 1, "0"}, 1, {}, {"trigger: invalid value '0'"}},
  };
  Case unterminated{{1, 1, ""}, 1, {}, {"trigger: invalid value '" + std::string(252, '1') + "'"}};
  memset(unterminated.command.value, '1', sizeof unterminated.command.value);
  cases.push_back(unterminated);

  for (Case& c : cases) {
    SCOPED_TRACE(c.command.command_id);
    host.install();
    FakeMeasurementSource fake;
    fake.stop_after_sleeps = 1;
    zv_memgauge::setMeasurementSourceForTesting(&fake);
    int result = -1;
    host.on_running = [&] { result = plugin_cb_trigger(&c.command); };
    host.runTool({"-d", "100"});
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(host.outputs(), c.outputs);
    EXPECT_EQ(host.errors(), c.errors);
    EXPECT_THAT(fake.sleeps, ElementsAre(c.command.command_id == 1 && c.result == 0 ? 250 : 100));
  }
}

TEST_F(MonitorTest, DefaultCallbacksWhileNoToolRuns) {
  SZvTriggerCommand help{0, 0, ""};
  SZvTriggerCommand other{5, 1, "1"};
  EXPECT_EQ(plugin_cb_trigger(&help), 0);
  EXPECT_EQ(plugin_cb_trigger(&other), 1);
  EXPECT_THAT(host.outputs(), ElementsAre("trigger_default(): call 'memgauge --h' to get trigger help"));
  EXPECT_THAT(host.errors(), ElementsAre("trigger_default(): command id (5) not supported"));
  // Taken over and dropped: nobody watches.
  EXPECT_EQ(plugin_cb_monitor_activate(newMonitor(1, "free", 0, "1", 1)), 0);
  EXPECT_EQ(plugin_cb_stop(pthread_self()), 0);
  EXPECT_EQ(plugin_cb_exec_stop(pthread_self()), 0);
}

TEST_F(MonitorTest, CallbackRegistrationRefusesUnknownTypes) {
  auto any = reinterpret_cast<ZvGenericFunc>(&abort);
  EXPECT_EQ(plugin_cb_set_callback_function(0, any), 1);
  EXPECT_EQ(plugin_cb_set_callback_function(8, any), 1);
  EXPECT_EQ(set_tool_callback_func(4, any), 1);
  EXPECT_EQ(set_tool_callback_func(-1, any), 1);
  EXPECT_EQ(set_tool_callback_func(ZV_TOOL_CB_STOP, nullptr), 1);
}

TEST(MonitorDeathTest, NullArgumentsFromTheHostAreFatal) {
  EXPECT_DEATH(plugin_cb_main(nullptr), "PXM ASSERTION in File: tool_main.cpp, Line: [0-9]+");
  EXPECT_DEATH(plugin_cb_trigger(nullptr), "PXM ASSERTION in File: tool_callbacks.cpp");
  EXPECT_DEATH(plugin_cb_monitor_activate(nullptr), "PXM ASSERTION in File: tool_callbacks.cpp");
}

}  // namespace
}  // namespace zv_memgauge_test
