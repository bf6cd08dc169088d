// The host's control commands: what is accepted and what is refused.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/pxm/pxm_commands.h"

namespace zv_pxm {
namespace {

TEST(PxmCommandsTest, MonitorTexts) {
  struct Case {
    const char* text;
    bool ok;
    int op;
    int mode;
    const char* error;
  };
  const Case cases[] = {
      {"free lt 1000 once", true, ZV_MONITOR_OP_LT, ZV_MONITOR_MODE_ONCE, ""},
      {"  idle  ge 50.5 barrier ", true, ZV_MONITOR_OP_GE, ZV_MONITOR_MODE_BARRIER, ""},
      {"free ne 1 continued", true, ZV_MONITOR_OP_NE, ZV_MONITOR_MODE_CONTINUED, ""},
      {"free xx 1000 once", false, 0, 0, "unknown monitor operator 'xx' (eq, ne, lt, le, gt, ge)"},
      {"free lt 1000 sometimes", false, 0, 0, "unknown monitor mode 'sometimes' (once, continued, barrier)"},
      {"free lt 1000", false, 0, 0, "monitor needs <item> <operator> <value> <mode>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SZvMonitorRecord record;
    std::string error;
    ASSERT_EQ(parseMonitorText(c.text, &record, &error), c.ok);
    EXPECT_EQ(error, c.error);
    if (c.ok) {
      EXPECT_EQ(record.op, c.op);
      EXPECT_EQ(record.mode, c.mode);
    }
  }
  SZvMonitorRecord record;
  std::string error;
  std::string long_value = "free lt " + std::string(252, '1') + " once";
  EXPECT_FALSE(parseMonitorText(long_value, &record, &error));
  long_value = "free lt " + std::string(251, '1') + " once";
  ASSERT_TRUE(parseMonitorText(long_value, &record, &error));
  EXPECT_EQ(strlen(record.value), 251u);
}

TEST(PxmCommandsTest, TriggerTextsAndLines) {
  SZvPxmCommand command;
  std::string error;
  ASSERT_TRUE(parsePxmCommand("trigger 1 1 250", &command, &error));
  EXPECT_EQ(command.kind, PxmCommandKind::kTrigger);
  EXPECT_EQ(command.trigger.command_id, 1);
  EXPECT_EQ(command.trigger.data_type, 1);
  EXPECT_STREQ(command.trigger.value, "250");
  ASSERT_TRUE(parsePxmCommand("trigger 0 0", &command, &error));
  EXPECT_STREQ(command.trigger.value, "");

  ASSERT_TRUE(parsePxmCommand("monitor free lt 1000 once", &command, &error));
  EXPECT_EQ(command.kind, PxmCommandKind::kMonitor);
  EXPECT_STREQ(command.monitor.item, "free");
  for (const char* quiet : {"", "   ", "# note"}) {
    ASSERT_TRUE(parsePxmCommand(quiet, &command, &error));
    EXPECT_EQ(command.kind, PxmCommandKind::kNone);
  }
  ASSERT_TRUE(parsePxmCommand("stop", &command, &error));
  EXPECT_EQ(command.kind, PxmCommandKind::kStop);

  const char* refused[] = {"trigger x 1 2", "trigger 1", "trigger 1 1 2 3", "launch", "trigger 99999999999 1"};
  for (const char* line : refused) {
    SCOPED_TRACE(line);
    error.clear();
    EXPECT_FALSE(parsePxmCommand(line, &command, &error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace zv_pxm
