// The description of a service interface that a proxy or a stub registers
// with the middleware.
#ifndef PLATFORM_QRVI_SERVICE_INTERFACE_H
#define PLATFORM_QRVI_SERVICE_INTERFACE_H

#include <cstdint>

#include "platform/basalt/zv_version.h"

struct SZvServiceInterface {
  const char* name;  // e.g. "DSYSMOSTServer"
  CZvVersion version;
  uint32_t requestCount;
  uint32_t responseCount;
  uint32_t attributeCount;
};

#endif  // PLATFORM_QRVI_SERVICE_INTERFACE_H
