#include "platform/basalt/zv_options.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace ZvCommandLineOptions {
namespace {
struct Arguments {
  std::mutex mutex;
  bool loaded = false;
  std::vector<std::string> args;
};

Arguments& arguments() {
  static Arguments* instance = new Arguments();  // never destroyed: usable during exit
  return *instance;
}

// The arguments as the kernel saw them, for processes that never call init().
std::vector<std::string> readProcCmdline() {
  std::vector<std::string> result;
  FILE* file = std::fopen("/proc/self/cmdline", "rb");
  if (file == nullptr) return result;
  std::string current;
  int c;
  bool any = false;
  while ((c = std::fgetc(file)) != EOF) {
    any = true;
    if (c == '\0') {
      result.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(c));
    }
  }
  if (any && !current.empty()) result.push_back(current);
  std::fclose(file);
  return result;
}

std::vector<std::string> snapshot() {
  Arguments& a = arguments();
  std::lock_guard<std::mutex> lock(a.mutex);
  if (!a.loaded) {
    a.args = readProcCmdline();
    a.loaded = true;
  }
  return a.args;
}

std::string stripDashes(const char* name) {
  std::string text(name ? name : "");
  size_t i = 0;
  while (i < text.size() && i < 2 && text[i] == '-') ++i;
  return text.substr(i);
}

// Finds option name; on success sets *value (possibly empty) and returns true.
bool findOption(const char* name, std::string* value) {
  const std::string wanted = stripDashes(name);
  if (wanted.empty()) return false;
  const std::vector<std::string> args = snapshot();
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') continue;
    std::string body = stripDashes(arg.c_str());
    std::string inlineValue;
    const size_t eq = body.find('=');
    const bool hasInline = eq != std::string::npos;
    if (hasInline) {
      inlineValue = body.substr(eq + 1);
      body.resize(eq);
    }
    if (body != wanted) continue;
    if (hasInline) {
      *value = inlineValue;
    } else if (i + 1 < args.size() && (args[i + 1].empty() || args[i + 1][0] != '-')) {
      *value = args[i + 1];
    } else {
      value->clear();
    }
    return true;
  }
  return false;
}
}  // namespace

void init(int argc, const char* const* argv) {
  Arguments& a = arguments();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.args.clear();
  for (int i = 0; argv != nullptr && i < argc; ++i) a.args.emplace_back(argv[i] ? argv[i] : "");
  a.loaded = true;
}

uint32_t getARGCount() { return static_cast<uint32_t>(snapshot().size()); }

CZvString getARG(uint32_t i) {
  const std::vector<std::string> args = snapshot();
  return i < args.size() ? CZvString(args[i]) : CZvString();
}

bool isOptionSet(const char* name) {
  std::string value;
  return findOption(name, &value);
}

CZvString getOptionArg(const char* name) {
  std::string value;
  return findOption(name, &value) ? CZvString(value) : CZvString();
}
}  // namespace ZvCommandLineOptions
