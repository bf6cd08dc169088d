// The two ends of one proxy-stub connection and the thread-bound mailbox
// through which a transport reaches a proxy or a stub.
#ifndef PLATFORM_QRVI_SERVICE_LINK_H
#define PLATFORM_QRVI_SERVICE_LINK_H

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_frame.h"

// Carries frames to the other end of one connection. sendFrame may be called
// from any thread; it fails once the connection is closed.
class IZvServiceLink {
 public:
  virtual ~IZvServiceLink() = default;
  virtual bool sendFrame(const SZvServiceFrame& frame) = 0;
  // Gives the connection up; the other end sees it as gone.
  virtual void close() = 0;
  virtual bool isCrossProcess() const = 0;
};

// Runs work on the thread that created the mailbox, as long as the mailbox
// is open. The owner closes it (on its own thread) before it is destroyed, so
// work posted by transports never reaches a destroyed owner.
class CZvServiceMailbox : public std::enable_shared_from_this<CZvServiceMailbox> {
 public:
  CZvServiceMailbox() : mLoop(&CZvEventLoop::current()) {}

  // Any thread. False when the mailbox is closed.
  bool post(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mOpen.load(std::memory_order_relaxed)) return false;
    std::shared_ptr<CZvServiceMailbox> self = shared_from_this();
    mLoop->postTask([self, work = std::move(work)] {
      if (self->mOpen.load(std::memory_order_acquire)) work();
    });
    return true;
  }

  // Owner thread only.
  void close() {
    std::lock_guard<std::mutex> lock(mMutex);
    mOpen.store(false, std::memory_order_release);
  }
  bool isOpen() const { return mOpen.load(std::memory_order_acquire); }

 private:
  std::mutex mMutex;
  std::atomic<bool> mOpen{true};
  CZvEventLoop* mLoop;
};

#endif  // PLATFORM_QRVI_SERVICE_LINK_H
