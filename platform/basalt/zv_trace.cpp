#include "platform/basalt/zv_trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/basalt/zv_os.h"

namespace {
struct Rule {
  std::string pattern;
  ZvTraceLevel level;
};

// Every scope definition, rule, capture and the output, under one lock.
struct TraceRegistry {
  std::mutex mutex;
  std::vector<CZvTraceScopeDef*> defs;
  std::vector<Rule> rules;
  std::vector<CZvTraceCapture*> captures;
  FILE* out = stderr;

  // Reads the environment without calling back into registry(), which is
  // still being initialised.
  TraceRegistry();
};

// Parses "pattern=level[,pattern=level...]"; false when any item is malformed.
bool parseRules(const char* text, std::vector<Rule>& parsed) {
  if (text == nullptr) return false;
  const std::string all(text);
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(',', start);
    if (end == std::string::npos) end = all.size();
    std::string item = all.substr(start, end - start);
    // Blanks around items are allowed: "a=message, b=data".
    const size_t first = item.find_first_not_of(" \t");
    const size_t last = item.find_last_not_of(" \t");
    item = first == std::string::npos ? std::string() : item.substr(first, last - first + 1);
    if (!item.empty()) {
      const size_t eq = item.rfind('=');
      ZvTraceLevel level;
      if (eq == std::string::npos || eq == 0 || !ZvTrace::parseLevel(item.c_str() + eq + 1, level))
        return false;
      parsed.push_back({item.substr(0, eq), level});
    }
    start = end + 1;
  }
  return true;
}

TraceRegistry::TraceRegistry() {
  const char* rulesText = std::getenv("ZV_TRACE");
  if (rulesText != nullptr && !parseRules(rulesText, rules)) {
    rules.clear();
    std::fprintf(stderr, "ZV_TRACE ignored: malformed rules \"%s\"\n", rulesText);
  }
  const char* file = std::getenv("ZV_TRACE_FILE");
  if (file != nullptr && *file != '\0') {
    out = std::fopen(file, "a");
    if (out == nullptr) {
      out = stderr;
      std::fprintf(stderr, "ZV_TRACE_FILE %s cannot be opened, tracing to stderr\n", file);
    }
  }
}

// Created on first use and never destroyed: static scope definitions of
// other libraries register before main() and unregister after it.
TraceRegistry& registry() {
  static TraceRegistry* instance = new TraceRegistry();
  return *instance;
}

bool matches(const std::string& pattern, const CZvTraceScopeDef& def) {
  return ZvTrace::matchPattern(pattern.c_str(), def.getName().c_str()) ||
         ZvTrace::matchPattern(pattern.c_str(), def.getScopeName().c_str());
}

ZvTraceLevel maxLevel(ZvTraceLevel a, ZvTraceLevel b) {
  return static_cast<uint8_t>(a) >= static_cast<uint8_t>(b) ? a : b;
}

void updateLocked(TraceRegistry& r, CZvTraceScopeDef& def) {
  ZvTraceLevel configured = ZvTraceLevel::Warning;
  for (const Rule& rule : r.rules) {
    if (matches(rule.pattern, def)) configured = rule.level;
  }
  ZvTraceLevel effective = configured;
  for (const CZvTraceCapture* capture : r.captures) {
    if (matches(capture->pattern().toStdString(), def)) effective = maxLevel(effective, capture->maxLevel());
  }
  def.setLevels(configured, effective);
}

// Appends a rule. Earlier rules that it shadows completely (same pattern,
// or every rule when the pattern is "*") are dropped, so that switching
// levels again and again does not make the list grow.
void appendRuleLocked(TraceRegistry& r, const Rule& rule) {
  if (rule.pattern == "*") {
    r.rules.clear();
  } else {
    for (auto it = r.rules.begin(); it != r.rules.end();) {
      it = (it->pattern == rule.pattern) ? r.rules.erase(it) : it + 1;
    }
  }
  r.rules.push_back(rule);
}

void updateAllLocked(TraceRegistry& r) {
  for (CZvTraceScopeDef* def : r.defs) updateLocked(r, *def);
}

char levelLetter(ZvTraceLevel level) {
  switch (level) {
    case ZvTraceLevel::Error:
      return 'E';
    case ZvTraceLevel::Warning:
      return 'W';
    case ZvTraceLevel::Message:
      return 'M';
    case ZvTraceLevel::Data:
      return 'D';
    default:
      return '-';
  }
}

// Writes the line when forced or allowed by the configured level, and hands
// it to the captures that want it.
void emit(const CZvTraceScopeDef& def, ZvTraceLevel level, const char* text, bool force) {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (force || static_cast<uint8_t>(level) <= static_cast<uint8_t>(def.getConfiguredLevel())) {
    const uint64_t ns = ZvOperatingSystem::getRealMonotonicTime();
    std::fprintf(r.out, "[%llu.%06llu] %c %s: %s\n", static_cast<unsigned long long>(ns / 1000000000ull),
                 static_cast<unsigned long long>((ns / 1000ull) % 1000000ull), levelLetter(level),
                 def.getName().c_str(), text);
    std::fflush(r.out);
  }
  for (CZvTraceCapture* capture : r.captures) {
    if (static_cast<uint8_t>(level) <= static_cast<uint8_t>(capture->maxLevel()) &&
        matches(capture->pattern().toStdString(), def)) {
      capture->record(def, level, text);
    }
  }
}

void vsend(const CZvTraceScopeDef& def, ZvTraceLevel level, bool force, const char* fmt, va_list args) {
  if (!force && !def.isEnabled(level)) return;
  char small[512];
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(small, sizeof(small), fmt ? fmt : "", copy);
  va_end(copy);
  if (needed < 0) return;
  if (static_cast<size_t>(needed) < sizeof(small)) {
    emit(def, level, small, force);
    return;
  }
  std::string big(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(&big[0], big.size(), fmt, args);
  big.resize(static_cast<size_t>(needed));
  emit(def, level, big.c_str(), force);
}
}  // namespace

CZvTraceScopeDef::CZvTraceScopeDef(const char* scope, const char* function)
    : mScope(scope), mFunction(function) {
  mName = mScope;
  if (!mFunction.isEmpty()) {
    mName.append('_');
    mName.append(mFunction);
  }
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.defs.push_back(this);
  updateLocked(r, *this);
}

CZvTraceScopeDef::~CZvTraceScopeDef() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (auto it = r.defs.begin(); it != r.defs.end(); ++it) {
    if (*it == this) {
      r.defs.erase(it);
      break;
    }
  }
}

#define ZV_TRACE_SEND(level, force)         \
  va_list args;                             \
  va_start(args, fmt);                      \
  vsend(mDef, (level), (force), fmt, args); \
  va_end(args)

void CZvTraceScope::sendFormattedError(const char* fmt, ...) const {
  ZV_TRACE_SEND(ZvTraceLevel::Error, false);
}
void CZvTraceScope::sendFormattedWarning(const char* fmt, ...) const {
  ZV_TRACE_SEND(ZvTraceLevel::Warning, false);
}
void CZvTraceScope::sendFormattedMessage(const char* fmt, ...) const {
  ZV_TRACE_SEND(ZvTraceLevel::Message, false);
}
void CZvTraceScope::sendFormattedData(const char* fmt, ...) const {
  ZV_TRACE_SEND(ZvTraceLevel::Data, false);
}
void CZvTraceScope::sendMessageUnconditionally(const char* fmt, ...) const {
  ZV_TRACE_SEND(ZvTraceLevel::Message, true);
}
#undef ZV_TRACE_SEND

void CZvTraceScope::sendError(const char* text) const {
  if (isErrorEnabled()) emit(mDef, ZvTraceLevel::Error, text ? text : "", false);
}
void CZvTraceScope::sendWarning(const char* text) const {
  if (isWarningEnabled()) emit(mDef, ZvTraceLevel::Warning, text ? text : "", false);
}
void CZvTraceScope::sendMessage(const char* text) const {
  if (isMessageEnabled()) emit(mDef, ZvTraceLevel::Message, text ? text : "", false);
}

void CZvTraceScope::sendHexData(const char* label, const void* data, uint32_t n) const {
  if (!isDataEnabled()) return;
  static const char kHex[] = "0123456789abcdef";
  std::string text = label ? label : "";
  text += ":";
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (uint32_t i = 0; bytes != nullptr && i < n; ++i) {
    text.push_back(' ');
    text.push_back(kHex[bytes[i] >> 4]);
    text.push_back(kHex[bytes[i] & 0x0F]);
  }
  emit(mDef, ZvTraceLevel::Data, text.c_str(), false);
}

namespace ZvTrace {
bool matchPattern(const char* pattern, const char* text) {
  if (pattern == nullptr || text == nullptr) return false;
  // Iterative glob match with backtracking to the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*text) {
    if (*pattern == '*') {
      star = pattern++;
      resume = text;
    } else if (*pattern == '?' || *pattern == *text) {
      ++pattern;
      ++text;
    } else if (star) {
      pattern = star + 1;
      text = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

bool parseLevel(const char* name, ZvTraceLevel& level) {
  static const std::pair<const char*, ZvTraceLevel> kNames[] = {
      {"off", ZvTraceLevel::Off},         {"error", ZvTraceLevel::Error}, {"warning", ZvTraceLevel::Warning},
      {"message", ZvTraceLevel::Message}, {"data", ZvTraceLevel::Data},   {"all", ZvTraceLevel::Data}};
  if (name == nullptr) return false;
  for (const auto& entry : kNames) {
    if (std::strcmp(entry.first, name) == 0) {
      level = entry.second;
      return true;
    }
  }
  return false;
}

const char* levelName(ZvTraceLevel level) {
  switch (level) {
    case ZvTraceLevel::Off:
      return "off";
    case ZvTraceLevel::Error:
      return "error";
    case ZvTraceLevel::Warning:
      return "warning";
    case ZvTraceLevel::Message:
      return "message";
    case ZvTraceLevel::Data:
      return "data";
  }
  return "?";
}

bool setLevels(const char* rules) {
  std::vector<Rule> parsed;
  if (!parseRules(rules, parsed)) return false;
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (const Rule& rule : parsed) appendRuleLocked(r, rule);
  updateAllLocked(r);
  return true;
}

void setLevel(const char* pattern, ZvTraceLevel level) {
  if (pattern == nullptr) return;
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  appendRuleLocked(r, {pattern, level});
  updateAllLocked(r);
}

void resetLevels() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.rules.clear();
  updateAllLocked(r);
}

bool setOutputFile(const char* path) {
  FILE* file = stderr;
  if (path != nullptr && *path != '\0') {
    file = std::fopen(path, "a");
    if (file == nullptr) return false;
  }
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.out != stderr) std::fclose(r.out);
  r.out = file;
  return true;
}

void writeLine(const CZvTraceScopeDef& def, ZvTraceLevel level, const char* text) {
  emit(def, level, text ? text : "", true);
}

std::vector<CZvString> scopeNames() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<CZvString> names;
  names.reserve(r.defs.size());
  for (const CZvTraceScopeDef* def : r.defs) names.push_back(def->getName());
  return names;
}

std::vector<CZvString> rules() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<CZvString> result;
  for (const Rule& rule : r.rules) {
    result.push_back(CZvString::formatted("%s=%s", rule.pattern.c_str(), levelName(rule.level)));
  }
  return result;
}

std::vector<SZvTraceScopeInfo> scopes() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<SZvTraceScopeInfo> result;
  result.reserve(r.defs.size());
  for (const CZvTraceScopeDef* def : r.defs) result.push_back({def->getName(), def->getConfiguredLevel()});
  return result;
}
}  // namespace ZvTrace

CZvTraceCapture::CZvTraceCapture(const char* pattern, ZvTraceLevel maxLevel)
    : mPattern(pattern ? pattern : "*"), mMaxLevel(maxLevel) {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.captures.push_back(this);
  updateAllLocked(r);
}

CZvTraceCapture::~CZvTraceCapture() {
  TraceRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (auto it = r.captures.begin(); it != r.captures.end(); ++it) {
    if (*it == this) {
      r.captures.erase(it);
      break;
    }
  }
  updateAllLocked(r);
}

void CZvTraceCapture::record(const CZvTraceScopeDef& def, ZvTraceLevel level, const char* text) {
  std::lock_guard<std::mutex> lock(mMutex);
  mLines.push_back({def.getName(), level, CZvString(text)});
}

std::vector<SZvTraceLine> CZvTraceCapture::lines() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mLines;
}

std::vector<CZvString> CZvTraceCapture::texts() const {
  std::lock_guard<std::mutex> lock(mMutex);
  std::vector<CZvString> result;
  result.reserve(mLines.size());
  for (const auto& line : mLines) result.push_back(line.text);
  return result;
}

bool CZvTraceCapture::contains(const char* text) const { return count(text) > 0; }

bool CZvTraceCapture::containsFragment(const char* fragment) const {
  std::lock_guard<std::mutex> lock(mMutex);
  for (const auto& line : mLines) {
    if (line.text.find(fragment) >= 0) return true;
  }
  return false;
}

uint32_t CZvTraceCapture::count(const char* text) const {
  std::lock_guard<std::mutex> lock(mMutex);
  uint32_t n = 0;
  for (const auto& line : mLines) {
    if (line.text == text) ++n;
  }
  return n;
}

void CZvTraceCapture::clear() {
  std::lock_guard<std::mutex> lock(mMutex);
  mLines.clear();
}
