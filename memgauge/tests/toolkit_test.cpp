// The process toolkit exported with the plug-in.
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <pthread.h>

#include <condition_variable>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "memgauge/tests/test_host.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Argv {
  explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return pointers_.data(); }
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

// Runs getopt to the end; each result as "c" or "c=value", then "end@<optind>".
std::vector<std::string> runGetopt(std::vector<std::string> words, const char* optstring,
                                   int opterr = 1) {
  Argv args(std::move(words));
  SZvGetoptState state = ZV_TBOX_GETOPT_INIT;
  state.opterr = opterr;
  std::vector<std::string> results;
  int option;
  while ((option = _tbox_getopt(args.argc(), args.argv(), optstring, &state)) != -1) {
    std::string result(1, static_cast<char>(option));
    if (state.optarg) result += std::string("=") + state.optarg;
    results.push_back(result);
  }
  results.push_back("end@" + std::to_string(state.optind));
  return results;
}

TEST(ToolkitTest, Getopt) {
  const char* options = "c:d:e:ghl:p:qt";
  EXPECT_THAT(runGetopt({"p", "-qt", "-d5", "-e", "x@1", "rest", "-q"}, options),
              ElementsAre("q", "t", "d=5", "e=x@1", "end@5"));
  EXPECT_THAT(runGetopt({"p", "--", "-q"}, options), ElementsAre("end@2"));
  EXPECT_THAT(runGetopt({"p", "-", "-q"}, options), ElementsAre("end@1"));
  EXPECT_THAT(runGetopt({"p", "-qd", "--"}, options), ElementsAre("q", "d=--", "end@3"));

  ::testing::internal::CaptureStderr();
  EXPECT_THAT(runGetopt({"dir/p", "-zq", "-d"}, options), ElementsAre("?", "q", "?", "end@3"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "p: illegal option -- z\np: option requires an argument -- d\n");

  ::testing::internal::CaptureStderr();
  EXPECT_THAT(runGetopt({"p", "-d"}, ":d:"), ElementsAre(":", "end@2"));
  EXPECT_THAT(runGetopt({"p", "-z"}, options, 0), ElementsAre("?", "end@2"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(ToolkitTest, Getsubopt) {
  char text[] = "rw,size=10,bogus";
  char* const tokens[] = {const_cast<char*>("ro"), const_cast<char*>("rw"),
                          const_cast<char*>("size"), nullptr};
  char* options = text;
  char* value = nullptr;
  EXPECT_EQ(_tbox_getsubopt(&options, tokens, &value), 1);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(_tbox_getsubopt(&options, tokens, &value), 2);
  EXPECT_STREQ(value, "10");
  EXPECT_EQ(_tbox_getsubopt(&options, tokens, &value), -1);
  EXPECT_STREQ(value, "bogus");
  EXPECT_EQ(_tbox_getsubopt(&options, tokens, &value), -1);
  EXPECT_EQ(value, nullptr);
}

TEST(ToolkitTest, Trim) {
  struct Case {
    const char* input;
    const char* both;
    const char* leading;
    const char* trailing;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "a b  ", "  a b"}, {"", "", "", ""}, {" \t\n ", "", "", ""},
      {"x", "x", "x", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    std::string both(c.input), leading(c.input), trailing(c.input);
    EXPECT_STREQ(_tbox_trim(both.data()), c.both);
    EXPECT_STREQ(_tbox_trim_leading_whitespaces(leading.data()), c.leading);
    EXPECT_STREQ(_tbox_trim_trailing_whitespaces(trailing.data()), c.trailing);
  }
}

TEST(ToolkitTest, Crc32IsTheIeeePolynomial) {
  EXPECT_EQ(_tbox_crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(_tbox_crc32("", 0), 0u);
}

std::string ownName() {
  char name[ZV_TBOX_NAME_SIZE];
  EXPECT_EQ(_tbox_get_name_for_pid(getpid(), name, sizeof name), 0);
  return name;
}

TEST(ToolkitTest, ProcessNamesArgumentsAndInfo) {
  std::string name = ownName();
  EXPECT_EQ(name, "memgauge_toolkit_tests");

  char arguments[4096];
  ASSERT_EQ(_tbox_get_process_arguments(getpid(), arguments, sizeof arguments), 0);
  int pid = 0;
  EXPECT_EQ(_tbox_get_pid_for_name_and_args(("/some/dir/" + name).c_str(), arguments, &pid), 0);
  EXPECT_EQ(pid, getpid());
  EXPECT_EQ(_tbox_get_pid_for_name(name.c_str(), &pid), 0);
  EXPECT_EQ(_tbox_get_pid_for_name("no-such-process-name", &pid), ESRCH);
  char tiny[1];
  if (arguments[0] != '\0') {
    EXPECT_EQ(_tbox_get_process_arguments(getpid(), tiny, sizeof tiny), ZV_TBOX_BUFFER_TOO_SMALL);
  }

  SZvProcessInfo info;
  ASSERT_EQ(_tbox_get_process_info(getpid(), &info), 0);
  EXPECT_EQ(info.pid, getpid());
  EXPECT_EQ(info.parent_pid, getppid());
  EXPECT_GE(info.num_threads, 1);
  EXPECT_GT(info.resident_bytes, 0u);
  EXPECT_EQ(std::string(info.name), name);

  char missing[ZV_TBOX_NAME_SIZE];
  EXPECT_EQ(_tbox_get_name_for_pid(INT_MAX, missing, sizeof missing), ENOENT);
  EXPECT_STREQ(missing, "not_available");
  EXPECT_EQ(_tbox_get_process_info(INT_MAX, &info), ESRCH);
}

// Threads that wait until the test lets them go.
class ParkedThreads {
 public:
  explicit ParkedThreads(int count) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    for (int index = 0; index < count; ++index) {
      pthread_t thread;
      if (pthread_create(&thread, &attributes, park, this) == 0) threads_.push_back(thread);
    }
    pthread_attr_destroy(&attributes);
  }
  ~ParkedThreads() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      released_ = true;
    }
    released_changed_.notify_all();
    for (pthread_t thread : threads_) pthread_join(thread, nullptr);
  }
  size_t size() const { return threads_.size(); }

 private:
  static void* park(void* self) {
    auto* parked = static_cast<ParkedThreads*>(self);
    std::unique_lock<std::mutex> lock(parked->mutex_);
    parked->released_changed_.wait(lock, [parked] { return parked->released_; });
    return nullptr;
  }
  std::mutex mutex_;
  std::condition_variable released_changed_;
  bool released_ = false;
  std::vector<pthread_t> threads_;
};

TEST(ToolkitTest, ProcessesWithMoreThan500ThreadsAreSkipped) {
  captureSystemLog(true);
  int count = 0;
  ASSERT_EQ(_tbox_get_number_of_threads(getpid(), &count), 0);
  int before = count;
  {
    ParkedThreads parked(ZV_TBOX_MAX_THREADS + 1 - before);
    ASSERT_EQ(static_cast<int>(parked.size()), ZV_TBOX_MAX_THREADS + 1 - before);
    count = -1;
    EXPECT_EQ(_tbox_get_number_of_threads(getpid(), &count), E2BIG);
    EXPECT_EQ(count, -1);
    SZvProcessInfo info;
    EXPECT_EQ(_tbox_get_process_info(getpid(), &info), E2BIG);
  }
  EXPECT_THAT(takeSystemLog(),
              ElementsAre("[toolkit] _tbox_get_number_of_threads(): thread_number>500 (501)! IGNORE PROCESS",
                          "[toolkit] _tbox_get_number_of_threads(): thread_number>500 (501)! IGNORE PROCESS"));
  captureSystemLog(false);
}

TEST(ToolkitTest, SharedObjectsAndPageMappings) {
  SZvSharedObject objects[64];
  int count = 0;
  ASSERT_EQ(_tbox_get_sharedobject_mappings(getpid(), objects, 64, &count), 0);
  bool has_libc = false;
  for (int index = 0; index < count && index < 64; ++index) {
    has_libc |= strstr(objects[index].name, "/libc.so") != nullptr;
  }
  EXPECT_TRUE(has_libc);

  char small[8];
  EXPECT_EQ(_tbox_sharedobject_mappings_fillbuffer(getpid(), small, sizeof small),
            ZV_TBOX_BUFFER_TOO_SMALL);
  std::vector<char> buffer(64 * 1024);
  ASSERT_EQ(_tbox_sharedobject_mappings_fillbuffer(getpid(), buffer.data(), buffer.size()), 0);
  std::regex line("[^\n]+\\.so[^\n ]* 0x[0-9a-f]+\n");
  std::string text(buffer.data());
  EXPECT_TRUE(std::regex_search(text, line)) << text;

  char* dumped = nullptr;
  size_t size = 0;
  FILE* file = open_memstream(&dumped, &size);
  ASSERT_EQ(_tbox_dump_sharedobject_mappings_file_and_toolid(getpid(), file, 3), 0);
  fclose(file);
  std::string dump(dumped, size);
  free(dumped);
  EXPECT_THAT(dump, StartsWith("3 " + ownName() + " pid " + std::to_string(getpid()) +
                               " has the following shared object mappings\n3   @"));

  int mappings = 0;
  ASSERT_EQ(_tbox_get_num_page_mappings(getpid(), &mappings), 0);
  EXPECT_GT(mappings, 4);
  SZvPageMapping first[4];
  ASSERT_EQ(_tbox_get_page_mappings(getpid(), first, 4, &count), 0);
  EXPECT_GE(count, 4);  // the total, though only four were filled
  EXPECT_LT(first[0].start, first[0].end);
}

TEST(ToolkitTest, StackBacktraceLinesCarryTheirCrc) {
  char* dumped = nullptr;
  size_t size = 0;
  FILE* file = open_memstream(&dumped, &size);
  ASSERT_EQ(_tbox_doStackBacktrace_file(file, "unit test"), 0);
  fclose(file);
  std::istringstream lines(std::string(dumped, size));
  free(dumped);

  std::string line;
  std::getline(lines, line);
  EXPECT_THAT(line, StartsWith("[backtrace] INFO - BT in TID("));
  EXPECT_THAT(line, HasSubstr(") from unit test: PID(" + std::to_string(getpid()) + ")"));
  std::getline(lines, line);
  EXPECT_EQ(line, "data below is the actual callstack V2.3");
  std::getline(lines, line);
  EXPECT_EQ(line, "usable for analysis with proper project MAP file");
  std::getline(lines, line);
  EXPECT_EQ(line, "*!B");
  std::getline(lines, line);
  std::getline(lines, line);
  EXPECT_EQ(line, "*_B");
  std::getline(lines, line);
  EXPECT_EQ(line, "*!C");

  const std::regex word_line("([0-9a-f]{8,}):((?:[0-9a-f]{8},){1,7}):([0-9a-f]{8})");
  int word_lines = 0;
  unsigned long previous_address = 0;
  while (std::getline(lines, line) && line != "*_C") {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, word_line)) << line;
    EXPECT_LE(match[2].length(), 70);
    unsigned long address = std::stoul(match[1], nullptr, 16);
    if (word_lines > 0) {
      EXPECT_EQ(address, previous_address + 28);
    }
    previous_address = address;
    std::vector<unsigned char> bytes;
    std::string words = match[2];
    for (size_t at = 0; at < words.size(); at += 9) {
      uint32_t word = static_cast<uint32_t>(std::stoul(words.substr(at, 8), nullptr, 16));
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back((word >> shift) & 0xFF);
    }
    EXPECT_EQ(_tbox_crc32(bytes.data(), bytes.size()),
              static_cast<uint32_t>(std::stoul(match[3], nullptr, 16)));
    ++word_lines;
  }
  EXPECT_EQ(line, "*_C");
  EXPECT_GT(word_lines, 0);
  std::getline(lines, line);
  EXPECT_THAT(line, HasSubstr(" has the following shared object mappings"));
}

TEST(ToolkitTest, PartitionLookupsFailWithTheirLogLines) {
  captureSystemLog(true);
  int id = 0;
  char name[32] = "x";
  EXPECT_EQ(_tbox_get_partitionid_by_name("System", &id), ENOSYS);
  EXPECT_EQ(_tbox_get_name_by_partitionid(3, name, sizeof name), ENOSYS);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(_tbox_get_number_of_partitions(&id), ENOSYS);
  EXPECT_THAT(takeSystemLog(),
              ElementsAre("[toolkit] _tbox_get_partitionid_by_name error(38) for name 'System'",
                          "[toolkit] _tbox_get_name_by_partitionid error(38) for id '3'",
                          "[toolkit] _tbox_get_number_of_partitions access error(38)"));
  captureSystemLog(false);
}

TEST(ToolkitDeathTest, NullOutputArgumentsAreFatal) {
  EXPECT_DEATH(_tbox_get_free_mem(nullptr), "PXM ASSERTION in File: memory_info.cpp");
  EXPECT_DEATH(_tbox_get_number_of_threads(getpid(), nullptr), "PXM ASSERTION");
}

}  // namespace
}  // namespace zv_memgauge_test
