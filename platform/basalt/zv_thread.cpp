#include "platform/basalt/zv_thread.h"

#include <vector>

#include "platform/basalt/zv_assert.h"

namespace {
std::atomic<uintptr_t> gNextContextID{1};
std::atomic<uint32_t> gNextTLSIndex{1};  // 0 is never handed out

thread_local uintptr_t tContextID = 0;
thread_local std::vector<void*> tSlots;
}  // namespace

uintptr_t CZvThread::currentContextID() {
  if (tContextID == 0) tContextID = gNextContextID.fetch_add(1, std::memory_order_relaxed);
  return tContextID;
}

void* CZvThread::getTLSEntry(uint32_t index) { return index < tSlots.size() ? tSlots[index] : nullptr; }

bool CZvThread::setTLSEntry(uint32_t index, void* value) {
  if (index == 0 || index >= gNextTLSIndex.load(std::memory_order_acquire)) return false;
  if (index >= tSlots.size()) tSlots.resize(index + 1, nullptr);
  tSlots[index] = value;
  return true;
}

CZvThreadLocalStorage::CZvThreadLocalStorage()
    : mIndex(gNextTLSIndex.fetch_add(1, std::memory_order_acq_rel)) {}

void CZvCriticalSection::lock() {
  const uintptr_t self = CZvThread::currentContextID();
  if (mOwner.load(std::memory_order_relaxed) == self) {
    ZV_FATAL("CZvCriticalSection locked twice by the same thread");
  }
  mMutex.lock();
  mOwner.store(self, std::memory_order_relaxed);
}

bool CZvCriticalSection::tryLock() {
  if (!mMutex.try_lock()) return false;
  mOwner.store(CZvThread::currentContextID(), std::memory_order_relaxed);
  return true;
}

void CZvCriticalSection::unlock() {
  if (mOwner.load(std::memory_order_relaxed) != CZvThread::currentContextID()) {
    ZV_FATAL("CZvCriticalSection unlocked by a thread that does not hold it");
  }
  mOwner.store(0, std::memory_order_relaxed);
  mMutex.unlock();
}
