// Feeds arbitrary request lines to the trace command server's request
// handling (the text that arrives on its socket). Every answer must end
// with the "." line.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/trace_client/zv_trace_server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CZvString line(reinterpret_cast<const char*>(data), static_cast<uint32_t>(size));
  const CZvString answer = ZvTraceServer::answerRequest(line);
  const uint32_t n = answer.length();
  if (n < 2 || std::strcmp(answer.c_str() + n - 2, ".\n") != 0) __builtin_trap();
  return 0;
}
