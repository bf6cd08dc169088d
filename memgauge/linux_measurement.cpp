// The measurement source of a Linux machine: memory from /proc/meminfo (via
// the toolkit), idle time per processor from /proc/stat, the monotonic clock,
// and a sleep that SIGALRM cuts short.
#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "memgauge/measurement_source.h"
#include "memgauge/proc_text.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge {
namespace {

class CZvLinuxMeasurementSource final : public IZvMeasurementSource {
 public:
  bool readFreeBytes(int64_t* bytes) override { return _tbox_get_free_mem(bytes) == 0; }
  bool readTotalBytes(int64_t* bytes) override { return _tbox_get_total_mem(bytes) == 0; }

  int processorCount() override {
    SZvStatIdle idle;
    return readStat(&idle) ? idle.processors : 0;
  }

  bool readIdleNanoseconds(int64_t* nanoseconds) override {
    SZvStatIdle idle;
    if (!readStat(&idle)) return false;
    static const long ticks_per_second = sysconf(_SC_CLK_TCK);
    if (ticks_per_second <= 0) return false;
    uint64_t hz = static_cast<uint64_t>(ticks_per_second);
    // Split so the multiplication stays small; the result may wrap, which is
    // harmless because only differences of two readings are used.
    uint64_t whole = idle.idle_ticks / hz * 1000000000u;
    uint64_t part = idle.idle_ticks % hz * 1000000000u / hz;
    *nanoseconds = static_cast<int64_t>(whole + part);
    return true;
  }

  int64_t monotonicNanoseconds() override {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  }

  void sleepMilliseconds(int milliseconds) override {
    if (milliseconds < 0) milliseconds = 0;
    timespec duration{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    // SIGALRM is unblocked only for the sleep itself, atomically, so a stop
    // sent at any moment after the loop checked its flag wakes this sleep.
    sigset_t while_sleeping;
    pthread_sigmask(SIG_SETMASK, nullptr, &while_sleeping);
    sigdelset(&while_sleeping, SIGALRM);
    ppoll(nullptr, 0, &duration, &while_sleeping);
  }

 private:
  static bool readStat(SZvStatIdle* idle) {
    std::string text;
    return readProcFile("/proc/stat", &text) && parseStatIdle(text.data(), text.size(), idle);
  }
};

CZvLinuxMeasurementSource g_linux_source;
std::atomic<IZvMeasurementSource*> g_test_source{nullptr};

}  // namespace

IZvMeasurementSource& measurementSource() {
  IZvMeasurementSource* source = g_test_source.load();
  return source ? *source : g_linux_source;
}

void setMeasurementSourceForTesting(IZvMeasurementSource* source) { g_test_source.store(source); }

}  // namespace zv_memgauge
