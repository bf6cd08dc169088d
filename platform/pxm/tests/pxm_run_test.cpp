// The host program with the real plug-in, as a person runs it.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct ProgramRun {
  std::string output;  // standard output and standard error together
  int exit_code;
};

ProgramRun runShell(const std::string& command) {
  ProgramRun run{"", -1};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string kPxm = PXM_PATH;
const std::string kPlugin = PLUGIN_PATH;

TEST(PxmRunTest, SamplesUntilTheRunTimeIsOver) {
  ProgramRun run = runShell(kPxm + " -D 1000 " + kPlugin + " -d 50 -t </dev/null");
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("[pxm] tool 1 status 2 (running)"));
  EXPECT_THAT(run.output, HasSubstr(" free [kB], "));
  EXPECT_THAT(run.output, HasSubstr("% CPU idle\n"));
  EXPECT_THAT(run.output, HasSubstr("[pxm] tool 1 status 0 (finished)"));
}

TEST(PxmRunTest, OptionErrorEndsWithStatus4) {
  ProgramRun run = runShell(kPxm + " " + kPlugin + " -d abc </dev/null");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_THAT(run.output, HasSubstr("memgauge: error: invalid value 'abc' for option -d"));
  EXPECT_THAT(run.output, HasSubstr("memgauge: error: optional param does not match"));
  EXPECT_THAT(run.output, HasSubstr("[pxm] tool 1 status 4 (error)"));
}

TEST(PxmRunTest, CommandsFromStandardInput) {
  ProgramRun run = runShell("printf 'monitor free ge 0 once\\ntrigger 0 0\\nmonitor free xx 1 once\\n' | " +
                     kPxm + " -D 3000 " + kPlugin + " -d 50");
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("[pxm] tool 1 monitor 1 succeeded"));
  EXPECT_THAT(run.output, HasSubstr("call 'memgauge --h' to get trigger help"));
  EXPECT_THAT(run.output, HasSubstr("[pxm] unknown monitor operator 'xx'"));
}

// Starts the host with its output on a pipe, sends SIGINT (as Ctrl-C does)
// once the tool runs, and collects the rest of the output.
ProgramRun interruptWhenRunning(const std::vector<std::string>& words) {
  ProgramRun run{"", -1};
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::vector<std::string> copies = words;
  std::vector<char*> argv;
  for (std::string& word : copies) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    return run;
  }
  bool interrupted = false;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipe_fds[0], buffer, sizeof buffer)) > 0) {
    run.output.append(buffer, static_cast<size_t>(got));
    if (!interrupted && run.output.find("status 2 (running)") != std::string::npos) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(PxmRunTest, InterruptStopsTheTool) {
  // The period is far longer than any test run: only the interrupt ends it.
  ProgramRun run = interruptWhenRunning({kPxm, kPlugin, "-d", "600000"});
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("[pxm] signal 2: stopping the tool"));
  EXPECT_THAT(run.output, HasSubstr("[pxm] tool 1 ended (0)"));
}

TEST(PxmRunTest, HelpVersionAndLoadErrors) {
  ProgramRun help = runShell(kPxm + " " + kPlugin + " -h </dev/null");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_THAT(help.output, HasSubstr("memgauge - monitor amount of free system memory"));
  EXPECT_THAT(help.output, Not(HasSubstr("status 2")));

  ProgramRun control = runShell(kPxm + " " + kPlugin + " --h");
  EXPECT_EQ(control.exit_code, 0);
  EXPECT_THAT(control.output, HasSubstr("trigger <command id> <data type> <value>"));

  ProgramRun version = runShell(kPxm + " -V " + kPlugin);
  EXPECT_THAT(version.output, HasSubstr("Tool Version: 4.2\nBuild Date  : 14.08.2014-06:43"));

  EXPECT_EQ(runShell(kPxm + " /no/such/plugin.so").exit_code, 1);
  EXPECT_EQ(runShell(kPxm + " -m 'free lt' " + kPlugin).exit_code, 2);
  EXPECT_EQ(runShell(kPxm).exit_code, 2);
  EXPECT_EQ(runShell(kPxm + " -D soon " + kPlugin).exit_code, 2);
}

}  // namespace
