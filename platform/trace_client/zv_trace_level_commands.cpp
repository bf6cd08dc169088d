// Trace commands built into every process that links the trace client:
// switching scope levels and listing scopes.
#include <string>

#include "platform/basalt/zv_trace.h"
#include "platform/trace_client/zv_trace_callback.h"

extern "C" int32_t ZvTrace_setLevels(int32_t handle);
extern "C" int32_t ZvTrace_listScopes(int32_t handle);

namespace {
CZvTraceCallbackDef gSetLevelsDef(ZvTrace_setLevels, "ZvTrace_setLevels",
                                  "rules - pattern=level[,pattern=level...]; level: off, error, warning, "
                                  "message or data; '*' and '?' are wildcards");
CZvTraceCallbackParam gSetLevelsRules(gSetLevelsDef, "rules", ZvTraceType::TEXT);
CZvTraceCallbackRetVal gSetLevelsResult(gSetLevelsDef, "result", ZvTraceType::TEXT);

CZvTraceCallbackDef gListScopesDef(
    ZvTrace_listScopes, "ZvTrace_listScopes",
    "pattern - lists the scopes matching it (all when empty) with their configured levels");
CZvTraceCallbackParam gListScopesPattern(gListScopesDef, "pattern", ZvTraceType::TEXT);
CZvTraceCallbackRetVal gListScopesResult(gListScopesDef, "scope", ZvTraceType::TEXT);
}  // namespace

extern "C" int32_t ZvTrace_setLevels(int32_t handle) {
  const CZvString rules = gSetLevelsRules.getString(handle);
  if (rules.isEmpty()) {
    ZvTrace::resetLevels();
    gSetLevelsResult.returnString(handle, "Levels reset");
  } else if (ZvTrace::setLevels(rules.c_str())) {
    gSetLevelsResult.returnString(handle, "Levels set");
  } else {
    gSetLevelsResult.returnString(handle, "Invalid rules");
  }
  return handle;
}

extern "C" int32_t ZvTrace_listScopes(int32_t handle) {
  CZvString pattern = gListScopesPattern.getString(handle);
  if (pattern.isEmpty()) pattern = "*";
  for (const SZvTraceScopeInfo& scope : ZvTrace::scopes()) {
    if (!ZvTrace::matchPattern(pattern.c_str(), scope.name.c_str())) continue;
    const CZvString line = CZvString::formatted("%s %s", scope.name.c_str(), ZvTrace::levelName(scope.level));
    gListScopesResult.returnString(handle, line.c_str());
  }
  return handle;
}
