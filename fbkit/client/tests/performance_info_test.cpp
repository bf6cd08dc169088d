#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fbkit/client/performance_info.h"

namespace {

// Every mark costs exactly 1000 ns on the test clock.
uint64_t fixedMicrosecond() { return 1000; }

class PerformanceInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    profiler.setClockForTest(&fixedMicrosecond);
    profiler.start();
  }
  std::string report() {
    FILE* file = std::tmpfile();
    profiler.dump(file);
    std::rewind(file);
    std::string text;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) text.append(buf, n);
    std::fclose(file);
    return text;
  }
  CGPerformanceInfo profiler;
};

TEST_F(PerformanceInfoTest, NestedSectionsFoldInnerTimesIntoTheirEnd) {
  profiler.logEntry("top", CGPerformanceInfo::POINT);
  profiler.logEntry("top", CGPerformanceInfo::POINT);  // accumulates at the outer level
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_START);
  profiler.logEntry("work", CGPerformanceInfo::POINT);
  profiler.logEntry("work", CGPerformanceInfo::POINT);  // inside an open section: a new run
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_END);
  profiler.stop();

  const auto& e = profiler.entries();
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(e[0].time, 2000u);
  EXPECT_EQ(e[1].kind, CGPerformanceInfo::SECTION_START);
  EXPECT_EQ(e[1].level, 0);
  EXPECT_EQ(e[2].name, "work");
  EXPECT_EQ(e[2].stackText, "outer");
  EXPECT_EQ(e[2].level, 1);
  EXPECT_EQ(e[3].occurrence, 2);
  // The end's own 1000 plus the 2000 spent one level deeper.
  EXPECT_EQ(e[4].time, 3000u);
  EXPECT_FALSE(e[2].unclosed);
  EXPECT_EQ(profiler.getCount(), 6u);
}

TEST_F(PerformanceInfoTest, ReportIndentsSectionsAndSplitsTimePerCycle) {
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_START);
  profiler.logEntry("work", CGPerformanceInfo::POINT);
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_END);
  profiler.stop();
  const std::string text = report();
  EXPECT_EQ(text.find("\n\n_____________ PERFORMANCE ______________\n"), 0u);
  // 3 marks over 3 entries: one cycle each.
  EXPECT_NE(text.find("\nStarting: outer -  1 cycles, time per cycle: 0 s 0 milli s 1 micro s 0 nano s\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n\twork 1 cycles"), std::string::npos);
  EXPECT_NE(text.find("\nouter 1 cycles, time per cycle: 0 s 0 milli s 2 micro s 0 nano s\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n\n________________________________________\n\n"), std::string::npos);
}

TEST_F(PerformanceInfoTest, MarksBeyondTheMaximumLevelAreDropped) {
  profiler.setMaxLevel(1);
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_START);
  profiler.logEntry("deep", CGPerformanceInfo::SECTION_START);  // dropped
  profiler.logEntry("point", CGPerformanceInfo::POINT);         // dropped
  profiler.logEntry("outer", CGPerformanceInfo::SECTION_END);   // taken: it closes the limit
  profiler.stop();
  ASSERT_EQ(profiler.entries().size(), 2u);
  EXPECT_EQ(profiler.getCount(), 2u);
}

TEST_F(PerformanceInfoTest, InactiveProfilerIgnoresMarksAndReadsItsLimitFromFile) {
  profiler.stop();
  profiler.logEntry("x", CGPerformanceInfo::POINT);
  EXPECT_TRUE(profiler.entries().empty());

  const char* path = "perf_config_test.txt";
  FILE* f = std::fopen(path, "w");
  ASSERT_NE(f, nullptr);
  std::fputs("maxlevel=7", f);
  std::fclose(f);
  profiler.readConfig(path);
  EXPECT_EQ(profiler.getMaxLevel(), 7);
  f = std::fopen(path, "w");
  std::fputs("maxlevel=abc", f);  // no number: the limit stays
  std::fclose(f);
  profiler.readConfig(path);
  EXPECT_EQ(profiler.getMaxLevel(), 7);
  std::remove(path);
  EXPECT_EQ(report(), "");
}

}  // namespace
