#include "platform/qnx/dispatch.h"

#include <errno.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <map>

#include "platform/qnx/dispatch_internal.h"

namespace qnx {

using internal::Attachment;
using internal::Source;

namespace {

// Events fetched per wait; handed out one at a time.
constexpr int kBatchSize = 64;

enum class EventKind { kNone, kSelect, kPulse };

struct ConnectionTable {
  std::map<int, dispatch_t*> connections;
  int nextId = 1;
  std::unordered_map<int, dispatch_t*> timerOwners;
};

ConnectionTable& table() {
  static ConnectionTable* instance = new ConnectionTable();  // never destroyed: used at exit
  return *instance;
}

uint32_t toEpollEvents(unsigned flags) {
  uint32_t events = 0;
  if (flags & SELECT_FLAG_READ) events |= EPOLLIN;
  if (flags & SELECT_FLAG_WRITE) events |= EPOLLOUT;
  if (flags & SELECT_FLAG_EXCEPT) events |= EPOLLPRI;
  return events;
}

unsigned toSelectFlags(uint32_t events) {
  unsigned flags = 0;
  if (events & EPOLLIN) flags |= SELECT_FLAG_READ;
  if (events & EPOLLOUT) flags |= SELECT_FLAG_WRITE;
  if (events & EPOLLPRI) flags |= SELECT_FLAG_EXCEPT;
  // A hung-up or failed descriptor is ready for both directions, as with select().
  if (events & (EPOLLERR | EPOLLHUP)) flags |= SELECT_FLAG_READ | SELECT_FLAG_WRITE;
  return flags;
}

void markDirty(dispatch_t* dpp, int fd) {
  Attachment& attachment = dpp->attachments[fd];
  if (!attachment.dirty) {
    attachment.dirty = true;
    dpp->dirtyDescriptors.push_back(fd);
  }
}

int epollControl(dispatch_t* dpp, int op, int fd, uint32_t events, uint32_t generation) {
  epoll_event event{};
  event.events = events;
  event.data.u64 = internal::packEventData(Source::kSelect, generation, fd);
  return epoll_ctl(dpp->epollFd, op, fd, &event);
}

// Hands the collected attachment changes to the kernel.
void flushChanges(dispatch_t* dpp) {
  for (int fd : dpp->dirtyDescriptors) {
    Attachment& a = dpp->attachments[fd];
    a.dirty = false;
    const uint32_t wanted = a.attached ? toEpollEvents(a.flags) : 0;
    if (wanted == 0) {
      if (a.registeredEvents != 0) {
        // The descriptor may be closed already; the kernel then dropped it itself.
        epoll_ctl(dpp->epollFd, EPOLL_CTL_DEL, fd, nullptr);
        a.registeredEvents = 0;
      }
      continue;
    }
    if (a.registeredEvents == wanted && a.registeredGeneration == a.generation) continue;
    int rc = -1;
    if (a.registeredEvents != 0) rc = epollControl(dpp, EPOLL_CTL_MOD, fd, wanted, a.generation);
    // Not registered, or the descriptor was closed and its number reused.
    if (rc != 0) rc = epollControl(dpp, EPOLL_CTL_ADD, fd, wanted, a.generation);
    if (rc != 0) {
      // The descriptor is gone: nothing can be reported for it any more.
      a = Attachment{};
      continue;
    }
    a.registeredEvents = wanted;
    a.registeredGeneration = a.generation;
  }
  dpp->dirtyDescriptors.clear();
}

}  // namespace

struct dispatch_context_t {
  dispatch_t* dpp = nullptr;
  epoll_event batch[kBatchSize];
  int batchCount = 0;
  int batchNext = 0;

  EventKind kind = EventKind::kNone;
  int fd = -1;
  unsigned flags = 0;
  select_func_t selectFunc = nullptr;
  void* selectHandle = nullptr;
  internal::Pulse pulse;
};

namespace internal {
std::mutex& registryMutex() {
  static std::mutex* mutex = new std::mutex();
  return *mutex;
}
dispatch_t* findConnectionLocked(int coid) {
  auto it = table().connections.find(coid);
  return it == table().connections.end() ? nullptr : it->second;
}
std::unordered_map<int, dispatch_t*>& timerOwnersLocked() { return table().timerOwners; }
}  // namespace internal

dispatch_t* dispatch_create() {
  auto* dpp = new dispatch_t();
  dpp->epollFd = epoll_create1(EPOLL_CLOEXEC);
  dpp->pulseQueueFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK | EFD_SEMAPHORE);
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = internal::packEventData(Source::kPulseQueue, 0, dpp->pulseQueueFd);
  if (dpp->epollFd < 0 || dpp->pulseQueueFd < 0 ||
      epoll_ctl(dpp->epollFd, EPOLL_CTL_ADD, dpp->pulseQueueFd, &event) != 0) {
    const int error = errno;
    if (dpp->epollFd >= 0) ::close(dpp->epollFd);
    if (dpp->pulseQueueFd >= 0) ::close(dpp->pulseQueueFd);
    delete dpp;
    errno = error;
    return nullptr;
  }
  return dpp;
}

int dispatch_destroy(dispatch_t* dpp) {
  if (dpp == nullptr) {
    errno = EINVAL;
    return -1;
  }
  {
    std::lock_guard<std::mutex> lock(internal::registryMutex());
    auto& connections = table().connections;
    for (auto it = connections.begin(); it != connections.end();) {
      it = (it->second == dpp) ? connections.erase(it) : std::next(it);
    }
    for (auto& owner : table().timerOwners) {
      if (owner.second == dpp) owner.second = nullptr;
    }
  }
  ::close(dpp->epollFd);
  ::close(dpp->pulseQueueFd);
  delete dpp;
  return 0;
}

int select_attach(dispatch_t* dpp, int fd, unsigned flags, select_func_t func, void* handle) {
  if (dpp == nullptr || fd < 0 || func == nullptr || toEpollEvents(flags) == 0) {
    errno = EINVAL;
    return -1;
  }
  if (static_cast<size_t>(fd) >= dpp->attachments.size()) {
    dpp->attachments.resize(static_cast<size_t>(fd) + 1);
  }
  Attachment& a = dpp->attachments[fd];
  if (a.attached) {
    errno = EBUSY;
    return -1;
  }
  if (a.registeredEvents == 0) {
    // A new registration is made at once so that a bad descriptor is reported here.
    const uint32_t events = toEpollEvents(flags);
    int rc = epollControl(dpp, EPOLL_CTL_ADD, fd, events, a.generation);
    if (rc != 0 && errno == EEXIST) rc = epollControl(dpp, EPOLL_CTL_MOD, fd, events, a.generation);
    if (rc != 0) return -1;
    a.registeredEvents = events;
    a.registeredGeneration = a.generation;
  } else {
    markDirty(dpp, fd);
  }
  a.attached = true;
  a.flags = flags;
  a.func = func;
  a.handle = handle;
  return 0;
}

int select_detach(dispatch_t* dpp, int fd) {
  if (dpp == nullptr || fd < 0 || static_cast<size_t>(fd) >= dpp->attachments.size() ||
      !dpp->attachments[fd].attached) {
    errno = EINVAL;
    return -1;
  }
  Attachment& a = dpp->attachments[fd];
  a.attached = false;
  a.flags = 0;
  a.func = nullptr;
  a.handle = nullptr;
  a.generation = (a.generation + 1) & 0xFFFFFFu;
  markDirty(dpp, fd);
  return 0;
}

int pulse_attach(dispatch_t* dpp, int code, pulse_func_t func, void* handle) {
  if (dpp == nullptr || func == nullptr ||
      (code != PULSE_CODE_ALLOCATE && (code < PULSE_CODE_MINAVAIL || code > PULSE_CODE_MAXAVAIL))) {
    errno = EINVAL;
    return -1;
  }
  if (code == PULSE_CODE_ALLOCATE) {
    for (int candidate = PULSE_CODE_MINAVAIL; candidate <= PULSE_CODE_MAXAVAIL; ++candidate) {
      if (dpp->pulseHandlers[candidate].func == nullptr) {
        code = candidate;
        break;
      }
    }
    if (code == PULSE_CODE_ALLOCATE) {
      errno = EAGAIN;
      return -1;
    }
  } else if (dpp->pulseHandlers[code].func != nullptr) {
    errno = EBUSY;
    return -1;
  }
  dpp->pulseHandlers[code] = internal::PulseHandler{func, handle};
  return code;
}

int pulse_detach(dispatch_t* dpp, int code) {
  if (dpp == nullptr || code < PULSE_CODE_MINAVAIL || code > PULSE_CODE_MAXAVAIL ||
      dpp->pulseHandlers[code].func == nullptr) {
    errno = EINVAL;
    return -1;
  }
  dpp->pulseHandlers[code] = internal::PulseHandler{};
  return 0;
}

int message_connect(dispatch_t* dpp) {
  if (dpp == nullptr) {
    errno = EINVAL;
    return -1;
  }
  std::lock_guard<std::mutex> lock(internal::registryMutex());
  const int coid = table().nextId++;
  table().connections[coid] = dpp;
  return coid;
}

int connect_detach(int coid) {
  std::lock_guard<std::mutex> lock(internal::registryMutex());
  if (table().connections.erase(coid) == 0) {
    errno = EINVAL;
    return -1;
  }
  return 0;
}

int pulse_send(int coid, int /*priority*/, int code, uintptr_t value) {
  if (code < PULSE_CODE_MINAVAIL || code > PULSE_CODE_MAXAVAIL) {
    errno = EINVAL;
    return -1;
  }
  std::lock_guard<std::mutex> lock(internal::registryMutex());
  dispatch_t* dpp = internal::findConnectionLocked(coid);
  if (dpp == nullptr) {
    errno = EINVAL;
    return -1;
  }
  {
    std::lock_guard<std::mutex> queueLock(dpp->mutex);
    dpp->pulseQueue.push_back(internal::Pulse{code, value});
  }
  const uint64_t one = 1;
  ssize_t rc;
  do {
    rc = ::write(dpp->pulseQueueFd, &one, sizeof one);
  } while (rc < 0 && errno == EINTR);
  return 0;
}

dispatch_context_t* dispatch_context_alloc(dispatch_t* dpp) {
  if (dpp == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  auto* ctp = new dispatch_context_t();
  ctp->dpp = dpp;
  return ctp;
}

void dispatch_context_free(dispatch_context_t* ctp) { delete ctp; }

namespace {

// Turns one fetched kernel event into the context's event; false when it is
// stale or nobody wants it any more.
bool takeEvent(dispatch_context_t* ctp, const epoll_event& event) {
  dispatch_t* dpp = ctp->dpp;
  const uint64_t data = event.data.u64;
  switch (internal::eventSource(data)) {
    case Source::kSelect: {
      const int fd = internal::eventDescriptor(data);
      if (static_cast<size_t>(fd) >= dpp->attachments.size()) return false;
      Attachment& a = dpp->attachments[fd];
      if (!a.attached || a.generation != internal::eventGeneration(data)) return false;
      const unsigned flags = toSelectFlags(event.events) & a.flags &
                             (SELECT_FLAG_READ | SELECT_FLAG_WRITE | SELECT_FLAG_EXCEPT);
      if (flags == 0) return false;
      ctp->kind = EventKind::kSelect;
      ctp->fd = fd;
      ctp->flags = flags;
      ctp->selectFunc = a.func;
      ctp->selectHandle = a.handle;
      if (!(a.flags & SELECT_FLAG_REARM)) select_detach(dpp, fd);
      return true;
    }
    case Source::kPulseQueue: {
      uint64_t count = 0;
      if (::read(dpp->pulseQueueFd, &count, sizeof count) != sizeof count) return false;
      std::lock_guard<std::mutex> lock(dpp->mutex);
      if (dpp->pulseQueue.empty()) return false;
      ctp->kind = EventKind::kPulse;
      ctp->pulse = dpp->pulseQueue.front();
      dpp->pulseQueue.pop_front();
      return true;
    }
    case Source::kTimer: {
      const int timerFd = internal::eventDescriptor(data);
      // Held while reading so that a concurrent delete cannot close the timerfd under us.
      std::lock_guard<std::mutex> lock(dpp->mutex);
      auto it = dpp->timers.find(timerFd);
      if (it == dpp->timers.end()) return false;
      uint64_t expirations = 0;
      if (::read(timerFd, &expirations, sizeof expirations) != sizeof expirations) return false;
      ctp->kind = EventKind::kPulse;
      ctp->pulse = it->second;
      return true;
    }
  }
  return false;
}

}  // namespace

dispatch_context_t* dispatch_block(dispatch_context_t* ctp) {
  if (ctp == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  ctp->kind = EventKind::kNone;
  for (;;) {
    while (ctp->batchNext < ctp->batchCount) {
      if (takeEvent(ctp, ctp->batch[ctp->batchNext++])) return ctp;
    }
    flushChanges(ctp->dpp);
    const int count = epoll_wait(ctp->dpp->epollFd, ctp->batch, kBatchSize, -1);
    if (count < 0) return nullptr;  // errno from epoll_wait, EINTR for a signal
    ctp->batchCount = count;
    ctp->batchNext = 0;
  }
}

int dispatch_handler(dispatch_context_t* ctp) {
  if (ctp == nullptr || ctp->kind == EventKind::kNone) {
    errno = EINVAL;
    return -1;
  }
  const EventKind kind = ctp->kind;
  ctp->kind = EventKind::kNone;
  if (kind == EventKind::kSelect) {
    ctp->selectFunc(ctp, ctp->fd, ctp->flags, ctp->selectHandle);
    return 0;
  }
  const internal::PulseHandler handler = ctp->dpp->pulseHandlers[ctp->pulse.code];
  if (handler.func != nullptr) handler.func(ctp, ctp->pulse.code, ctp->pulse.value, handler.handle);
  return 0;
}

}  // namespace qnx
