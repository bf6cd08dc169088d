#include "fbkit/client/implicit_filter.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// FBlocks of one process may live on several client threads, and all of them
// consult this one list, so it is guarded. Function-local statics avoid any
// dependence on the order of static initialisation between libraries.
std::mutex& filterLock() {
  static std::mutex lock;
  return lock;
}

std::vector<CZvImplicitFilterEntry>& filtered() {
  static std::vector<CZvImplicitFilterEntry> entries;
  return entries;
}

}  // namespace

void CZvMOSTImplicitFilter::disableImplicitNotification(uint16_t fblockKey,
                                                        uint16_t functionID,
                                                        uint16_t deviceID) {
  const CZvImplicitFilterEntry entry{fblockKey, functionID, deviceID};
  std::lock_guard<std::mutex> guard(filterLock());
  auto& list = filtered();
  if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

bool CZvMOSTImplicitFilter::isDisabled(uint16_t fblockKey, uint16_t functionID,
                                       uint16_t deviceID) {
  const CZvImplicitFilterEntry entry{fblockKey, functionID, deviceID};
  std::lock_guard<std::mutex> guard(filterLock());
  const auto& list = filtered();
  return std::find(list.begin(), list.end(), entry) != list.end();
}

void CZvMOSTImplicitFilter::clear(uint16_t fblockKey) {
  std::lock_guard<std::mutex> guard(filterLock());
  auto& list = filtered();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [fblockKey](const CZvImplicitFilterEntry& e) {
                              return e.fblockKey == fblockKey;
                            }),
             list.end());
}

void CZvMOSTImplicitFilter::clearAll() {
  std::lock_guard<std::mutex> guard(filterLock());
  filtered().clear();
}

size_t CZvMOSTImplicitFilter::size() {
  std::lock_guard<std::mutex> guard(filterLock());
  return filtered().size();
}
