// Thread identity, thread-local pointer slots and a non-recursive lock.
#ifndef PLATFORM_BASALT_ZV_THREAD_H
#define PLATFORM_BASALT_ZV_THREAD_H

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/basalt/zv_noncopyable.h"

class CZvThread {
 public:
  // A number that identifies the calling thread for the life of the process
  // (never 0, never reused by a later thread).
  static uintptr_t currentContextID();

  // The calling thread's pointer in the slot index (null when never set or
  // when index was not handed out by CZvThreadLocalStorage).
  static void* getTLSEntry(uint32_t index);
  // Sets the calling thread's pointer in slot index; false for an index that
  // was never allocated.
  static bool setTLSEntry(uint32_t index, void* value);
};

// Allocates one thread-local pointer slot for the life of the process. The
// slot starts null on every thread; nothing is freed when a thread ends.
class CZvThreadLocalStorage : private CZvNonCopyable {
 public:
  CZvThreadLocalStorage();
  uint32_t getIndex() const { return mIndex; }
  void* get() const { return CZvThread::getTLSEntry(mIndex); }
  void set(void* value) const { CZvThread::setTLSEntry(mIndex, value); }

 private:
  uint32_t mIndex;
};

// A non-recursive lock. Locking it again on the thread that holds it is a
// programming error and ends the process through doFatalError instead of
// dead-locking silently.
class CZvCriticalSection : private CZvNonCopyable {
 public:
  void lock();
  void unlock();
  bool tryLock();

 private:
  std::mutex mMutex;
  std::atomic<uintptr_t> mOwner{0};
};

// Holds a critical section for one scope.
class CZvCriticalSectionLocker : private CZvNonCopyable {
 public:
  explicit CZvCriticalSectionLocker(CZvCriticalSection& section) : mSection(section) { mSection.lock(); }
  ~CZvCriticalSectionLocker() { mSection.unlock(); }

 private:
  CZvCriticalSection& mSection;
};

#endif  // PLATFORM_BASALT_ZV_THREAD_H
