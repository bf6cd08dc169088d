// Helpers shared by the socket tests: loopback listeners, signal storms
// aimed at a blocked thread, and real peer processes (socat, nc).
#ifndef SOCKWEAVE_TESTS_TEST_SUPPORT_H
#define SOCKWEAVE_TESTS_TEST_SUPPORT_H

#include <pthread.h>
#include <signal.h>
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace sockweave_test {

// A TCP listener on 127.0.0.1 with an ephemeral port.
struct Listener {
  explicit Listener(int backlog = 8);
  ~Listener();
  int fd = -1;
  uint16_t port = 0;
};

// Accepts one connection on fd (blocking); -1 on failure.
int acceptOne(int fd);
// A connected TCP pair over loopback: [0] client end, [1] accepted end.
bool tcpPair(int fds[2]);
// A free ephemeral port (bound once and released).
uint16_t freePort();

// SIGUSR1 with a handler that does not restart calls, for one scope.
class InterruptingSignal {
 public:
  InterruptingSignal();
  ~InterruptingSignal();
  static int delivered();

 private:
  struct sigaction mPrevious {};
};

// Sends SIGUSR1 to target every intervalMs, count times (or until stopped),
// then runs after (if given). Joins on destruction.
class SignalStorm {
 public:
  SignalStorm(pthread_t target, int count, int intervalMs, std::function<void()> after = {});
  ~SignalStorm();
  void stop() { mStop = true; }
  int sent() const { return mSent; }

 private:
  std::atomic<bool> mStop{false};
  std::atomic<int> mSent{0};
  std::thread mThread;
};

// A child process run through /bin/sh -c; killed and reaped on destruction.
class Peer {
 public:
  explicit Peer(const std::string& command);
  ~Peer();
  // Waits for the child to end; its exit status, or -1.
  int wait();

 private:
  pid_t mPid = -1;
};

// Milliseconds elapsed since start.
inline int64_t elapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace sockweave_test

#endif  // SOCKWEAVE_TESTS_TEST_SUPPORT_H
