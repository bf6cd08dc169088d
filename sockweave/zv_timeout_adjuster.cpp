#include "sockweave/zv_timeout_adjuster.h"

#include "platform/basalt/zv_os.h"

namespace ZvSocket {
namespace ZvPrivate {

void CZvTimeoutAdjuster::adjust() {
  uint64_t now = 0;
  if (!ZvOperatingSystem::getMonotonicTime(&now)) return;
  if (now == 0) now = 1;  // 0 means "not started"
  if (mLastStart != 0) {
    const uint64_t elapsed = now > mLastStart ? now - mLastStart : 0;
    mRemaining = elapsed < mRemaining ? mRemaining - elapsed : 0;
  }
  mLastStart = now;
}

void CZvTimeoutAdjuster::getRemaining(int64_t* seconds, int64_t* microseconds) const {
  const uint64_t totalUs = (mRemaining + 999) / 1000;
  if (seconds) *seconds = static_cast<int64_t>(totalUs / 1000000);
  if (microseconds) *microseconds = static_cast<int64_t>(totalUs % 1000000);
}

}  // namespace ZvPrivate
}  // namespace ZvSocket
