// Starts the echo server process for tests and benchmarks.
#ifndef FBKIT_CLIENT_TESTS_DSYSMOST_PROCESS_H
#define FBKIT_CLIENT_TESTS_DSYSMOST_PROCESS_H

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace zv_test {

// Spawns the server; it dies with this process at the latest.
inline pid_t spawnServer(const char* path, const std::string& ns, const std::string& role) {
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    execl(path, path, ns.c_str(), role.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

inline void killServer(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace zv_test

#endif  // FBKIT_CLIENT_TESTS_DSYSMOST_PROCESS_H
