// mostsim: a simulated MOST server, so that MOST applications run on a desk
// without a ring. Usage: mostsim [--role NAME] [--config FILE]
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "platform/basalt/zv_event_loop.h"
#include "tools/mostsim/sim_config.h"
#include "tools/mostsim/sim_server.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: mostsim [--role NAME] [--config FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* role = "MOSTSubSystem";
  SZvSimConfig config;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--role") == 0 && i + 1 < argc) {
      role = argv[++i];
    } else if (std::strcmp(argv[i], "--config") == 0 && i + 1 < argc) {
      std::string error;
      if (!ZvSimConfig::load(argv[++i], config, error)) {
        std::fprintf(stderr, "mostsim: %s\n", error.c_str());
        return 2;
      }
    } else {
      return usage();
    }
  }

  // SIGINT and SIGTERM end the loop through a thread that waits for them,
  // so that nothing runs inside a signal handler.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  CZvEventLoop& loop = CZvEventLoop::current();
  CZvSimServer server(role, config);
  if (!server.start(true)) {
    std::fprintf(stderr, "mostsim: cannot offer role '%s'\n", role);
    return 1;
  }
  std::printf("mostsim: serving role '%s' as node 0x%04X\n", role, config.nodeDeviceID);
  std::fflush(stdout);

  std::thread waiter([&loop, stopSignals] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    loop.quit();
  });
  loop.run();
  // The waiter may still wait when the loop ended otherwise; a signal to
  // ourselves releases it.
  kill(getpid(), SIGTERM);
  waiter.join();
  std::printf("mostsim: stopped\n");
  return 0;
}
