// Page mappings and shared objects of a process, from /proc/<pid>/maps.
#include <errno.h>
#include <inttypes.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "memgauge/proc_text.h"
#include "memgauge/pxm_assert.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge {
namespace {

bool readMaps(int pid, std::vector<SZvMapsEntry>* entries, std::string* text) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/maps", pid);
  if (!readProcFile(path, text, 64u << 20)) return false;
  entries->clear();
  forEachLine(text->data(), text->size(), [&](const char* line, size_t length) {
    SZvMapsEntry entry;
    if (parseMapsLine(line, length, &entry)) entries->push_back(entry);
  });
  return true;
}

bool isSharedObject(const SZvMapsEntry& entry) {
  if (entry.path_length == 0 || entry.path[0] != '/') return false;
  std::string path(entry.path, entry.path_length);
  size_t so = path.rfind(".so");
  return so != std::string::npos && (so + 3 == path.size() || path[so + 3] == '.');
}

// Each shared object once, at the lowest address it is mapped at (its base),
// in the order they appear.
bool collectSharedObjects(int pid, std::vector<SZvSharedObject>* objects) {
  std::vector<SZvMapsEntry> entries;
  std::string text;
  if (!readMaps(pid, &entries, &text)) return false;
  objects->clear();
  for (const SZvMapsEntry& entry : entries) {
    if (!isSharedObject(entry)) continue;
    std::string path(entry.path, entry.path_length);
    bool known = false;
    for (SZvSharedObject& object : *objects) {
      if (path == object.name) {
        if (entry.start < object.base) object.base = entry.start;
        known = true;
      }
    }
    if (known) continue;
    SZvSharedObject object;
    object.base = entry.start;
    snprintf(object.name, sizeof object.name, "%s", path.c_str());
    objects->push_back(object);
  }
  return true;
}

std::string processName(int pid) {
  char name[ZV_TBOX_NAME_SIZE];
  _tbox_get_name_for_pid(pid, name, sizeof name);
  return name;
}

}  // namespace
}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int _tbox_get_num_page_mappings(int pid, int* count) {
  ZV_PXM_ASSERT(count != nullptr);
  std::vector<SZvMapsEntry> entries;
  std::string text;
  if (!readMaps(pid, &entries, &text)) return ESRCH;
  *count = static_cast<int>(entries.size());
  return 0;
}

extern "C" int _tbox_get_page_mappings(int pid, SZvPageMapping* mappings, int capacity,
                                       int* count) {
  ZV_PXM_ASSERT(count != nullptr && (mappings != nullptr || capacity <= 0));
  std::vector<SZvMapsEntry> entries;
  std::string text;
  if (!readMaps(pid, &entries, &text)) return ESRCH;
  for (size_t index = 0; index < entries.size() && static_cast<int>(index) < capacity; ++index) {
    mappings[index].start = entries[index].start;
    mappings[index].end = entries[index].end;
    mappings[index].offset = entries[index].offset;
    memcpy(mappings[index].perms, entries[index].perms, sizeof mappings[index].perms);
  }
  *count = static_cast<int>(entries.size());
  return 0;
}

extern "C" int _tbox_get_sharedobject_mappings(int pid, SZvSharedObject* objects, int capacity,
                                               int* count) {
  ZV_PXM_ASSERT(count != nullptr && (objects != nullptr || capacity <= 0));
  std::vector<SZvSharedObject> found;
  if (!collectSharedObjects(pid, &found)) return ESRCH;
  for (size_t index = 0; index < found.size() && static_cast<int>(index) < capacity; ++index) {
    objects[index] = found[index];
  }
  *count = static_cast<int>(found.size());
  return 0;
}

extern "C" int _tbox_sharedobject_mappings_fillbuffer(int pid, char* buffer, size_t size) {
  ZV_PXM_ASSERT(buffer != nullptr);
  std::vector<SZvSharedObject> found;
  if (!collectSharedObjects(pid, &found)) return ESRCH;
  std::string text;
  for (const SZvSharedObject& object : found) {
    char address[32];
    snprintf(address, sizeof address, " 0x%" PRIx64 "\n", object.base);
    text += object.name;
    text += address;
  }
  if (text.size() + 1 > size) return ZV_TBOX_BUFFER_TOO_SMALL;
  memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}

extern "C" int _tbox_dump_sharedobject_mappings_file_and_toolid(int pid, FILE* file, int tool_id) {
  ZV_PXM_ASSERT(file != nullptr);
  std::vector<SZvSharedObject> found;
  if (!collectSharedObjects(pid, &found)) return ESRCH;
  std::string name = processName(pid);
  // Addresses are printed in full: on 64 bits they do not fit 8 digits.
  if (tool_id > 0) {
    fprintf(file, "%d %s pid %d has the following shared object mappings\n", tool_id,
            name.c_str(), pid);
    for (const SZvSharedObject& object : found) {
      fprintf(file, "%d   @%8" PRIx64 " %s\n", tool_id, object.base, object.name);
    }
  } else {
    fprintf(file, "%s pid %d has the following shared object mappings\n", name.c_str(), pid);
    for (const SZvSharedObject& object : found) {
      fprintf(file, "   @%8" PRIx64 " %s\n", object.base, object.name);
    }
  }
  fflush(file);
  return 0;
}

extern "C" int _tbox_dump_sharedobject_mappings_file(int pid, FILE* file) {
  return _tbox_dump_sharedobject_mappings_file_and_toolid(pid, file, 0);
}

extern "C" int _tbox_dump_sharedobject_mappings(int pid) {
  return _tbox_dump_sharedobject_mappings_file_and_toolid(pid, stdout, 0);
}
