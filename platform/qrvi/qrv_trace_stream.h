// CQRVOStream: a wire stream whose content is sent as one trace line, used
// by the type traces of service interfaces.
#ifndef PLATFORM_QRVI_QRV_TRACE_STREAM_H
#define PLATFORM_QRVI_QRV_TRACE_STREAM_H

#include <cstdint>

#include "platform/qrvi/qrvi_stream.h"

class CQRVOStream : public CZvQRVOStream {
 public:
  // Writes, at data level on "sys_qrvi_TypeTrace":
  // "<text> [0x<id>] <interface> <major>.<minor> <type>(<number>): <hex bytes>"
  // and empties the stream.
  void send(uint32_t id, const char* text, const char* interfaceName, const char* typeName,
            uint32_t major, uint32_t minor, uint32_t typeNumber);
};

#endif  // PLATFORM_QRVI_QRV_TRACE_STREAM_H
