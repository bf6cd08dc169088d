// Reports of the middleware about misuse by interface code: a handler that
// the application did not implement, and a parameter getter used outside a
// matching response. Each is traced on "sys_qrvi_Reports" and counted.
#ifndef PLATFORM_QRVI_SERVICE_REPORTS_H
#define PLATFORM_QRVI_SERVICE_REPORTS_H

#include <cstdint>

#include "platform/basalt/zv_string.h"

namespace ZvServices {

enum NotImplementedKind { RESPONSE, UPDATE, REQUEST_FAILED, RESPONSE_INVALID };

// "<className>: <kind> 0x<id> not implemented"
void reportNotImplemented(NotImplementedKind kind, const char* className, uint32_t id);
// "invalid access to '<name>' in<classText>"
void reportInvalidAccess(const char* name, const char* classText);

// For tests: counts since the last reset, and the name of the last invalid
// access.
uint32_t notImplementedCount();
uint32_t invalidAccessCount();
CZvString lastInvalidAccess();
void resetReports();

}  // namespace ZvServices

#endif  // PLATFORM_QRVI_SERVICE_REPORTS_H
