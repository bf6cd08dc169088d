#include "memgauge/proc_text.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

namespace zv_memgauge {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(const char* text, size_t length, size_t* position) {
  while (*position < length && isBlank(text[*position])) ++*position;
}

// Reads digits of `base` (10 or 16) at *position; false on none or overflow.
bool readUnsigned(const char* text, size_t length, size_t* position, int base, uint64_t* value) {
  uint64_t result = 0;
  size_t start = *position;
  while (*position < length) {
    char c = text[*position];
    unsigned digit;
    if (isDigit(c)) {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (result > (UINT64_MAX - digit) / static_cast<unsigned>(base)) return false;
    result = result * static_cast<unsigned>(base) + digit;
    ++*position;
  }
  if (*position == start) return false;
  *value = result;
  return true;
}

bool startsWith(const char* line, size_t length, const char* prefix) {
  size_t prefix_length = strlen(prefix);
  return length >= prefix_length && memcmp(line, prefix, prefix_length) == 0;
}

}  // namespace

bool readProcFile(const char* path, std::string* text, size_t max_bytes) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text->clear();
  char chunk[4096];
  bool ok = true;
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;
    if (text->size() + static_cast<size_t>(got) > max_bytes) {
      ok = false;
      errno = EFBIG;
      break;
    }
    text->append(chunk, static_cast<size_t>(got));
  }
  int saved = errno;
  close(fd);
  errno = saved;
  return ok;
}

bool parseMeminfoBytes(const char* text, size_t length, const char* field, int64_t* bytes) {
  bool found = false;
  size_t field_length = strlen(field);
  forEachLine(text, length, [&](const char* line, size_t line_length) {
    if (found || line_length <= field_length || memcmp(line, field, field_length) != 0 ||
        line[field_length] != ':') {
      return;
    }
    size_t position = field_length + 1;
    skipBlanks(line, line_length, &position);
    uint64_t kilobytes;
    if (!readUnsigned(line, line_length, &position, 10, &kilobytes)) return;
    skipBlanks(line, line_length, &position);
    if (line_length - position != 2 || memcmp(line + position, "kB", 2) != 0) return;
    if (kilobytes > static_cast<uint64_t>(INT64_MAX) / 1024) return;
    *bytes = static_cast<int64_t>(kilobytes * 1024);
    found = true;
  });
  return found;
}

bool parseStatIdle(const char* text, size_t length, SZvStatIdle* idle) {
  SZvStatIdle result;
  bool malformed = false;
  forEachLine(text, length, [&](const char* line, size_t line_length) {
    if (malformed || !startsWith(line, line_length, "cpu") || line_length < 4 || !isDigit(line[3])) {
      return;
    }
    size_t position = 3;
    uint64_t ignored_index;
    if (!readUnsigned(line, line_length, &position, 10, &ignored_index)) {
      malformed = true;
      return;
    }
    uint64_t value = 0;
    for (int column = 0; column < 4; ++column) {  // user nice system idle
      size_t before = position;
      skipBlanks(line, line_length, &position);
      if (position == before || !readUnsigned(line, line_length, &position, 10, &value)) {
        malformed = true;
        return;
      }
    }
    result.idle_ticks += value;  // wraps like the kernel's counters; only differences count
    ++result.processors;
  });
  if (malformed || result.processors == 0) return false;
  *idle = result;
  return true;
}

bool parseMapsLine(const char* line, size_t length, SZvMapsEntry* entry) {
  SZvMapsEntry result;
  size_t position = 0;
  if (!readUnsigned(line, length, &position, 16, &result.start)) return false;
  if (position >= length || line[position] != '-') return false;
  ++position;
  if (!readUnsigned(line, length, &position, 16, &result.end) || result.end < result.start) {
    return false;
  }
  if (position >= length || line[position] != ' ') return false;
  ++position;
  if (length - position < 5 || line[position + 4] != ' ') return false;
  memcpy(result.perms, line + position, 4);
  position += 5;
  if (!readUnsigned(line, length, &position, 16, &result.offset)) return false;
  // Device "major:minor" and inode.
  skipBlanks(line, length, &position);
  uint64_t ignored;
  if (!readUnsigned(line, length, &position, 16, &ignored) || position >= length ||
      line[position] != ':') {
    return false;
  }
  ++position;
  if (!readUnsigned(line, length, &position, 16, &ignored)) return false;
  skipBlanks(line, length, &position);
  if (!readUnsigned(line, length, &position, 10, &ignored)) return false;
  skipBlanks(line, length, &position);
  result.path = line + position;
  result.path_length = length - position;
  *entry = result;
  return true;
}

}  // namespace zv_memgauge

namespace zv_memgauge {

bool parseProcessStat(const char* text, size_t length, SZvProcStat* stat) {
  // "pid (command) state ppid ...": the command may hold blanks and
  // parentheses, so it ends at the last ')'.
  size_t open_paren = 0;
  while (open_paren < length && text[open_paren] != '(') ++open_paren;
  size_t close_paren = length;
  while (close_paren > open_paren && text[close_paren - 1] != ')') --close_paren;
  if (open_paren >= length || close_paren <= open_paren + 1) return false;
  --close_paren;  // index of ')'
  SZvProcStat result;
  size_t position = 0;
  uint64_t pid;
  if (!readUnsigned(text, open_paren, &position, 10, &pid) || pid > INT32_MAX) return false;
  result.pid = static_cast<int>(pid);
  result.command.assign(text + open_paren + 1, close_paren - open_paren - 1);
  position = close_paren + 1;
  // Fields from 3 on, numbered as in proc(5).
  uint64_t values[25] = {};
  for (int field = 3; field <= 24; ++field) {
    size_t before = position;
    skipBlanks(text, length, &position);
    if (position == before || position >= length) return false;
    if (field == 3) {
      result.state = text[position++];
      continue;
    }
    bool negative = text[position] == '-';
    if (negative) ++position;
    if (!readUnsigned(text, length, &position, 10, &values[field])) return false;
    if (negative) values[field] = 0;  // only a few fields may be negative; none we keep
  }
  if (values[4] > INT32_MAX) return false;
  result.parent_pid = static_cast<int>(values[4]);
  result.user_ticks = values[14];
  result.system_ticks = values[15];
  result.num_threads = static_cast<int64_t>(values[20] > INT64_MAX ? INT64_MAX : values[20]);
  result.virtual_bytes = values[23];
  result.resident_pages = values[24];
  *stat = std::move(result);
  return true;
}

bool parseCmdline(const char* text, size_t length, std::string* program, std::string* arguments) {
  while (length > 0 && text[length - 1] == '\0') --length;
  if (length == 0) return false;
  size_t end = 0;
  while (end < length && text[end] != '\0') ++end;
  program->assign(text, end);
  arguments->clear();
  for (size_t position = end + 1; position < length; ++position) {
    arguments->push_back(text[position] == '\0' ? ' ' : text[position]);
  }
  return !program->empty();
}

}  // namespace zv_memgauge
