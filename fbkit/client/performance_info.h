// CGPerformanceInfo: a process-wide profiler for nested code sections.
// Callers mark points, section starts and section ends by name; the time
// since the previous mark is added to an entry keyed by name, kind and the
// stack of open sections. dump() prints an indented report to stdout.
// Meant for single-threaded profiling; it takes no lock.
#ifndef FBKIT_CLIENT_PERFORMANCE_INFO_H
#define FBKIT_CLIENT_PERFORMANCE_INFO_H

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/basalt/zv_perf.h"
#include "platform/basalt/zv_string.h"

class CGPerformanceInfo {
 public:
  enum eType : int32_t { POINT = 0, SECTION_START = 1, SECTION_END = 2 };

  struct Info {
    CZvString name;
    uint64_t time = 0;
    eType kind = POINT;
    bool unclosed = true;
    CZvString stackText;
    int32_t occurrence = 1;
    int32_t level = 0;
  };

  static CGPerformanceInfo& getInstance();

  void start();
  void stop();
  void logEntry(const CZvString& name, eType kind);
  void setMaxLevel(int32_t level) { mMaxLevel = level; }
  // Reads "maxlevel=<n>" from the settings file.
  void readConfig(const char* path = "./perf_config.txt");
  // Prints the report to out (stdout by default).
  void dump(FILE* out = stdout) const;
  void continueMeasurement() { mStopwatch.start(); }
  // Time since the previous start of the stopwatch.
  uint64_t lastTimespan() const { return mStopwatch.stop(); }

  const std::vector<Info>& entries() const { return mEntries; }
  bool isActive() const { return mActive; }
  int32_t getMaxLevel() const { return mMaxLevel; }
  uint32_t getCount() const { return mCount; }

  // A fresh profiler; the process normally uses getInstance().
  CGPerformanceInfo() = default;
  // For tests: replace the stopwatch with a fixed source of elapsed times.
  void setClockForTest(uint64_t (*elapsed)()) { mTestClock = elapsed; }

 private:
  void logEntryStart(const CZvString& name);
  void logEntryEnd(const CZvString& name);
  void logPoint(const CZvString& name);
  // Adds the elapsed time to the matching entry or appends one; returns the
  // entry's index and whether it was created.
  size_t takeMark(const CZvString& name, eType kind, bool* created);
  void closeEnclosed(size_t entryIndex);
  void foldInnerTimes();
  CZvString currentStackText() const;
  uint64_t elapsed() const { return mTestClock != nullptr ? mTestClock() : lastTimespan(); }

  std::vector<Info> mEntries;
  std::vector<CZvString> mStack;
  uint32_t mCount = 0;
  bool mActive = false;
  int32_t mMaxLevel = 100;
  int32_t mLevel = 0;
  CZvString mLastName;
  CZvPerformanceCheck mStopwatch;
  uint64_t (*mTestClock)() = nullptr;
};

#endif  // FBKIT_CLIENT_PERFORMANCE_INFO_H
