#include "memgauge/instance_mapping.h"

#include <mutex>

#include "memgauge/plugin_interface.h"

namespace zv_memgauge {
namespace {

struct InstanceEntry {
  bool used = false;
  pthread_t thread{};
  int tool_id = 0;
  pid_t external_pid = 0;
  unsigned long start_order = 0;
};

std::mutex g_mutex;
InstanceEntry g_entries[kInstanceMappingSize];
unsigned long g_start_counter = 0;

InstanceEntry* findLocked(pthread_t thread) {
  for (auto& entry : g_entries) {
    if (entry.used && pthread_equal(entry.thread, thread)) return &entry;
  }
  return nullptr;
}

}  // namespace

bool addInstance(pthread_t thread, int tool_id, pid_t external_pid) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (auto& entry : g_entries) {
    if (!entry.used) {
      entry = InstanceEntry{true, thread, tool_id, external_pid, ++g_start_counter};
      return true;
    }
  }
  return false;
}

void removeInstance(pthread_t thread) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (InstanceEntry* entry = findLocked(thread)) *entry = InstanceEntry{};
}

int toolIdOfThread(pthread_t thread) {
  std::lock_guard<std::mutex> lock(g_mutex);
  InstanceEntry* entry = findLocked(thread);
  return entry ? entry->tool_id : 0;
}

bool signalInstance(pthread_t thread, int signal_number) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (findLocked(thread) == nullptr) return false;
  return pthread_kill(thread, signal_number) == 0;
}

int activeToolId() {
  std::lock_guard<std::mutex> lock(g_mutex);
  const InstanceEntry* latest = nullptr;
  for (const auto& entry : g_entries) {
    if (entry.used && (latest == nullptr || entry.start_order > latest->start_order)) {
      latest = &entry;
    }
  }
  return latest ? latest->tool_id : 0;
}

}  // namespace zv_memgauge

extern "C" int get_own_tool_id(void) { return zv_memgauge::toolIdOfThread(pthread_self()); }
