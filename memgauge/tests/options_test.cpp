// Options, usage and version texts of memgauge.
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memgauge/options.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/settings.h"
#include "memgauge/tests/test_host.h"
#include "memgauge/usage_text.h"

namespace zv_memgauge_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_cb_set_start_delay(0);
    host.install();
    zv_memgauge::setMeasurementSourceForTesting(&source);
  }
  void TearDown() override {
    zv_memgauge::setMeasurementSourceForTesting(nullptr);
    zv_memgauge::resetSettings();
  }
  zv_memgauge::OptionOutcome parse(std::vector<std::string> words) {
    words.insert(words.begin(), "memgauge");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return zv_memgauge::parseOptions(7, static_cast<int>(words.size()), argv.data());
  }

  TestHost& host = TestHost::instance();
  FakeMeasurementSource source;
};

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every line ends with a line feed";
  return lines;
}

TEST_F(OptionsTest, UsageTextHas33LinesWithTheHeadingTwice) {
  std::vector<std::string> lines = splitLines(get_tool_usage());
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "memgauge - monitor amount of free system memory");
  for (int index = 1; index <= 5; ++index) EXPECT_EQ(lines[index], lines[index + 5]);
  EXPECT_EQ(lines[13], " -e\"<script>@<size>\"  run <script> as a shell on reaching minFree <size> in KB");
  EXPECT_EQ(lines[26], "   TriggerValue: <idle value in %>");
  EXPECT_EQ(lines[32], "   TriggerMode: <once|continued|barrier>");

  char* help = plugin_cb_help();
  EXPECT_STREQ(help, get_tool_usage());
  EXPECT_NE(help, get_tool_usage());
  free(help);
  char* version = plugin_cb_version();
  EXPECT_STREQ(version, "Tool Version: 4.2\nBuild Date  : 14.08.2014-06:43");
  free(version);
}

TEST_F(OptionsTest, HelpPrintsTheUsageAsToolZeroAndEnds) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(host.runTool({"-h"}), ZV_TOOL_STATUS_FINISHED);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\n");
  // The text holds '%': it must arrive unformatted.
  EXPECT_THAT(host.outputs(), ElementsAre(std::string(get_tool_usage())));
  EXPECT_THAT(host.outputToolIds(), ElementsAre(0));
  EXPECT_THAT(host.statuses(), ElementsAre(0, 0));
  EXPECT_TRUE(source.sleeps.empty());
}

TEST_F(OptionsTest, ValidOptionsSetTheSettings) {
  ASSERT_EQ(parse({"-c", "50", "-d", "0x10", "-l", "010", "-p", "0", "-qt", "-e", "ls -al@200000"}),
            zv_memgauge::OptionOutcome::kRun);
  EXPECT_EQ(LimitIdle, 50);
  EXPECT_EQ(DelayTime, 16);
  EXPECT_EQ(LimitMem, 8);
  EXPECT_EQ(Prio, 0);
  EXPECT_EQ(Quiet, 1);
  EXPECT_EQ(ShowTimestamps, 1);
  EXPECT_STREQ(EmergencyScript, "ls -al");
  EXPECT_EQ(BarrierSize, 200000);
  EXPECT_THAT(host.outputs(), ElementsAre("using 'ls -al' as emergency script at 200000KB"));

  // Split at the first '@'; a later -e replaces the earlier script.
  ASSERT_EQ(parse({"-e", "a@b@1"}), zv_memgauge::OptionOutcome::kError);
  ASSERT_EQ(parse({"-e", "first@1", "-e", "second@2"}), zv_memgauge::OptionOutcome::kRun);
  EXPECT_STREQ(EmergencyScript, "second");
  EXPECT_EQ(BarrierSize, 2);

  // Every run starts from the defaults.
  ASSERT_EQ(parse({}), zv_memgauge::OptionOutcome::kRun);
  EXPECT_EQ(DelayTime, 1000);
  EXPECT_EQ(LimitMem, -1);
  EXPECT_EQ(EmergencyScript, nullptr);
}

TEST_F(OptionsTest, EveryOptionErrorPrintsItsMessageAndEndsWithStatus4) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> errors;
    const char* standard_error;
  };
  const std::string no_match = "optional param does not match";
  const Case cases[] = {
      {{"-g"}, {no_match}, ""},
      {{"-x"}, {no_match}, "memgauge: illegal option -- x\n"},
      {{"--h"}, {no_match}, "memgauge: illegal option -- -\n"},
      {{"-d"}, {no_match}, "memgauge: option requires an argument -- d\n"},
      {{"-e", "x@"}, {"no value found after delimiter '@'", no_match}, ""},
      {{"-e", "x"}, {"delimiter '@' not found", no_match}, ""},
      {{"-e", "x@12kB"}, {"invalid value '12kB' for option -e", no_match}, ""},
      {{"-d", "abc"}, {"invalid value 'abc' for option -d", no_match}, ""},
      {{"-d", "0"}, {"invalid value '0' for option -d", no_match}, ""},
      {{"-l", "99999999999"}, {"invalid value '99999999999' for option -l", no_match}, ""},
      {{"-c", ""}, {"invalid value '' for option -c", no_match}, ""},
      {{"-p", "09"}, {"invalid value '09' for option -p", no_match}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    host.install();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(host.runTool(c.args), ZV_TOOL_STATUS_ERROR);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.standard_error);
    EXPECT_EQ(host.errors(), c.errors);
    EXPECT_THAT(host.outputs().back(), HasSubstr("memgauge [options]*"));
    EXPECT_THAT(host.statuses(), ElementsAre(ZV_TOOL_STATUS_ERROR));
    EXPECT_TRUE(source.sleeps.empty());
  }
}

TEST_F(OptionsTest, GetoptMessagesNameTheProgramWithoutDirectories) {
  std::vector<std::string> words{"/usr/local/bin/memgauge", "-z"};
  std::vector<char*> argv{words[0].data(), words[1].data(), nullptr};
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(zv_memgauge::parseOptions(1, 2, argv.data()), zv_memgauge::OptionOutcome::kError);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "memgauge: illegal option -- z\n");
}

}  // namespace
}  // namespace zv_memgauge_test
