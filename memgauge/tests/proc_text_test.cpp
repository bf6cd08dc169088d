// Parsers of the kernel's /proc texts: good input and malformed input.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "memgauge/proc_text.h"

namespace zv_memgauge {
namespace {

TEST(ProcTextTest, MeminfoFields) {
  const std::string meminfo =
      "MemTotal:       24683572 kB\n"
      "MemFree:        24183580 kB\n"
      "MemAvailableX:  1 kB\n"
      "MemAvailable:   24350064 kB\n"
      "Broken:         12 MB\n"
      "Huge:           99999999999999999999 kB\n"
      "NoValue:        kB";
  struct Case {
    const char* field;
    bool found;
    int64_t bytes;
  };
  const Case cases[] = {
      {"MemTotal", true, 24683572LL * 1024}, {"MemAvailable", true, 24350064LL * 1024},
      {"MemFree", true, 24183580LL * 1024},  {"Broken", false, 0},
      {"Huge", false, 0},                    {"NoValue", false, 0},
      {"Missing", false, 0},                 {"Mem", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    int64_t bytes = -1;
    EXPECT_EQ(parseMeminfoBytes(meminfo.data(), meminfo.size(), c.field, &bytes), c.found);
    if (c.found) {
      EXPECT_EQ(bytes, c.bytes);
    }
  }
}

TEST(ProcTextTest, StatIdleSumsTheProcessorLines) {
  const std::string stat =
      "cpu  3818 0 3800 71587 185 0 71 0 0 0\n"
      "cpu0 1590 0 1722 36375 13 0 32 0 0 0\n"
      "cpu1 2227 0 2078 35212 171 0 39 0 0 0\n"
      "intr 133618 0 0\n";
  SZvStatIdle idle;
  ASSERT_TRUE(parseStatIdle(stat.data(), stat.size(), &idle));
  EXPECT_EQ(idle.processors, 2);
  EXPECT_EQ(idle.idle_ticks, 36375u + 35212u);

  const char* malformed[] = {"", "cpu  1 2 3 4\n", "cpu0 1 2 3\n", "cpu0 1 2 x 4\n",
                             "cpu0 1 2 3 99999999999999999999\n", "cpu01234"};
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(parseStatIdle(text, strlen(text), &idle));
  }
}

TEST(ProcTextTest, MapsLines) {
  const std::string line =
      "7f3a1c000000-7f3a1c021000 r-xp 00001000 fd:01 1234   /usr/lib/my lib.so.1";
  SZvMapsEntry entry;
  ASSERT_TRUE(parseMapsLine(line.data(), line.size(), &entry));
  EXPECT_EQ(entry.start, 0x7f3a1c000000u);
  EXPECT_EQ(entry.end, 0x7f3a1c021000u);
  EXPECT_EQ(entry.offset, 0x1000u);
  EXPECT_STREQ(entry.perms, "r-xp");
  EXPECT_EQ(std::string(entry.path, entry.path_length), "/usr/lib/my lib.so.1");

  const std::string anonymous = "00400000-00452000 rw-p 00000000 00:00 0";
  ASSERT_TRUE(parseMapsLine(anonymous.data(), anonymous.size(), &entry));
  EXPECT_EQ(entry.path_length, 0u);

  const char* malformed[] = {"", "zz-10 r-xp 0 0:0 0", "20-10 r-xp 0 0:0 0", "10-20 r-x 0 0:0 0",
                             "10-20 r-xp 0 00 0", "10-20 r-xp"};
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(parseMapsLine(text, strlen(text), &entry));
  }
}

TEST(ProcTextTest, ProcessStatWithParenthesesInTheName) {
  const std::string text =
      "4242 (odd) name) S 17 4242 4242 0 -1 4194560 1 0 0 0 25 7 0 0 20 0 3 0 100 "
      "12345678 321 18446744073709551615 1 1 0 0";
  SZvProcStat stat;
  ASSERT_TRUE(parseProcessStat(text.data(), text.size(), &stat));
  EXPECT_EQ(stat.pid, 4242);
  EXPECT_EQ(stat.command, "odd) name");
  EXPECT_EQ(stat.state, 'S');
  EXPECT_EQ(stat.parent_pid, 17);
  EXPECT_EQ(stat.user_ticks, 25u);
  EXPECT_EQ(stat.system_ticks, 7u);
  EXPECT_EQ(stat.num_threads, 3);
  EXPECT_EQ(stat.virtual_bytes, 12345678u);
  EXPECT_EQ(stat.resident_pages, 321u);

  const char* malformed[] = {"", "1 (x", "1 x) S 1", "(x) S 1 2 3", "1 (x) S 1 2 3"};
  for (const char* bad : malformed) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parseProcessStat(bad, strlen(bad), &stat));
  }
}

TEST(ProcTextTest, Cmdline) {
  std::string program;
  std::string arguments;
  const std::string text("/bin/sleep\0-x\0" "100\0", 18);
  ASSERT_TRUE(parseCmdline(text.data(), text.size(), &program, &arguments));
  EXPECT_EQ(program, "/bin/sleep");
  EXPECT_EQ(arguments, "-x 100");
  EXPECT_FALSE(parseCmdline("\0\0", 2, &program, &arguments));
  EXPECT_FALSE(parseCmdline("", 0, &program, &arguments));
}

}  // namespace
}  // namespace zv_memgauge
