#include "platform/communication/comm_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace communication {
namespace {

struct Captured {
  std::vector<std::pair<LogLevel, std::string>> lines;
};

void capture(LogLevel level, const char* text, void* context) {
  static_cast<Captured*>(context)->lines.emplace_back(level, text);
}

TEST(CommLogTest, SinkReceivesFormattedLinesWithTheirLevel) {
  Captured captured;
  setLogSink(&capture, &captured);
  COMM_LOG("[FSN] pid = %d, command %d received", 12, 3);
  COMM_ERROR("[libcapture] ERROR %s: %s", "/lib/x.so", "not found");
  std::string longText(2000, 'q');
  COMM_LOG("%s!", longText.c_str());
  setLogSink(nullptr, nullptr);

  ASSERT_EQ(captured.lines.size(), 3u);
  EXPECT_EQ(captured.lines[0].first, LogLevel::kInfo);
  EXPECT_EQ(captured.lines[0].second, "[FSN] pid = 12, command 3 received");
  EXPECT_EQ(captured.lines[1].first, LogLevel::kError);
  EXPECT_EQ(captured.lines[1].second, "[libcapture] ERROR /lib/x.so: not found");
  // Lines longer than the formatting buffer arrive whole.
  EXPECT_EQ(captured.lines[2].second, longText + "!");
}

TEST(CommLogTest, WithoutSinkLinesGoToStandardErrorWithTimestamp) {
  fflush(stderr);
  int saved = dup(STDERR_FILENO);
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  dup2(fileno(file), STDERR_FILENO);
  COMM_ERROR("hello %d", 7);
  fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);

  rewind(file);
  char line[256] = {};
  ASSERT_NE(fgets(line, sizeof(line), file), nullptr);
  fclose(file);
  EXPECT_TRUE(std::regex_match(
      line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} E hello 7\n)")))
      << line;
}

}  // namespace
}  // namespace communication
