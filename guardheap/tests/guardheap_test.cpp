// Runs guardheap_probe in child processes with libguardheap preloaded and
// checks what it reports, how it ends, and that real programs behave the
// same with and without the allocator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct RunResult {
  bool exited = false;
  int exitStatus = -1;
  int signal = 0;
  std::string output;  // Standard output.

  // The values of the probe's "key=value" lines.
  std::map<std::string, std::string> values() const {
    std::map<std::string, std::string> result;
    size_t start = 0;
    while (start < output.size()) {
      size_t end = output.find('\n', start);
      if (end == std::string::npos) end = output.size();
      std::string line = output.substr(start, end - start);
      size_t equals = line.find('=');
      if (equals != std::string::npos) result[line.substr(0, equals)] = line.substr(equals + 1);
      start = end + 1;
    }
    return result;
  }
};

// Runs |argv| with the given extra environment (and LD_PRELOAD unless
// |preload| is false); standard input comes from |input|.
RunResult run(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
              bool preload = true, const std::string& input = "") {
  std::vector<std::string> envText = {"PATH=/usr/bin:/bin", "LC_ALL=C", "HOME=/tmp"};
  if (preload) envText.push_back(std::string("LD_PRELOAD=") + GUARDHEAP_LIBRARY);
  envText.insert(envText.end(), environment.begin(), environment.end());

  int out[2], in[2];
  if (pipe(out) != 0 || pipe(in) != 0) return {};
  pid_t child = fork();
  if (child == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDERR_FILENO);
    close(in[1]);
    close(out[0]);
    std::vector<char*> args, env;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    for (const std::string& entry : envText) env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    execve(args[0], args.data(), env.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  if (!input.empty()) {
    ssize_t ignored = write(in[1], input.data(), input.size());
    (void)ignored;
  }
  close(in[1]);
  RunResult result;
  char buffer[4096];
  ssize_t count;
  while ((count = read(out[0], buffer, sizeof(buffer))) > 0) result.output.append(buffer, count);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  result.exited = WIFEXITED(status);
  result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return result;
}

RunResult probe(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
  std::vector<std::string> argv = {GUARDHEAP_PROBE};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv, environment);
}

const std::vector<std::string> kGuardAbove = {"CHECK_MEM_BARRIER_SIDE=1"};
const std::vector<std::string> kGuardBelow = {"CHECK_MEM_BARRIER_SIDE=0"};
const long kPage = sysconf(_SC_PAGESIZE);

size_t countOf(const std::string& text, const std::string& needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

TEST(GuardHeapLibraryTest, NeedsTheCLibraryOnly) {
  // Any other runtime would be loaded ahead of the program with its own
  // allocations and initialisation.
  std::string command = std::string("readelf -d '") + GUARDHEAP_LIBRARY + "'";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);
  std::vector<std::string> needed;
  char line[512];
  while (fgets(line, sizeof(line), output)) {
    std::string text = line;
    size_t open = text.find("Shared library: [");
    if (open == std::string::npos) continue;
    open += strlen("Shared library: [");
    needed.push_back(text.substr(open, text.find(']', open) - open));
  }
  ASSERT_EQ(pclose(output), 0);
  EXPECT_EQ(needed, std::vector<std::string>{"libc.so.6"});
}

TEST(GuardHeapSettingsTest, EnvironmentIsReadOnceAndReported) {
  struct Case {
    std::vector<std::string> environment;
    const char* line;
    const char* side;
    const char* size;
  } cases[] = {
      {{}, "check memory barrier deactivated\n", "-1", "0"},
      {{"CHECK_MEM_BARRIER_SIDE=0"}, "check lower memory barrier\n", "0", "0"},
      {{"CHECK_MEM_BARRIER_SIDE=1", "CHECK_MEM_BARRIER_SIZE=64"}, "check upper memory barrier\n",
       "1", "64"},
      {{"CHECK_MEM_BARRIER_SIDE=7", "CHECK_MEM_BARRIER_SIZE=-5"},
       "check memory barrier deactivated\n", "-1", "0"},
      {{"CHECK_MEM_BARRIER_SIDE=-1"}, "check memory barrier deactivated\n", "-1", "0"},
      // Decimal values as atoi() reads them: text without digits is 0.
      {{"CHECK_MEM_BARRIER_SIDE=1x", "CHECK_MEM_BARRIER_SIZE=abc"}, "check upper memory barrier\n",
       "1", "0"},
  };
  for (const Case& c : cases) {
    RunResult result = probe({"settings"}, c.environment);
    ASSERT_TRUE(result.exited) << c.line;
    EXPECT_EQ(result.output.find(c.line), 0u) << result.output;
    EXPECT_EQ(countOf(result.output, "memory barrier"), 1u) << result.output;
    EXPECT_EQ(result.values()["side"], c.side) << c.line;
    EXPECT_EQ(result.values()["size"], c.size) << c.line;
  }
}

TEST(GuardHeapLayoutTest, BlocksLieAgainstTheirGuardPage) {
  struct Case {
    const char* what;
    std::vector<std::string> environment;
    const char* size;
    long pageOffset;
    const char* sizeWord;
    const char* below;  // Permissions of the byte before the block.
    const char* above;  // ... of the first byte after its 16-byte-rounded end.
  } cases[] = {
      // Guard above: the block ends where the guard begins, the size word
      // holds the size rounded to the 16-byte alignment.
      {"above, 10 bytes", kGuardAbove, "10", kPage - 16, "16", "rw-p", "---p"},
      {"above, 4096 bytes", kGuardAbove, "4096", 0, "4096", "rw-p", "---p"},
      {"above, 4093 bytes", kGuardAbove, "4093", 0, "4096", "rw-p", "---p"},
      // Guard below: the block starts a page after the read-only guard,
      // whose last word is the size word.
      {"below, 10 bytes", kGuardBelow, "10", 0, "10", "r--p", "rw-p"},
      {"below, 4096 bytes", kGuardBelow, "4096", 0, "4096", "r--p", "rw-p"},
      // Below the threshold the block is plain, with the size word too.
      {"above, under threshold", {"CHECK_MEM_BARRIER_SIDE=1", "CHECK_MEM_BARRIER_SIZE=100"}, "99",
       -1, "99", "rw-p", "rw-p"},
      {"deactivated", {}, "5000", -1, "5000", "rw-p", "rw-p"},
  };
  for (const Case& c : cases) {
    RunResult result = probe({"layout", c.size}, c.environment);
    ASSERT_TRUE(result.exited && result.exitStatus == 0) << c.what;
    auto values = result.values();
    if (c.pageOffset >= 0) {
      EXPECT_EQ(values["page_offset"], std::to_string(c.pageOffset)) << c.what;
    }
    EXPECT_EQ(values["size_word"], c.sizeWord) << c.what;
    EXPECT_EQ(values["below"], c.below) << c.what;
    EXPECT_EQ(values["above"], c.above) << c.what;
  }
  // Over the threshold the same settings guard the block.
  RunResult guarded =
      probe({"layout", "100"}, {"CHECK_MEM_BARRIER_SIDE=1", "CHECK_MEM_BARRIER_SIZE=100"});
  EXPECT_EQ(guarded.values()["above"], "---p");
}

TEST(GuardHeapFaultTest, TouchingTheGuardFaultsAtOnceAndInBoundsNeverDoes) {
  struct Case {
    const char* what;
    std::vector<std::string> environment;
    std::vector<std::string> args;
    bool faults;
  } cases[] = {
      {"one past a 4096-byte block, guard above", kGuardAbove, {"write", "4096", "4096"}, true},
      {"one past a 32-byte block, guard above", kGuardAbove, {"write", "32", "32"}, true},
      {"reading past the block, guard above", kGuardAbove, {"read", "4096", "4096"}, true},
      {"past the 16-byte rounding of 10 bytes", kGuardAbove, {"write", "10", "16"}, true},
      {"last byte, guard above", kGuardAbove, {"write", "4096", "4095"}, false},
      {"byte before, guard below", kGuardBelow, {"write", "100", "-1"}, true},
      {"reading the byte before, guard below", kGuardBelow, {"read", "100", "-1"}, false},
      {"first byte, guard below", kGuardBelow, {"write", "100", "0"}, false},
      {"one past, guard below only", kGuardBelow, {"write", "4096", "4096"}, false},
  };
  for (const Case& c : cases) {
    RunResult result = probe(c.args, c.environment);
    EXPECT_NE(result.output.find("in_bounds=ok"), std::string::npos) << c.what;
    if (c.faults) {
      EXPECT_EQ(result.signal, SIGSEGV) << c.what;
      EXPECT_EQ(result.output.find("survived"), std::string::npos) << c.what;
    } else {
      EXPECT_TRUE(result.exited && result.exitStatus == 0) << c.what << "\n" << result.output;
    }
  }
}

TEST(GuardHeapLayoutTest, FreeUnmapsTheWholeThreePageMapping) {
  // malloc(4096) with either guard: a three-page mapping starting one page
  // below the block.
  for (const auto& environment : {kGuardAbove, kGuardBelow}) {
    RunResult result = probe({"unmap", "4096"}, environment);
    ASSERT_TRUE(result.exited) << environment[0];
    EXPECT_EQ(result.values()["before"], "111") << environment[0];
    EXPECT_EQ(result.values()["after"], "000") << environment[0];
  }
}

TEST(GuardHeapEntryPointsTest, EveryEntryPointWorksWithEveryBlockKind) {
  const std::vector<std::vector<std::string>> environments = {
      {}, kGuardAbove, kGuardBelow, {"CHECK_MEM_BARRIER_SIDE=1", "CHECK_MEM_BARRIER_SIZE=100"}};
  for (const auto& environment : environments) {
    std::string label = environment.empty() ? "deactivated" : environment.back();
    RunResult battery = probe({"battery"}, environment);
    EXPECT_TRUE(battery.exited && battery.exitStatus == 0) << label << "\n" << battery.output;
    EXPECT_NE(battery.output.find("battery=ok"), std::string::npos) << label;
    RunResult threads = probe({"threads"}, environment);
    EXPECT_NE(threads.output.find("threads=ok"), std::string::npos) << label;
  }
}

TEST(GuardHeapSettingsTest, IllegalSideAtAllocationEndsTheProcess) {
  RunResult result = probe({"set-side", "5"}, kGuardAbove);
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.output.find("libpagewall.so: illegal value for CHECK_MEM_BARRIER_SIDE: 5\n"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("survived"), std::string::npos);

  // Switching the guard off at run time is legal.
  RunResult off = probe({"set-side", "-1"}, kGuardAbove);
  EXPECT_NE(off.output.find("survived"), std::string::npos);
}

// Removes the allocator's one line per process from a program's output.
std::string withoutBarrierLines(std::string text) {
  const std::string line = "check upper memory barrier\n";
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line)) {
    text.erase(at, line.size());
  }
  return text;
}

TEST(GuardHeapRealProgramsTest, RunUnchangedWithEveryBlockGuarded) {
  char directory[] = "/tmp/guardheap_git_XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  std::string repo = directory;
  struct Case {
    std::vector<std::string> argv;
    std::string input;
  } cases[] = {
      {{"/bin/sh", "-c", "for w in delta alpha charlie; do echo $w; done | sort -r; echo $((6*7))"},
       ""},
      {{"/usr/bin/sort", "-n"}, "10\n9\n100\n-3\n42\n"},
      {{"/usr/bin/python3", "-S", "-c",
        "import json,hashlib; d={str(i): list(range(i)) for i in range(200)}; "
        "print(hashlib.sha256(json.dumps(d, sort_keys=True).encode()).hexdigest())"},
       ""},
      {{"/usr/bin/git", "-C", repo, "init", "-q"}, ""},
      {{"/usr/bin/git", "-C", repo, "hash-object", "--stdin"}, "guarded content\n"},
  };
  for (const Case& c : cases) {
    RunResult plain = run(c.argv, {}, false, c.input);
    RunResult guarded = run(c.argv, {"CHECK_MEM_BARRIER_SIDE=1", "CHECK_MEM_BARRIER_SIZE=0"}, true,
                            c.input);
    ASSERT_TRUE(plain.exited && plain.exitStatus == 0) << c.argv[0];
    EXPECT_TRUE(guarded.exited) << c.argv[0] << " signal " << guarded.signal;
    EXPECT_EQ(guarded.exitStatus, 0) << c.argv[0];
    EXPECT_NE(guarded.output.find("check upper memory barrier"), std::string::npos) << c.argv[0];
    EXPECT_EQ(withoutBarrierLines(guarded.output), plain.output) << c.argv[0];
  }
  std::string cleanup = "rm -rf '" + repo + "'";
  EXPECT_EQ(system(cleanup.c_str()), 0);
}

}  // namespace
