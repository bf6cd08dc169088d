// Trace commands: named functions that a tester calls by name with text
// arguments, from a test (ZvTraceCommands::call) or from outside the process
// through the command server (zv_trace_server.h) and the zvtrace tool.
//
// A command is a static CZvTraceCallbackDef holding a plain function
// int32_t fn(int32_t handle). The function reads its arguments with
// getString(handle, ...) and answers with returnString(handle, ...); it
// returns the handle. Parameters and return values are described by
// CZvTraceCallbackParam and CZvTraceCallbackRetVal objects built on the def.
#ifndef PLATFORM_TRACE_CLIENT_ZV_TRACE_CALLBACK_H
#define PLATFORM_TRACE_CLIENT_ZV_TRACE_CALLBACK_H

#include <cstdint>
#include <vector>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_string.h"

using ZvTraceCallbackFunction = int32_t (*)(int32_t handle);

// Type codes of parameters and return values.
namespace ZvTraceType {
constexpr int32_t INT32 = 1;
constexpr int32_t TEXT = 2;
}  // namespace ZvTraceType

class CZvTraceCallbackDef : private CZvNonCopyable {
 public:
  // Registers the command under name (a later def with the same name
  // replaces the earlier one until it is destroyed).
  CZvTraceCallbackDef(ZvTraceCallbackFunction function, const char* name, const char* help);
  ~CZvTraceCallbackDef();

  const CZvString& getName() const { return mName; }
  const CZvString& getHelp() const { return mHelp; }
  ZvTraceCallbackFunction getFunction() const { return mFunction; }
  const std::vector<CZvString>& getParamNames() const { return mParams; }
  const std::vector<CZvString>& getRetValNames() const { return mRetVals; }

  // Argument paramIndex (0-based) of the call handle; "" when absent.
  CZvString getString(int32_t handle, uint32_t paramIndex) const;
  // Appends a returned text to the call handle.
  void returnString(int32_t handle, const char* text) const;

  // Internal: used by the parameter and return value objects.
  uint32_t addParam(const char* name, int32_t type);
  uint32_t addRetVal(const char* name, int32_t type);

 private:
  ZvTraceCallbackFunction mFunction;
  CZvString mName;
  CZvString mHelp;
  std::vector<CZvString> mParams;
  std::vector<int32_t> mParamTypes;
  std::vector<CZvString> mRetVals;
  std::vector<int32_t> mRetValTypes;
};

class CZvTraceCallbackParam : private CZvNonCopyable {
 public:
  // The parameter's position is the order of construction on def.
  CZvTraceCallbackParam(CZvTraceCallbackDef& def, const char* name, int32_t type);
  CZvString getString(int32_t handle) const { return mDef.getString(handle, mIndex); }
  uint32_t getIndex() const { return mIndex; }

 private:
  CZvTraceCallbackDef& mDef;
  uint32_t mIndex;
};

class CZvTraceCallbackRetVal : private CZvNonCopyable {
 public:
  CZvTraceCallbackRetVal(CZvTraceCallbackDef& def, const char* name, int32_t type);
  void returnString(int32_t handle, const char* text) const { mDef.returnString(handle, text); }

 private:
  CZvTraceCallbackDef& mDef;
};

namespace ZvTraceCommands {
// Calls the command name with args and returns the texts it returned.
// *found (when given) tells whether the command exists; an unknown command
// returns nothing.
std::vector<CZvString> call(const char* name, const std::vector<CZvString>& args = {}, bool* found = nullptr);
bool exists(const char* name);
// Names of all registered commands, sorted.
std::vector<CZvString> list();
// "name(param, ...): help" or "" for an unknown command.
CZvString describe(const char* name);

// The same as the def's members, for code that has only the handle.
CZvString getString(int32_t handle, uint32_t paramIndex);
void returnString(int32_t handle, const char* text);
}  // namespace ZvTraceCommands

#endif  // PLATFORM_TRACE_CLIENT_ZV_TRACE_CALLBACK_H
