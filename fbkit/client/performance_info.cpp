#include "fbkit/client/performance_info.h"

#include <cstdlib>
#include <limits>

CGPerformanceInfo& CGPerformanceInfo::getInstance() {
  static CGPerformanceInfo instance;
  return instance;
}

void CGPerformanceInfo::start() {
  mEntries.clear();
  mStack.clear();
  mCount = 0;
  mLevel = 0;
  mStopwatch.start();
  mActive = true;
}

void CGPerformanceInfo::stop() {
  mStack.clear();
  mLevel = 0;
  mActive = false;
  foldInnerTimes();
}

void CGPerformanceInfo::logEntry(const CZvString& name, eType kind) {
  if (!mActive) return;
  if (mLevel >= mMaxLevel) {
    // Deeper marks are dropped; only the end of the section that reached
    // the limit is taken, so that the level comes back down.
    if (kind != SECTION_END || name != mLastName) return;
  }
  switch (kind) {
    case SECTION_START:
      logEntryStart(name);
      break;
    case SECTION_END:
      logEntryEnd(name);
      break;
    default:
      logPoint(name);
      break;
  }
  ++mCount;
}

CZvString CGPerformanceInfo::currentStackText() const {
  CZvString text;
  for (size_t i = 0; i < mStack.size(); ++i) {
    if (i > 0) text.append('_');
    text.append(mStack[i]);
  }
  return text;
}

size_t CGPerformanceInfo::takeMark(const CZvString& name, eType kind, bool* created) {
  const uint64_t spent = elapsed();
  const CZvString stack = currentStackText();
  for (size_t i = 0; i < mEntries.size(); ++i) {
    Info& e = mEntries[i];
    if (e.name != name || e.kind != kind || e.stackText != stack) continue;
    // A still unclosed entry is only continued at the outermost level.
    if (e.unclosed && !mStack.empty()) continue;
    e.time += spent;
    *created = false;
    return i;
  }
  Info info;
  info.name = name;
  info.kind = kind;
  info.time = spent;
  info.stackText = stack;
  info.unclosed = true;
  info.level = mLevel;
  info.occurrence = 1;
  for (size_t i = mEntries.size(); i-- > 0;) {
    const Info& e = mEntries[i];
    if (e.name == name && e.kind == kind && e.stackText == stack) {
      info.occurrence = e.occurrence + 1;
      break;
    }
  }
  mEntries.push_back(info);
  *created = true;
  return mEntries.size() - 1;
}

void CGPerformanceInfo::closeEnclosed(size_t entryIndex) {
  const Info& self = mEntries[entryIndex];
  size_t from = 0;
  for (size_t i = 0; i < entryIndex; ++i) {
    const Info& e = mEntries[i];
    if (e.kind == SECTION_START && e.name == self.name && e.stackText == self.stackText &&
        e.occurrence == self.occurrence) {
      from = i + 1;
      break;
    }
  }
  for (size_t i = from; i < entryIndex; ++i) mEntries[i].unclosed = false;
}

void CGPerformanceInfo::logEntryStart(const CZvString& name) {
  bool created = false;
  takeMark(name, SECTION_START, &created);
  mStack.push_back(name);
  ++mLevel;
  mLastName = name;
  continueMeasurement();
}

void CGPerformanceInfo::logEntryEnd(const CZvString& name) {
  if (!mStack.empty()) mStack.pop_back();
  if (mLevel > 0) --mLevel;
  bool created = false;
  const size_t index = takeMark(name, SECTION_END, &created);
  closeEnclosed(index);
  continueMeasurement();
}

void CGPerformanceInfo::logPoint(const CZvString& name) {
  bool created = false;
  const size_t index = takeMark(name, POINT, &created);
  if (created) closeEnclosed(index);
  continueMeasurement();
}

void CGPerformanceInfo::foldInnerTimes() {
  for (size_t end = 0; end < mEntries.size(); ++end) {
    Info& e = mEntries[end];
    if (e.kind != SECTION_END) continue;
    size_t start = end;
    for (size_t i = end; i-- > 0;) {
      const Info& s = mEntries[i];
      if (s.kind == SECTION_START && s.name == e.name && s.stackText == e.stackText) {
        start = i;
        break;
      }
    }
    if (start == end) continue;  // an end without start has nothing inside
    uint64_t inner = 0;
    for (size_t i = start + 1; i < end; ++i) {
      if (mEntries[i].level == e.level + 1) inner += mEntries[i].time;
    }
    e.time += inner;
  }
}

void CGPerformanceInfo::readConfig(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return;
  char text[1025];
  const size_t n = std::fread(text, 1, 1024, file);
  std::fclose(file);
  if (n < 1 || n > 1022) return;
  text[n] = '\0';
  CZvString content(text, static_cast<uint32_t>(n));
  const int32_t key = content.find("maxlevel=");
  if (key >= 0) content.remove(static_cast<uint32_t>(key), 9);
  char* endPtr = nullptr;
  const long value = std::strtol(content.c_str(), &endPtr, 10);
  // Only a number that was actually there replaces the limit.
  if (endPtr != content.c_str() && value >= 0 && value <= std::numeric_limits<int32_t>::max()) {
    mMaxLevel = static_cast<int32_t>(value);
  }
}

void CGPerformanceInfo::dump(FILE* out) const {
  const uint64_t cycles =
      mEntries.empty() ? std::numeric_limits<uint64_t>::max() : mCount / mEntries.size();
  // More entries than marks cannot happen while marks create entries, but a
  // division by zero must not be the way to find out.
  const uint64_t divisor = cycles == 0 ? 1 : cycles;
  int32_t indent = 0;
  for (size_t i = 0; i < mEntries.size(); ++i) {
    const Info& e = mEntries[i];
    if (i == 0) std::fprintf(out, "\n\n_____________ PERFORMANCE ______________\n");
    int32_t tabs = e.kind == SECTION_END ? indent - 1 : indent;
    CZvString text;
    for (int32_t t = 0; t < tabs; ++t) text.append('\t');
    if (e.kind == SECTION_START) {
      text.append("Starting: ").append(e.name).append(" - ");
    } else {
      text.append(e.name);
    }
    const uint64_t per = e.time / divisor;
    std::fprintf(out,
                 "\n%s %llu cycles, time per cycle: %llu s %llu milli s %llu micro s %llu nano s\n",
                 text.c_str(), static_cast<unsigned long long>(cycles),
                 static_cast<unsigned long long>(per / 1000000000ull),
                 static_cast<unsigned long long>((per / 1000000ull) % 1000ull),
                 static_cast<unsigned long long>((per / 1000ull) % 1000ull),
                 static_cast<unsigned long long>(per % 1000ull));
    if (e.kind == SECTION_START) ++indent;
    if (e.kind == SECTION_END && indent > 0) --indent;
  }
  if (!mEntries.empty()) std::fprintf(out, "\n\n________________________________________\n\n");
}
