// Trace scopes.
//
// A CZvTraceScopeDef is a static object naming one scope and function; its
// full name is "<scope>_<function>" (just "<scope>" when function is empty).
// Each definition has a level: off, error, warning, message or data; a line
// is written when its level is at or below the definition's. The default
// level is warning (errors and warnings shown, messages off).
//
// Levels are switched by rules "pattern=level" whose patterns may use '*'
// (any run of characters) and '?' (one character); a pattern matches a
// definition when it matches its full name or its scope name. Rules apply
// in order, the last matching rule wins. At start-up the rules come from the
// environment variable ZV_TRACE, e.g.
//   ZV_TRACE="framework_comm_most_*=message,sys_most_*=data"
// and later from ZvTrace::setLevels() (also available as a trace command).
//
// Output goes to stderr, or to the file named by ZV_TRACE_FILE (appended),
// one line each: "[<seconds>.<micros>] <L> <full name>: <text>" where L is
// E, W, M or D.
#ifndef PLATFORM_BASALT_ZV_TRACE_H
#define PLATFORM_BASALT_ZV_TRACE_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"

enum class ZvTraceLevel : uint8_t { Off = 0, Error = 1, Warning = 2, Message = 3, Data = 4 };

class CZvTraceScopeDef : private CZvNonCopyable {
 public:
  CZvTraceScopeDef(const char* scope, const char* function);
  ~CZvTraceScopeDef();

  const CZvString& getName() const { return mName; }
  const CZvString& getScopeName() const { return mScope; }
  const CZvString& getFunctionName() const { return mFunction; }
  // The level at which lines are produced: the configured level, raised
  // while a capture wants more.
  ZvTraceLevel getLevel() const {
    return static_cast<ZvTraceLevel>(mEffective.load(std::memory_order_relaxed));
  }
  ZvTraceLevel getConfiguredLevel() const {
    return static_cast<ZvTraceLevel>(mConfigured.load(std::memory_order_relaxed));
  }
  bool isEnabled(ZvTraceLevel level) const {
    return level != ZvTraceLevel::Off &&
           static_cast<uint8_t>(level) <= mEffective.load(std::memory_order_relaxed);
  }

  // Internal: set by the trace registry.
  void setLevels(ZvTraceLevel configured, ZvTraceLevel effective) {
    mConfigured.store(static_cast<uint8_t>(configured), std::memory_order_relaxed);
    mEffective.store(static_cast<uint8_t>(effective), std::memory_order_relaxed);
  }

 private:
  CZvString mScope;
  CZvString mFunction;
  CZvString mName;
  std::atomic<uint8_t> mConfigured{static_cast<uint8_t>(ZvTraceLevel::Warning)};
  std::atomic<uint8_t> mEffective{static_cast<uint8_t>(ZvTraceLevel::Warning)};
};

class CZvTraceScope {
 public:
  explicit CZvTraceScope(const CZvTraceScopeDef& def) : mDef(def) {}

  void sendFormattedError(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
  void sendFormattedWarning(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
  void sendFormattedMessage(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
  void sendFormattedData(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
  // Written at message level whatever the scope's level.
  void sendMessageUnconditionally(const char* fmt, ...) const __attribute__((format(printf, 2, 3)));
  // Plain texts (no formatting).
  void sendError(const char* text) const;
  void sendWarning(const char* text) const;
  void sendMessage(const char* text) const;
  // Data level: "<label>: 01 02 ..." with the bytes in hex.
  void sendHexData(const char* label, const void* data, uint32_t n) const;

  bool isErrorEnabled() const { return mDef.isEnabled(ZvTraceLevel::Error); }
  bool isWarningEnabled() const { return mDef.isEnabled(ZvTraceLevel::Warning); }
  bool isMessageEnabled() const { return mDef.isEnabled(ZvTraceLevel::Message); }
  bool isDataEnabled() const { return mDef.isEnabled(ZvTraceLevel::Data); }
  const CZvTraceScopeDef& getDef() const { return mDef; }

 private:
  const CZvTraceScopeDef& mDef;
};

namespace ZvTrace {
// Parses "pattern=level[,pattern=level...]" and appends the rules. Level
// names: off, error, warning, message, data (also all = data). Returns false
// and changes nothing when any item is malformed.
bool setLevels(const char* rules);
// Appends one rule.
void setLevel(const char* pattern, ZvTraceLevel level);
// Drops every rule (all scopes back to the default level).
void resetLevels();
// '*' and '?' wildcard match over the whole text.
bool matchPattern(const char* pattern, const char* text);
bool parseLevel(const char* name, ZvTraceLevel& level);
const char* levelName(ZvTraceLevel level);
// Output to this file (appended); null or "" means stderr. Returns false
// when the file cannot be opened (output stays as it was).
bool setOutputFile(const char* path);
// Writes one line for def at level regardless of the level settings.
void writeLine(const CZvTraceScopeDef& def, ZvTraceLevel level, const char* text);
// Full names of every live scope definition.
std::vector<CZvString> scopeNames();
}  // namespace ZvTrace

struct SZvTraceScopeInfo {
  CZvString name;
  ZvTraceLevel level;  // configured level
};

namespace ZvTrace {
// Every live scope definition with its configured level.
std::vector<SZvTraceScopeInfo> scopes();
// The rules in force, oldest first, as "pattern=level". A rule replaces
// earlier rules with the same pattern, and "*" replaces all of them.
std::vector<CZvString> rules();
}  // namespace ZvTrace

struct SZvTraceLine {
  CZvString scope;  // full name of the definition
  ZvTraceLevel level;
  CZvString text;
};

// Records every line of the scopes matching pattern up to level maxLevel
// while it lives, whatever the output settings; it raises those scopes'
// levels to maxLevel meanwhile. Safe to use while other threads trace.
class CZvTraceCapture : private CZvNonCopyable {
 public:
  explicit CZvTraceCapture(const char* pattern = "*", ZvTraceLevel maxLevel = ZvTraceLevel::Data);
  ~CZvTraceCapture();

  std::vector<SZvTraceLine> lines() const;
  std::vector<CZvString> texts() const;
  // True when some line has exactly this text.
  bool contains(const char* text) const;
  // True when some line's text contains fragment.
  bool containsFragment(const char* fragment) const;
  uint32_t count(const char* text) const;
  void clear();

  // Internal.
  const CZvString& pattern() const { return mPattern; }
  ZvTraceLevel maxLevel() const { return mMaxLevel; }
  void record(const CZvTraceScopeDef& def, ZvTraceLevel level, const char* text);

 private:
  CZvString mPattern;
  ZvTraceLevel mMaxLevel;
  mutable std::mutex mMutex;
  std::vector<SZvTraceLine> mLines;
};

#endif  // PLATFORM_BASALT_ZV_TRACE_H
