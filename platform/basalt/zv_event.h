// The event system.
//
// An event is sent either to one target consumer or, when it has no target,
// to every consumer that listens to its class ID. It is delivered on the
// thread that constructed the consumer, through that thread's CZvEventLoop,
// by calling the event's dispatchSelf(); the event class then hands itself
// to its consumers with deliverEvent(). Events sent to one thread arrive
// there in the order sent. A consumer that has been destroyed receives
// nothing more; events pending for it are dropped.
//
// Events are created with new; send() passes ownership to the event system,
// which releases (normally: deletes) the event after delivery, or at once
// when nobody can get it.
#ifndef PLATFORM_BASALT_ZV_EVENT_H
#define PLATFORM_BASALT_ZV_EVENT_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_noncopyable.h"

class IZvIStream;
class IZvOStream;
class IZvEventConsumer;

// The identity of an event class. Two IDs are equal when their names are
// equal. The name must outlive the ID (a string literal, normally).
class CZvClassID {
 public:
  explicit CZvClassID(const char* name);
  const char* name() const { return mName; }
  size_t hash() const { return mHash; }
  bool operator==(const CZvClassID& other) const;
  bool operator!=(const CZvClassID& other) const { return !(*this == other); }

 private:
  const char* mName;
  size_t mHash;
};

namespace std {
template <>
struct hash<CZvClassID> {
  size_t operator()(const CZvClassID& id) const { return id.hash(); }
};
}  // namespace std

namespace ZvEventInternal {
struct ConsumerState;
}

// Anything that receives events. The consumer belongs to the thread that
// constructed it (a copy belongs to the thread that made the copy and is a
// consumer of its own). Destroy a consumer on its own thread, or once its
// thread no longer runs its loop.
class IZvEventConsumer {
 public:
  IZvEventConsumer();
  IZvEventConsumer(const IZvEventConsumer& other);
  IZvEventConsumer& operator=(const IZvEventConsumer&) { return *this; }
  virtual ~IZvEventConsumer();

  uintptr_t getContextID() const;
  const std::shared_ptr<ZvEventInternal::ConsumerState>& state() const { return mState; }

 private:
  std::shared_ptr<ZvEventInternal::ConsumerState> mState;
};

// What a loop hands to dispatchSelf(): who the event is being delivered to
// on this thread.
class CZvEventDispatcher : private CZvNonCopyable {
 public:
  // target: the single target, or null for delivery to the listeners of
  // this thread.
  CZvEventDispatcher(IZvEventConsumer* target, uintptr_t contextID)
      : mTarget(target), mContextID(contextID) {}
  IZvEventConsumer* getTarget() const { return mTarget; }
  uintptr_t getContextID() const { return mContextID; }
  // The number of consumers called so far through deliverEvent().
  uint32_t getDeliveredCount() const { return mDelivered; }
  void countDelivery() { ++mDelivered; }

 private:
  IZvEventConsumer* mTarget;
  uintptr_t mContextID;
  uint32_t mDelivered = 0;
};

class CZvEvent : private CZvNonCopyable {
 public:
  CZvEvent();
  virtual ~CZvEvent();

  // this when id is this event's class ID, otherwise null.
  virtual void* castToPtr(const CZvClassID& id);
  // Posts the event; ownership passes to the event system. Do not touch the
  // event after send(). An event is sent at most once.
  virtual void send();
  // Called on the receiving thread. The base does nothing; event classes
  // call the base and then deliverEvent() with their class ID. An event
  // without target whose listeners live on several threads is dispatched on
  // those threads at the same time, so dispatchSelf() must only read it.
  virtual void dispatchSelf(CZvEventDispatcher& dispatcher);
  // Context ID of the target's thread, 0 when there is no target.
  virtual uintptr_t getTargetContextID() const;
  virtual const CZvClassID& getClassID() const;
  // Called by the event system once it no longer needs the event: after the
  // last delivery, or at once when nobody can receive it. The base deletes
  // the event. An event that its owner reuses overrides this to mark itself
  // free instead (it must then outlive its delivery).
  virtual void release();

  // Single target; null means "every listener of the class ID".
  void setTarget(IZvEventConsumer* target);
  IZvEventConsumer* getTarget() const { return mTarget; }

  // Registers consumer for events of classID without target. Adding a
  // consumer twice has no further effect. Return false for a null consumer
  // or (remove) one that was not registered.
  static bool addListener(const CZvClassID& classID, IZvEventConsumer* consumer);
  static bool removeListener(const CZvClassID& classID, const IZvEventConsumer* consumer);
  static uint32_t listenerCount(const CZvClassID& classID);

  // Calls fn for each consumer that should get this delivery on the calling
  // thread: the target when it is still alive, or else each listener of
  // classID that lives on this thread and is still registered at the moment
  // of its call (in registration order). fn takes an IZvEventConsumer& or an
  // IZvEventConsumer*.
  template <typename Fn>
  static void deliverEvent(CZvEventDispatcher& dispatcher, const CZvClassID& classID, Fn&& fn) {
    deliverEventImpl(dispatcher, classID, &fn, [](void* ctx, IZvEventConsumer& consumer) {
      auto& callable = *static_cast<std::remove_reference_t<Fn>*>(ctx);
      if constexpr (std::is_invocable_v<decltype(callable), IZvEventConsumer&>) {
        callable(consumer);
      } else {
        callable(&consumer);
      }
    });
  }

  // Internal: the number of loops that still have to dispatch this event.
  std::atomic<int>& pendingDeliveries() { return mPendingDeliveries; }

 private:
  static void deliverEventImpl(CZvEventDispatcher& dispatcher, const CZvClassID& classID, void* ctx,
                               void (*call)(void*, IZvEventConsumer&));

  IZvEventConsumer* mTarget = nullptr;
  std::shared_ptr<ZvEventInternal::ConsumerState> mTargetState;
  std::atomic<int> mPendingDeliveries{0};
};

// The same as CZvEvent::deliverEvent, for code outside an event class.
template <typename Fn>
void deliverEvent(CZvEventDispatcher& dispatcher, const CZvClassID& classID, Fn&& fn) {
  CZvEvent::deliverEvent(dispatcher, classID, std::forward<Fn>(fn));
}

// Events that stay within the process.
class CZvInternalEvent : public CZvEvent {
 public:
  static const CZvClassID sClassID;
  const CZvClassID& getClassID() const override { return sClassID; }
};

// Events that may cross a process boundary in a stream. The base part of
// the stream form is empty; derived classes append their data.
class CZvComponentEvent : public CZvEvent {
 public:
  static const CZvClassID sClassID;
  const CZvClassID& getClassID() const override { return sClassID; }
  virtual bool writeToStream(IZvOStream& stream, bool flag) const;
  virtual bool readFromStream(IZvIStream& stream);
};

#endif  // PLATFORM_BASALT_ZV_EVENT_H
