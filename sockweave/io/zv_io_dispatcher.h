// An event loop for descriptors and timers on top of the dispatch layer.
//
// Handlers are queued on a descriptor: at most one read handler, and any
// number of write handlers that run one per write event in FIFO order. A
// handler stays queued while it returns true. Handlers may queue new
// handlers, also on their own descriptor, while they run. The dispatcher owns
// every handler from the moment it is queued and deletes it when it is done
// or removed.
//
// Timers (NativeTimer) are one-shot; their handler is called on the loop
// thread when the timer expires and arms it again by returning true.
//
// A dispatcher and everything queued on it belong to the thread that calls
// poll(). Nothing is locked.
#ifndef SOCKWEAVE_IO_ZV_IO_DISPATCHER_H
#define SOCKWEAVE_IO_ZV_IO_DISPATCHER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/qnx/dispatch.h"
#include "sockweave/io/zv_io_event_entry.h"
#include "sockweave/io/zv_io_handler.h"

namespace ZvIO {

class NativeTimer;
namespace ZvPrivate {
class NativeTimerHandlerBase;
}

class Dispatcher : public CZvNonCopyable {
 public:
  // capacity: descriptors expected, to size the descriptor table up front.
  explicit Dispatcher(size_t capacity = 64);
  ~Dispatcher();

  // Queues handler on descriptor for events (kPollIn: as the read handler,
  // replacing one that is there; otherwise as the last write handler).
  // Returns false, deleting the handler, when events is 0 (cheap assertion)
  // or the descriptor cannot be watched (e.g. it is closed).
  bool doEnqueueEvent(int descriptor, HandlerBase* handler, int events);
  // Deletes the read handler with key, or else every write handler with key.
  void removeEvent(int descriptor, uint32_t key);
  // Stops watching descriptor and deletes all its handlers.
  void doRemoveAll(int descriptor);

  // Waits for one event and runs it. 0 after an event or an interruption by
  // a signal, -1 on any other failure. The argument is not used.
  int poll(int unused = 0);

  // Records handler for timer; false if the timer already has one.
  bool enqueueTimer(NativeTimer* timer, ZvPrivate::NativeTimerHandlerBase* handler);
  // Deletes the timer's handler; safe from within that handler.
  void removeTimer(NativeTimer* timer);

  // The handlers queued on descriptor: the mask (kPollIn | kPollOut) and the
  // number of write handlers, not counting a handler that is running.
  int getMask(int descriptor) const;
  uint32_t getWriteHandlerCount(int descriptor) const;

 private:
  friend class NativeTimer;

  static int onSelect(qnx::dispatch_context_t* ctp, int fd, unsigned flags, void* self);
  static int onPulse(qnx::dispatch_context_t* ctp, int code, uintptr_t value, void* self);
  void runDescriptorEvent(int descriptor, unsigned selectFlags);
  void runTimer(NativeTimer* timer);

  ZvPrivate::EventEntry* findEntry(int descriptor) const;
  ZvPrivate::EventEntry& entryFor(int descriptor);
  // Makes the dispatch layer watch descriptor for the entry's current mask.
  bool updateAttachment(int descriptor, ZvPrivate::EventEntry& entry);
  void detach(int descriptor, ZvPrivate::EventEntry& entry);

  // Timers tell their dispatcher when they come and go.
  void addTimer(NativeTimer* timer) { mLiveTimers.insert(timer); }
  void forgetTimer(NativeTimer* timer) { mLiveTimers.erase(timer); }
  int pulseConnection() const { return mPulseConnection; }
  int pulseCode() const { return mPulseCode; }

  std::vector<std::unique_ptr<ZvPrivate::EventEntry>> mEntries;  // by descriptor
  std::map<NativeTimer*, ZvPrivate::NativeTimerHandlerBase*> mTimers;
  std::set<NativeTimer*> mLiveTimers;

  qnx::dispatch_t* mDispatch = nullptr;
  qnx::dispatch_context_t* mContext = nullptr;
  int mPulseConnection = -1;
  int mPulseCode = -1;

  // The handler running right now, and whether it was removed meanwhile.
  int mRunningDescriptor = -1;
  HandlerBase* mRunningHandler = nullptr;
  bool mRunningHandlerRemoved = false;
  NativeTimer* mExpiringTimer = nullptr;
  bool mExpiringTimerRemoved = false;
};

}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_DISPATCHER_H
