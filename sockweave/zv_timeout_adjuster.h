// Keeps what remains of a time-out across repeated waits, so that a wait
// interrupted by a signal goes on with the rest instead of starting over.
#ifndef SOCKWEAVE_ZV_TIMEOUT_ADJUSTER_H
#define SOCKWEAVE_ZV_TIMEOUT_ADJUSTER_H

#include <cstdint>

namespace ZvSocket {
namespace ZvPrivate {

class CZvTimeoutAdjuster {
 public:
  explicit CZvTimeoutAdjuster(uint64_t timeoutNs) : mRemaining(timeoutNs) {}

  // Call before each wait: subtracts the time since the previous call from
  // the remaining time (never below 0). The first call only starts the clock.
  void adjust();

  uint64_t getRemainingNs() const { return mRemaining; }
  // The remaining time split into seconds and microseconds (rounded up, so
  // that a wait never ends before the time-out).
  void getRemaining(int64_t* seconds, int64_t* microseconds) const;

 private:
  uint64_t mLastStart = 0;  // 0: not started
  uint64_t mRemaining;
};

}  // namespace ZvPrivate
}  // namespace ZvSocket

#endif  // SOCKWEAVE_ZV_TIMEOUT_ADJUSTER_H
