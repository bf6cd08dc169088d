#include "platform/loom/process_info.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace ZvApplication {
namespace {

std::mutex& nameMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& overriddenName() {
  static std::string name;
  return name;
}

std::string defaultProcessName() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length > 0) {
    path[length] = '\0';
    const char* base = strrchr(path, '/');
    return base ? base + 1 : path;
  }
  char name[64] = {};
  FILE* file = fopen("/proc/self/comm", "r");
  if (file) {
    if (!fgets(name, sizeof(name), file)) name[0] = '\0';
    fclose(file);
  }
  name[strcspn(name, "\n")] = '\0';
  return name;
}

}  // namespace

std::string getProcessName() {
  {
    std::lock_guard<std::mutex> lock(nameMutex());
    if (!overriddenName().empty()) return overriddenName();
  }
  return defaultProcessName();
}

void setProcessName(const char* name) {
  std::lock_guard<std::mutex> lock(nameMutex());
  overriddenName() = name ? name : "";
}

}  // namespace ZvApplication
