#include "platform/qrvi/service_reports.h"

#include <atomic>
#include <mutex>

#include "platform/basalt/zv_trace.h"

namespace ZvServices {
namespace {

CZvTraceScopeDef gTrace("sys_qrvi_Reports", "");
std::atomic<uint32_t> gNotImplemented{0};
std::atomic<uint32_t> gInvalidAccess{0};
std::mutex gMutex;

CZvString& lastName() {
  static CZvString name;
  return name;
}

const char* kindText(NotImplementedKind kind) {
  switch (kind) {
    case RESPONSE: return "response";
    case UPDATE: return "update";
    case REQUEST_FAILED: return "request failure";
    case RESPONSE_INVALID: return "invalid response";
  }
  return "?";
}

}  // namespace

void reportNotImplemented(NotImplementedKind kind, const char* className, uint32_t id) {
  ++gNotImplemented;
  CZvTraceScope(gTrace).sendFormattedWarning("%s: %s 0x%08X not implemented", className,
                                             kindText(kind), id);
}

void reportInvalidAccess(const char* name, const char* classText) {
  ++gInvalidAccess;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    lastName() = name;
  }
  CZvTraceScope(gTrace).sendFormattedError("invalid access to '%s' in%s", name, classText);
}

uint32_t notImplementedCount() { return gNotImplemented.load(); }
uint32_t invalidAccessCount() { return gInvalidAccess.load(); }

CZvString lastInvalidAccess() {
  std::lock_guard<std::mutex> lock(gMutex);
  return lastName();
}

void resetReports() {
  gNotImplemented = 0;
  gInvalidAccess = 0;
  std::lock_guard<std::mutex> lock(gMutex);
  lastName() = CZvString();
}

}  // namespace ZvServices
