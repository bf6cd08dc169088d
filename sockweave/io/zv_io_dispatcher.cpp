#include "sockweave/io/zv_io_dispatcher.h"

#include <errno.h>
#include <stdio.h>

#include "platform/basalt/zv_assert.h"
#include "sockweave/io/zv_io_native_timer.h"

namespace ZvIO {

using ZvPrivate::EventEntry;

namespace {
// Where the dispatcher's reports point, as the unit's logs have always shown.
constexpr const char* kDispatcherSource = "DispatcherQNX";
constexpr const char* kEntrySource = "EventEntry";

// Events that wake a read handler, and a write handler.
constexpr int kReadWakeMask = kPollRdNorm | kPollRdBand | kPollErr | kPollHup;  // 0x65
constexpr int kWriteWakeMask = kPollWrNorm | kPollErr | kPollHup;              // 0x62

int toPollEvents(unsigned selectFlags) {
  int events = 0;
  if (selectFlags & qnx::SELECT_FLAG_READ) events |= kPollIn;
  if (selectFlags & qnx::SELECT_FLAG_WRITE) events |= kPollOut;
  if ((selectFlags & qnx::SELECT_FLAG_EXCEPT) || events == 0) events |= kPollErr;
  return events;
}
}  // namespace

Dispatcher::Dispatcher(size_t capacity) {
  mEntries.reserve(capacity);
  mDispatch = qnx::dispatch_create();
  if (mDispatch == nullptr) {
    doCheapAssert(87, kDispatcherSource);
    return;
  }
  mPulseCode = qnx::pulse_attach(mDispatch, qnx::PULSE_CODE_ALLOCATE, &Dispatcher::onPulse, this);
  mPulseConnection = qnx::message_connect(mDispatch);
  if (mPulseCode == -1 || mPulseConnection == -1) doCheapAssert(92, kDispatcherSource);
  mContext = qnx::dispatch_context_alloc(mDispatch);
  if (mContext == nullptr) doCheapAssert(95, kDispatcherSource);
}

Dispatcher::~Dispatcher() {
  // Timers still alive can no longer reach this loop.
  while (!mLiveTimers.empty()) {
    NativeTimer* timer = *mLiveTimers.begin();
    mLiveTimers.erase(mLiveTimers.begin());
    timer->orphan();
  }
  for (auto& timer : mTimers) delete timer.second;
  mTimers.clear();
  if (mPulseConnection != -1) qnx::connect_detach(mPulseConnection);
  if (mContext != nullptr) qnx::dispatch_context_free(mContext);
  if (mDispatch != nullptr) qnx::dispatch_destroy(mDispatch);
  mEntries.clear();  // deletes the handlers still queued
}

EventEntry* Dispatcher::findEntry(int descriptor) const {
  if (descriptor < 0 || static_cast<size_t>(descriptor) >= mEntries.size()) return nullptr;
  return mEntries[descriptor].get();
}

EventEntry& Dispatcher::entryFor(int descriptor) {
  if (static_cast<size_t>(descriptor) >= mEntries.size()) mEntries.resize(descriptor + 1);
  auto& slot = mEntries[descriptor];
  if (!slot) slot = std::make_unique<EventEntry>();
  return *slot;
}

void Dispatcher::detach(int descriptor, EventEntry& entry) {
  if (entry.attachedMask != 0) qnx::select_detach(mDispatch, descriptor);
  entry.attachedMask = 0;
}

bool Dispatcher::updateAttachment(int descriptor, EventEntry& entry) {
  const int mask = entry.mask();
  if (mask == entry.attachedMask) return true;
  detach(descriptor, entry);
  if (mask == 0) return true;
  unsigned flags = qnx::SELECT_FLAG_REARM;
  if (mask & kPollIn) flags |= qnx::SELECT_FLAG_READ;
  if (mask & kPollOut) flags |= qnx::SELECT_FLAG_WRITE;
  if (qnx::select_attach(mDispatch, descriptor, flags, &Dispatcher::onSelect, this) != 0) return false;
  entry.attachedMask = mask;
  return true;
}

bool Dispatcher::doEnqueueEvent(int descriptor, HandlerBase* handler, int events) {
  if (events == 0) {
    doCheapAssert(212, kDispatcherSource);
    delete handler;
    return false;
  }
  if (handler == nullptr) return false;
  if (descriptor < 0) {
    delete handler;
    return false;
  }
  EventEntry& entry = entryFor(descriptor);
  if (events & kPollIn) {
    if (HandlerBase* replaced = entry.exchangeReadHandler(handler)) {
      doCheapAssert(226, kDispatcherSource);
      delete replaced;
    }
  } else {
    entry.appendWriter(handler);
  }
  // While this descriptor's handlers run, the attachment is settled afterwards.
  if (entry.backup != nullptr) return true;
  if (!updateAttachment(descriptor, entry)) {
    // Only a descriptor without handlers gets a fresh attachment, so the one
    // just queued is the only handler here.
    entry.deleteAll();
    return false;
  }
  return true;
}

void Dispatcher::removeEvent(int descriptor, uint32_t key) {
  EventEntry* entry = findEntry(descriptor);
  if (entry == nullptr) return;
  bool removed = entry->removeByKey(key);
  if (entry->backup != nullptr) {
    if (entry->backup->removeByKey(key)) removed = true;
    if (mRunningHandler != nullptr && mRunningDescriptor == descriptor &&
        mRunningHandler->getKey() == key) {
      mRunningHandlerRemoved = true;
    }
    return;  // the attachment is settled after the running handlers
  }
  if (removed) updateAttachment(descriptor, *entry);
}

void Dispatcher::doRemoveAll(int descriptor) {
  EventEntry* entry = findEntry(descriptor);
  if (entry == nullptr) return;
  entry->deleteAll();
  if (entry->backup != nullptr) {
    entry->backup->deleteAll();
    if (mRunningHandler != nullptr && mRunningDescriptor == descriptor) mRunningHandlerRemoved = true;
  }
  // Detached at once even while its handlers run: the descriptor may be
  // closed next and its number handed to a new one.
  detach(descriptor, *entry);
}

// While the descriptor's handlers run, those waiting in the backup entry
// still count as queued.
int Dispatcher::getMask(int descriptor) const {
  const EventEntry* entry = findEntry(descriptor);
  if (entry == nullptr) return 0;
  return entry->mask() | (entry->backup ? entry->backup->mask() : 0);
}

uint32_t Dispatcher::getWriteHandlerCount(int descriptor) const {
  const EventEntry* entry = findEntry(descriptor);
  if (entry == nullptr) return 0;
  return entry->writeCount() + (entry->backup ? entry->backup->writeCount() : 0);
}

int Dispatcher::poll(int) {
  if (mContext == nullptr) return -1;
  if (qnx::dispatch_block(mContext) == nullptr) return errno == EINTR ? 0 : -1;
  qnx::dispatch_handler(mContext);
  return 0;
}

int Dispatcher::onSelect(qnx::dispatch_context_t*, int fd, unsigned flags, void* self) {
  static_cast<Dispatcher*>(self)->runDescriptorEvent(fd, flags);
  return 0;
}

void Dispatcher::runDescriptorEvent(int descriptor, unsigned selectFlags) {
  EventEntry* entry = findEntry(descriptor);
  if (entry == nullptr || entry->backup != nullptr) return;
  const int events = toPollEvents(selectFlags);

  // The handlers wait in a backup entry, so that they can queue new ones here.
  EventEntry backup;
  entry->moveAllTo(backup);
  entry->backup = &backup;
  mRunningDescriptor = descriptor;

  if (backup.readHandler() != nullptr && (events & kReadWakeMask)) {
    HandlerBase* reader = backup.takeReadHandler();
    mRunningHandler = reader;
    mRunningHandlerRemoved = false;
    const bool keep = reader->handleEvent(descriptor, events);
    if (keep && !mRunningHandlerRemoved) {
      backup.exchangeReadHandler(reader);
    } else {
      delete reader;
    }
  }
  if (backup.writeCount() != 0 && (events & kWriteWakeMask)) {
    HandlerBase* writer = backup.popFirstWriter();
    mRunningHandler = writer;
    mRunningHandlerRemoved = false;
    const bool keep = writer->handleEvent(descriptor, events);
    if (keep && !mRunningHandlerRemoved) {
      backup.prependWriter(writer);
    } else {
      delete writer;
    }
  }
  mRunningHandler = nullptr;
  mRunningDescriptor = -1;

  // Kept handlers go back in front of those queued meanwhile.
  if (HandlerBase* kept = backup.takeReadHandler()) {
    if (HandlerBase* queued = entry->exchangeReadHandler(kept)) {
      doCheapAssert(73, kEntrySource);
      delete queued;
    }
  }
  entry->prependWritersOf(backup);
  entry->backup = nullptr;
  updateAttachment(descriptor, *entry);
}

bool Dispatcher::enqueueTimer(NativeTimer* timer, ZvPrivate::NativeTimerHandlerBase* handler) {
  if (timer == nullptr || handler == nullptr) return false;
  return mTimers.emplace(timer, handler).second;
}

void Dispatcher::removeTimer(NativeTimer* timer) {
  if (timer != nullptr && timer == mExpiringTimer) mExpiringTimerRemoved = true;
  auto it = mTimers.find(timer);
  if (it == mTimers.end()) return;
  delete it->second;
  mTimers.erase(it);
}

int Dispatcher::onPulse(qnx::dispatch_context_t*, int code, uintptr_t value, void* self) {
  auto* dispatcher = static_cast<Dispatcher*>(self);
  if (code == dispatcher->mPulseCode) dispatcher->runTimer(reinterpret_cast<NativeTimer*>(value));
  return 0;
}

void Dispatcher::runTimer(NativeTimer* timer) {
  auto it = mTimers.find(timer);
  if (it == mTimers.end()) return;
  ZvPrivate::NativeTimerHandlerBase* handler = it->second;
  mTimers.erase(it);

  mExpiringTimer = timer;
  mExpiringTimerRemoved = false;
  const int timerId = timer->getId();
  const bool again = handler->expired(timerId);
  const bool removed = mExpiringTimerRemoved;
  mExpiringTimer = nullptr;

  // Removed (or its timer destroyed) while it ran: it must not come back.
  if (removed || !again) {
    delete handler;
    return;
  }
  if (!enqueueTimer(timer, handler)) {
    fputs("Restarting timer failed\n", stderr);
    delete handler;
    return;
  }
  if (handler->arm(timerId) != kSuccess) fputs("Restarting timer failed\n", stderr);
}

}  // namespace ZvIO
