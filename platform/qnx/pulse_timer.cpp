#include "platform/qnx/pulse_timer.h"

#include <errno.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <mutex>

#include "platform/qnx/dispatch_internal.h"

namespace qnx {

int pulse_timer_create(clockid_t clock, const pulse_event* event) {
  if (event == nullptr || event->code < PULSE_CODE_MINAVAIL || event->code > PULSE_CODE_MAXAVAIL ||
      (clock != CLOCK_MONOTONIC && clock != CLOCK_REALTIME)) {
    errno = EINVAL;
    return -1;
  }
  std::lock_guard<std::mutex> registryLock(internal::registryMutex());
  dispatch_t* dpp = internal::findConnectionLocked(event->coid);
  if (dpp == nullptr) {
    errno = EINVAL;
    return -1;
  }
  const int timerFd = timerfd_create(clock, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd < 0) return -1;
  {
    std::lock_guard<std::mutex> lock(dpp->mutex);
    dpp->timers[timerFd] = internal::Pulse{event->code, event->value};
  }
  epoll_event epollEvent{};
  epollEvent.events = EPOLLIN;
  epollEvent.data.u64 = internal::packEventData(internal::Source::kTimer, 0, timerFd);
  if (epoll_ctl(dpp->epollFd, EPOLL_CTL_ADD, timerFd, &epollEvent) != 0) {
    const int error = errno;
    {
      std::lock_guard<std::mutex> lock(dpp->mutex);
      dpp->timers.erase(timerFd);
    }
    ::close(timerFd);
    errno = error;
    return -1;
  }
  internal::timerOwnersLocked()[timerFd] = dpp;
  return timerFd;
}

int pulse_timer_settime(int timer_id, int flags, const struct itimerspec* value,
                        struct itimerspec* old_value) {
  std::lock_guard<std::mutex> registryLock(internal::registryMutex());
  if (value == nullptr || internal::timerOwnersLocked().count(timer_id) == 0) {
    errno = EINVAL;
    return -1;
  }
  const int timerFlags = (flags & TIMER_ABSTIME) ? TFD_TIMER_ABSTIME : 0;
  return timerfd_settime(timer_id, timerFlags, value, old_value);
}

int pulse_timer_delete(int timer_id) {
  std::lock_guard<std::mutex> registryLock(internal::registryMutex());
  auto& owners = internal::timerOwnersLocked();
  auto it = owners.find(timer_id);
  if (it == owners.end()) {
    errno = EINVAL;
    return -1;
  }
  if (dispatch_t* dpp = it->second) {
    std::lock_guard<std::mutex> lock(dpp->mutex);
    dpp->timers.erase(timer_id);
    epoll_ctl(dpp->epollFd, EPOLL_CTL_DEL, timer_id, nullptr);
    ::close(timer_id);
  } else {
    ::close(timer_id);
  }
  owners.erase(it);
  return 0;
}

}  // namespace qnx
