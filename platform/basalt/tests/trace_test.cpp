#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/basalt/zv_trace.h"

namespace {

CZvTraceScopeDef gDeviceAdminAdd("framework_comm_most_CZvDeviceAdmin", "addDevice");
CZvTraceScopeDef gDeviceAdminRemove("framework_comm_most_CZvDeviceAdmin", "removeDevice");
CZvTraceScopeDef gSpy("sys_most_mss_MOSTSpy", "");

class ZvTraceTest : public ::testing::Test {
 protected:
  void TearDown() override { ZvTrace::resetLevels(); }
};

TEST_F(ZvTraceTest, ScopeNamesJoinScopeAndFunction) {
  EXPECT_EQ(gDeviceAdminAdd.getName(), "framework_comm_most_CZvDeviceAdmin_addDevice");
  EXPECT_EQ(gSpy.getName(), "sys_most_mss_MOSTSpy");
}

TEST_F(ZvTraceTest, DefaultShowsErrorsAndWarningsOnly) {
  CZvTraceScope scope(gDeviceAdminAdd);
  EXPECT_TRUE(scope.isWarningEnabled());
  EXPECT_FALSE(scope.isMessageEnabled());
  EXPECT_EQ(gDeviceAdminAdd.getConfiguredLevel(), ZvTraceLevel::Warning);
}

TEST_F(ZvTraceTest, CaptureRecordsExactTextsAndRaisesTheLevelMeanwhile) {
  CZvTraceScope scope(gDeviceAdminAdd);
  {
    CZvTraceCapture capture("framework_comm_most_*");
    EXPECT_TRUE(scope.isMessageEnabled());
    scope.sendFormattedMessage("Device 0x%04X added (%s)", 0x2201u, "amp");
    scope.sendFormattedError("failed %d", -1);
    CZvTraceScope(gSpy).sendFormattedWarning("not captured");
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].scope, "framework_comm_most_CZvDeviceAdmin_addDevice");
    EXPECT_EQ(lines[0].level, ZvTraceLevel::Message);
    EXPECT_EQ(lines[0].text, "Device 0x2201 added (amp)");
    EXPECT_TRUE(capture.contains("failed -1"));
    EXPECT_FALSE(capture.contains("failed"));  // exact match only
    EXPECT_TRUE(capture.containsFragment("failed"));
  }
  EXPECT_FALSE(scope.isMessageEnabled());  // back to the configured level
}

TEST_F(ZvTraceTest, CaptureHonoursItsLevelLimit) {
  CZvTraceCapture capture("*", ZvTraceLevel::Warning);
  CZvTraceScope scope(gSpy);
  scope.sendFormattedMessage("skipped");
  scope.sendFormattedWarning("kept");
  EXPECT_EQ(capture.texts(), (std::vector<CZvString>{"kept"}));
}

TEST_F(ZvTraceTest, WildcardRulesSwitchLevelsLastRuleWins) {
  const struct {
    const char* rules;
    ZvTraceLevel add;
    ZvTraceLevel remove;
    ZvTraceLevel spy;
  } cases[] = {
      {"framework_comm_most_*=message", ZvTraceLevel::Message, ZvTraceLevel::Message, ZvTraceLevel::Warning},
      {"*=data, *_removeDevice=off", ZvTraceLevel::Data, ZvTraceLevel::Off, ZvTraceLevel::Data},
      {"framework_comm_most_CZvDeviceAdmin=error", ZvTraceLevel::Error, ZvTraceLevel::Error,
       ZvTraceLevel::Warning},
      {"sys_most_???_MOSTSpy=all", ZvTraceLevel::Warning, ZvTraceLevel::Warning, ZvTraceLevel::Data},
  };
  for (const auto& c : cases) {
    ZvTrace::resetLevels();
    ASSERT_TRUE(ZvTrace::setLevels(c.rules)) << c.rules;
    EXPECT_EQ(gDeviceAdminAdd.getConfiguredLevel(), c.add) << c.rules;
    EXPECT_EQ(gDeviceAdminRemove.getConfiguredLevel(), c.remove) << c.rules;
    EXPECT_EQ(gSpy.getConfiguredLevel(), c.spy) << c.rules;
  }
  // A scope defined after the rules gets them too.
  CZvTraceScopeDef late("sys_most_mss_MOSTSpy", "late");
  EXPECT_EQ(late.getConfiguredLevel(), ZvTraceLevel::Data);
}

TEST_F(ZvTraceTest, MalformedRulesChangeNothing) {
  ASSERT_TRUE(ZvTrace::setLevels("*=message"));
  for (const char* bad : {"*=loud", "=data", "nolevel", "*=message,x="}) {
    EXPECT_FALSE(ZvTrace::setLevels(bad)) << bad;
    EXPECT_EQ(gSpy.getConfiguredLevel(), ZvTraceLevel::Message) << bad;
  }
}

TEST_F(ZvTraceTest, RepeatedSwitchingDoesNotGrowTheRules) {
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(ZvTrace::setLevels("sys_most_*=data"));
    ZvTrace::setLevel("sys_most_*", ZvTraceLevel::Off);
  }
  EXPECT_EQ(ZvTrace::rules(), (std::vector<CZvString>{"sys_most_*=off"}));
  ASSERT_TRUE(ZvTrace::setLevels("a=data,b=error,a=message"));
  EXPECT_EQ(ZvTrace::rules(), (std::vector<CZvString>{"sys_most_*=off", "b=error", "a=message"}));
  ASSERT_TRUE(ZvTrace::setLevels("*=message"));
  EXPECT_EQ(ZvTrace::rules(), (std::vector<CZvString>{"*=message"}));
}

TEST_F(ZvTraceTest, PatternMatching) {
  const struct {
    const char* pattern;
    const char* text;
    bool match;
  } cases[] = {{"*", "", true},      {"a*c", "abbbc", true}, {"a*c", "abcd", false}, {"a?c", "abc", true},
               {"a?c", "ac", false}, {"*b*b", "abab", true}, {"abc", "abc", true},   {"ab", "abc", false}};
  for (const auto& c : cases)
    EXPECT_EQ(ZvTrace::matchPattern(c.pattern, c.text), c.match) << c.pattern << " " << c.text;
}

TEST_F(ZvTraceTest, OutputFileGetsTimestampedLines) {
  char path[] = "/tmp/zv_trace_testXXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(ZvTrace::setOutputFile(path));
  CZvTraceScope(gSpy).sendFormattedWarning("to file %d", 1);
  CZvTraceScope(gSpy).sendFormattedMessage("hidden");
  CZvTraceScope(gSpy).sendMessageUnconditionally("forced");
  ASSERT_TRUE(ZvTrace::setOutputFile(nullptr));
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  std::remove(path);
  const std::string text = content.str();
  EXPECT_NE(text.find("] W sys_most_mss_MOSTSpy: to file 1\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("hidden"), std::string::npos);
  EXPECT_NE(text.find("] M sys_most_mss_MOSTSpy: forced\n"), std::string::npos);
  EXPECT_EQ(text[0], '[');
  EXPECT_FALSE(ZvTrace::setOutputFile("/nonexistent-dir/x.log"));
}

}  // namespace
