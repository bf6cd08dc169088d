#include "platform/trace_client/zv_trace_callback.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace {
// The arguments and answers of one call in progress.
struct CallRecord {
  std::vector<CZvString> args;
  std::vector<CZvString> returned;
};

struct CommandRegistry {
  std::mutex mutex;
  std::map<std::string, std::vector<const CZvTraceCallbackDef*>> byName;  // last is active
  std::map<int32_t, CallRecord*> calls;
  int32_t nextHandle = 1;
};

CommandRegistry& registry() {
  static CommandRegistry* instance = new CommandRegistry();  // never destroyed: used during exit
  return *instance;
}

const CZvTraceCallbackDef* findLocked(CommandRegistry& r, const char* name) {
  auto it = r.byName.find(name ? name : "");
  return (it == r.byName.end() || it->second.empty()) ? nullptr : it->second.back();
}
}  // namespace

CZvTraceCallbackDef::CZvTraceCallbackDef(ZvTraceCallbackFunction function, const char* name, const char* help)
    : mFunction(function), mName(name), mHelp(help) {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.byName[mName.toStdString()].push_back(this);
}

CZvTraceCallbackDef::~CZvTraceCallbackDef() {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.byName.find(mName.toStdString());
  if (it == r.byName.end()) return;
  auto& defs = it->second;
  defs.erase(std::remove(defs.begin(), defs.end(), this), defs.end());
  if (defs.empty()) r.byName.erase(it);
}

uint32_t CZvTraceCallbackDef::addParam(const char* name, int32_t type) {
  mParams.emplace_back(name);
  mParamTypes.push_back(type);
  return static_cast<uint32_t>(mParams.size() - 1);
}

uint32_t CZvTraceCallbackDef::addRetVal(const char* name, int32_t type) {
  mRetVals.emplace_back(name);
  mRetValTypes.push_back(type);
  return static_cast<uint32_t>(mRetVals.size() - 1);
}

CZvString CZvTraceCallbackDef::getString(int32_t handle, uint32_t paramIndex) const {
  return ZvTraceCommands::getString(handle, paramIndex);
}

void CZvTraceCallbackDef::returnString(int32_t handle, const char* text) const {
  ZvTraceCommands::returnString(handle, text);
}

CZvTraceCallbackParam::CZvTraceCallbackParam(CZvTraceCallbackDef& def, const char* name, int32_t type)
    : mDef(def), mIndex(def.addParam(name, type)) {}

CZvTraceCallbackRetVal::CZvTraceCallbackRetVal(CZvTraceCallbackDef& def, const char* name, int32_t type)
    : mDef(def) {
  def.addRetVal(name, type);
}

namespace ZvTraceCommands {
std::vector<CZvString> call(const char* name, const std::vector<CZvString>& args, bool* found) {
  CommandRegistry& r = registry();
  CallRecord record;
  record.args = args;
  ZvTraceCallbackFunction function = nullptr;
  int32_t handle = 0;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    const CZvTraceCallbackDef* def = findLocked(r, name);
    if (def != nullptr) {
      function = def->getFunction();
      // Handles stay positive and unique among the calls in progress.
      do {
        handle = r.nextHandle;
        r.nextHandle = (r.nextHandle == INT32_MAX) ? 1 : r.nextHandle + 1;
      } while (r.calls.count(handle) != 0);
      r.calls[handle] = &record;
    }
  }
  if (found != nullptr) *found = function != nullptr;
  if (function == nullptr) return {};
  function(handle);
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls.erase(handle);
  }
  return record.returned;
}

bool exists(const char* name) {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return findLocked(r, name) != nullptr;
}

std::vector<CZvString> list() {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<CZvString> names;
  for (const auto& entry : r.byName) {
    if (!entry.second.empty()) names.emplace_back(entry.first);
  }
  return names;
}

CZvString describe(const char* name) {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const CZvTraceCallbackDef* def = findLocked(r, name);
  if (def == nullptr) return CZvString();
  CZvString text = def->getName();
  text.append('(');
  for (size_t i = 0; i < def->getParamNames().size(); ++i) {
    if (i > 0) text.append(", ");
    text.append(def->getParamNames()[i]);
  }
  text.append("): ");
  text.append(def->getHelp());
  return text;
}

CZvString getString(int32_t handle, uint32_t paramIndex) {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.calls.find(handle);
  if (it == r.calls.end() || paramIndex >= it->second->args.size()) return CZvString();
  return it->second->args[paramIndex];
}

void returnString(int32_t handle, const char* text) {
  CommandRegistry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.calls.find(handle);
  if (it != r.calls.end()) it->second->returned.emplace_back(text);
}
}  // namespace ZvTraceCommands
