#include "sockweave/tests/test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace sockweave_test {

namespace {
std::atomic<int> gDelivered{0};
void onSignal(int) { gDelivered.fetch_add(1); }

sockaddr_in loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}
}  // namespace

Listener::Listener(int backlog) {
  fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = loopback(0);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0) {
    return;
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
}

Listener::~Listener() {
  if (fd >= 0) ::close(fd);
}

int acceptOne(int fd) { return ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC); }

bool tcpPair(int fds[2]) {
  Listener listener;
  fds[0] = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = loopback(listener.port);
  if (::connect(fds[0], reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  fds[1] = acceptOne(listener.fd);
  return fds[1] >= 0;
}

uint16_t freePort() {
  Listener listener;
  return listener.port;
}

InterruptingSignal::InterruptingSignal() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: blocked calls come back with EINTR
  sigaction(SIGUSR1, &action, &mPrevious);
}

InterruptingSignal::~InterruptingSignal() { sigaction(SIGUSR1, &mPrevious, nullptr); }

int InterruptingSignal::delivered() { return gDelivered.load(); }

SignalStorm::SignalStorm(pthread_t target, int count, int intervalMs, std::function<void()> after)
    : mThread([this, target, count, intervalMs, after] {
        for (int i = 0; (count < 0 || i < count) && !mStop; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
          if (mStop) break;
          pthread_kill(target, SIGUSR1);
          ++mSent;
        }
        if (after && !mStop) after();
      }) {}

SignalStorm::~SignalStorm() {
  mStop = true;
  mThread.join();
}

Peer::Peer(const std::string& command) {
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  if (posix_spawn(&mPid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    mPid = -1;
  }
}

Peer::~Peer() {
  if (mPid > 0) {
    ::kill(mPid, SIGTERM);
    wait();
  }
}

int Peer::wait() {
  if (mPid <= 0) return -1;
  int status = 0;
  pid_t rc;
  do {
    rc = ::waitpid(mPid, &status, 0);
  } while (rc < 0 && errno == EINTR);
  mPid = -1;
  return (rc > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

}  // namespace sockweave_test
