#include "platform/communication/comm_log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace communication {
namespace {

std::mutex& sinkMutex() {
  static std::mutex mutex;
  return mutex;
}

LogSink gSink = nullptr;
void* gSinkContext = nullptr;

void writeToStandardError(LogLevel level, const char* text) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm parts{};
  gmtime_r(&now.tv_sec, &parts);
  char stamp[40];
  strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", &parts);
  // One fprintf per line, so lines of concurrent writers do not interleave.
  fprintf(stderr, "%s.%03ld %s %s\n", stamp, now.tv_nsec / 1000000L,
          level == LogLevel::kError ? "E" : "I", text);
}

}  // namespace

void setLogSink(LogSink sink, void* context, LogSink* previousSink, void** previousContext) {
  std::lock_guard<std::mutex> lock(sinkMutex());
  if (previousSink) *previousSink = gSink;
  if (previousContext) *previousContext = gSinkContext;
  gSink = sink;
  gSinkContext = context;
}

void logLine(LogLevel level, const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int needed = vsnprintf(small, sizeof(small), format, args);
  va_end(args);
  std::string large;
  const char* text = small;
  if (needed < 0) {
    text = "(unformattable log line)";
  } else if (static_cast<size_t>(needed) >= sizeof(small)) {
    large.resize(static_cast<size_t>(needed) + 1);
    vsnprintf(&large[0], large.size(), format, copy);
    large.resize(static_cast<size_t>(needed));
    text = large.c_str();
  }
  va_end(copy);

  std::lock_guard<std::mutex> lock(sinkMutex());
  if (gSink) {
    gSink(level, text, gSinkContext);
  } else {
    writeToStandardError(level, text);
  }
}

}  // namespace communication
