// Parsers of the kernel's text files under /proc. They take the bytes as
// read (no terminator needed) and reject anything malformed.
#ifndef MEMGAUGE_PROC_TEXT_H
#define MEMGAUGE_PROC_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace zv_memgauge {

// Reads a whole /proc file (their sizes show as 0, so it reads to the end).
// Files over `max_bytes` are refused.
bool readProcFile(const char* path, std::string* text, size_t max_bytes = 4u << 20);

// The line "<field>: <n> kB" of /proc/meminfo, as bytes.
bool parseMeminfoBytes(const char* text, size_t length, const char* field, int64_t* bytes);

// Sum of the idle column (4th value) of the "cpuN" lines of /proc/stat, in
// clock ticks, and the number of such lines.
struct SZvStatIdle {
  int processors = 0;
  uint64_t idle_ticks = 0;
};
bool parseStatIdle(const char* text, size_t length, SZvStatIdle* idle);

// One line of /proc/<pid>/maps: "start-end perms offset dev inode [path]".
struct SZvMapsEntry {
  uint64_t start = 0;
  uint64_t end = 0;
  uint64_t offset = 0;
  char perms[5] = {};
  const char* path = nullptr;  // points into the line; not terminated
  size_t path_length = 0;
};
bool parseMapsLine(const char* line, size_t length, SZvMapsEntry* entry);

// The fields of /proc/<pid>/stat the toolkit uses (times in clock ticks,
// resident size in pages).
struct SZvProcStat {
  int pid = 0;
  std::string command;  // the name in parentheses
  char state = '?';
  int parent_pid = 0;
  uint64_t user_ticks = 0;
  uint64_t system_ticks = 0;
  int64_t num_threads = 0;
  uint64_t virtual_bytes = 0;
  uint64_t resident_pages = 0;
};
bool parseProcessStat(const char* text, size_t length, SZvProcStat* stat);

// /proc/<pid>/cmdline: NUL-separated words. `program` gets the first word,
// `arguments` the others joined by blanks. False for an empty command line
// (kernel threads and zombies have none).
bool parseCmdline(const char* text, size_t length, std::string* program, std::string* arguments);

// Calls `visit(line, length)` for every line of `text`.
template <typename Visitor>
void forEachLine(const char* text, size_t length, Visitor&& visit) {
  size_t start = 0;
  while (start < length) {
    size_t end = start;
    while (end < length && text[end] != '\n') ++end;
    visit(text + start, end - start);
    start = end + 1;
  }
}

}  // namespace zv_memgauge

#endif  // MEMGAUGE_PROC_TEXT_H
