#include "platform/qrvi/qrv_trace_stream.h"

#include "platform/basalt/zv_string.h"
#include "platform/basalt/zv_trace.h"

namespace {
CZvTraceScopeDef gTrace("sys_qrvi_TypeTrace", "");
}

void CQRVOStream::send(uint32_t id, const char* text, const char* interfaceName,
                       const char* typeName, uint32_t major, uint32_t minor,
                       uint32_t typeNumber) {
  CZvTraceScope scope(gTrace);
  if (scope.isDataEnabled()) {
    CZvString line = CZvString::formatted("%s [0x%08X] %s %u.%u %s(%u):", text ? text : "", id,
                                          interfaceName, major, minor, typeName, typeNumber);
    for (uint32_t i = 0; i < size(); ++i) line.appendFormat(" %02x", data()[i]);
    scope.sendFormattedData("%s", line.c_str());
  }
  clear();
}
