#include "platform/basalt/zv_event.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/basalt/zv_event_internal.h"
#include "platform/basalt/zv_thread.h"

using ZvEventInternal::ConsumerState;
using ZvEventInternal::LoopCore;
using ZvEventInternal::QueueItem;

namespace {
// FNV-1a: stable and cheap for the short class names.
size_t hashName(const char* name) {
  uint64_t h = 1469598103934665603ull;
  for (const char* p = name; *p; ++p) {
    h ^= static_cast<uint8_t>(*p);
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

// Listeners per class name, in registration order.
struct ListenerRegistry {
  std::mutex mutex;
  std::unordered_map<std::string, std::vector<std::shared_ptr<ConsumerState>>> byClass;
};

ListenerRegistry& listeners() {
  static ListenerRegistry* instance = new ListenerRegistry();  // never destroyed: used during exit
  return *instance;
}

bool isRegisteredLocked(ListenerRegistry& r, const std::string& name, const ConsumerState* state) {
  auto it = r.byClass.find(name);
  if (it == r.byClass.end()) return false;
  for (const auto& s : it->second) {
    if (s.get() == state) return true;
  }
  return false;
}
}  // namespace

CZvClassID::CZvClassID(const char* name) : mName(name ? name : ""), mHash(hashName(mName)) {}

bool CZvClassID::operator==(const CZvClassID& other) const {
  return mName == other.mName || (mHash == other.mHash && std::strcmp(mName, other.mName) == 0);
}

IZvEventConsumer::IZvEventConsumer() : mState(std::make_shared<ConsumerState>()) {
  mState->consumer = this;
  mState->contextID = CZvThread::currentContextID();
  mState->loop = ZvEventInternal::currentCore();
}

IZvEventConsumer::IZvEventConsumer(const IZvEventConsumer&) : IZvEventConsumer() {}

IZvEventConsumer::~IZvEventConsumer() {
  mState->alive.store(false, std::memory_order_release);
  if (mState->registrations.load(std::memory_order_acquire) == 0) return;
  ListenerRegistry& r = listeners();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (auto& entry : r.byClass) {
    auto& list = entry.second;
    list.erase(std::remove(list.begin(), list.end(), mState), list.end());
  }
  mState->registrations.store(0, std::memory_order_release);
}

uintptr_t IZvEventConsumer::getContextID() const { return mState->contextID; }

CZvEvent::CZvEvent() = default;
CZvEvent::~CZvEvent() = default;

void* CZvEvent::castToPtr(const CZvClassID& id) { return id == getClassID() ? this : nullptr; }

const CZvClassID& CZvEvent::getClassID() const {
  static const CZvClassID kClassID("CZvEvent");
  return kClassID;
}

void CZvEvent::dispatchSelf(CZvEventDispatcher&) {}

void CZvEvent::release() { delete this; }

uintptr_t CZvEvent::getTargetContextID() const { return mTargetState ? mTargetState->contextID : 0; }

void CZvEvent::setTarget(IZvEventConsumer* target) {
  mTarget = target;
  mTargetState = target ? target->state() : nullptr;
}

void CZvEvent::send() {
  if (mTargetState) {
    std::shared_ptr<LoopCore> loop = mTargetState->loop;
    if (!mTargetState->alive.load(std::memory_order_acquire)) {
      release();
      return;
    }
    QueueItem item;
    item.event = this;
    item.target = mTargetState;
    if (!loop->post(std::move(item))) release();
    return;
  }

  // No target: one delivery per thread that has listeners of this class.
  std::vector<std::shared_ptr<LoopCore>> loops;
  {
    ListenerRegistry& r = listeners();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.byClass.find(getClassID().name());
    if (it != r.byClass.end()) {
      for (const auto& state : it->second) {
        if (!state->alive.load(std::memory_order_acquire)) continue;
        const bool known =
            std::any_of(loops.begin(), loops.end(), [&](const auto& l) { return l == state->loop; });
        if (!known) loops.push_back(state->loop);
      }
    }
  }
  if (loops.empty()) {
    release();
    return;
  }
  // Every delivery must be counted before the first one can finish.
  mPendingDeliveries.store(static_cast<int>(loops.size()), std::memory_order_release);
  for (const auto& loop : loops) {
    QueueItem item;
    item.event = this;
    if (!loop->post(std::move(item)) && mPendingDeliveries.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      release();
    }
  }
}

bool CZvEvent::addListener(const CZvClassID& classID, IZvEventConsumer* consumer) {
  if (consumer == nullptr) return false;
  ListenerRegistry& r = listeners();
  std::lock_guard<std::mutex> lock(r.mutex);
  const std::string name = classID.name();
  if (isRegisteredLocked(r, name, consumer->state().get())) return true;
  r.byClass[name].push_back(consumer->state());
  consumer->state()->registrations.fetch_add(1, std::memory_order_acq_rel);
  return true;
}

bool CZvEvent::removeListener(const CZvClassID& classID, const IZvEventConsumer* consumer) {
  if (consumer == nullptr) return false;
  ListenerRegistry& r = listeners();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byClass.find(classID.name());
  if (it == r.byClass.end()) return false;
  auto& list = it->second;
  auto pos = std::find(list.begin(), list.end(), consumer->state());
  if (pos == list.end()) return false;
  list.erase(pos);
  consumer->state()->registrations.fetch_sub(1, std::memory_order_acq_rel);
  if (list.empty()) r.byClass.erase(it);
  return true;
}

uint32_t CZvEvent::listenerCount(const CZvClassID& classID) {
  ListenerRegistry& r = listeners();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byClass.find(classID.name());
  return it == r.byClass.end() ? 0 : static_cast<uint32_t>(it->second.size());
}

void CZvEvent::deliverEventImpl(CZvEventDispatcher& dispatcher, const CZvClassID& classID, void* ctx,
                                void (*call)(void*, IZvEventConsumer&)) {
  if (IZvEventConsumer* target = dispatcher.getTarget()) {
    if (target->state()->alive.load(std::memory_order_acquire)) {
      dispatcher.countDelivery();
      call(ctx, *target);
    }
    return;
  }
  std::vector<std::shared_ptr<ConsumerState>> mine;
  const std::string name = classID.name();
  ListenerRegistry& r = listeners();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.byClass.find(name);
    if (it == r.byClass.end()) return;
    for (const auto& state : it->second) {
      if (state->contextID == dispatcher.getContextID()) mine.push_back(state);
    }
  }
  for (const auto& state : mine) {
    // An earlier callback may have removed or destroyed this listener.
    {
      std::lock_guard<std::mutex> lock(r.mutex);
      if (!state->alive.load(std::memory_order_acquire) || !isRegisteredLocked(r, name, state.get()))
        continue;
    }
    dispatcher.countDelivery();
    call(ctx, *state->consumer);
  }
}

const CZvClassID CZvInternalEvent::sClassID("CZvInternalEvent");
const CZvClassID CZvComponentEvent::sClassID("CZvComponentEvent");

bool CZvComponentEvent::writeToStream(IZvOStream&, bool) const { return true; }
bool CZvComponentEvent::readFromStream(IZvIStream&) { return true; }
