// Free and total memory from the kernel's memory accounting.
#include <errno.h>
#include <string.h>

#include <string>

#include "memgauge/proc_text.h"
#include "memgauge/pxm_assert.h"
#include "memgauge/system_log.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge {
namespace {

// "Free" memory is what new allocations can get without swapping: the
// kernel's MemAvailable, which counts reclaimable page cache. MemFree alone
// sinks near zero on any busy machine because Linux fills free RAM with cache,
// so an emergency limit on it would fire without a real shortage. Change this
// line to "MemFree" for the strict figure; kernels before 3.14 lack
// MemAvailable and get MemFree anyway.
constexpr const char* kFreeMemoryField = "MemAvailable";
constexpr const char* kFallbackFreeMemoryField = "MemFree";
constexpr const char* kMeminfoPath = "/proc/meminfo";

}  // namespace
}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int _tbox_get_free_mem(int64_t* bytes) {
  ZV_PXM_ASSERT(bytes != nullptr);
  std::string text;
  if (!readProcFile(kMeminfoPath, &text)) {
    int error = errno;
    systemLog(kLogOpcodeError, kLogSeverityError, "[toolkit: getFreeMem] couldn't open /proc: %s",
              strerror(error));
    return error ? error : EIO;
  }
  if (!parseMeminfoBytes(text.data(), text.size(), kFreeMemoryField, bytes) &&
      !parseMeminfoBytes(text.data(), text.size(), kFallbackFreeMemoryField, bytes)) {
    systemLog(kLogOpcodeError, kLogSeverityError,
              "[toolkit: getFreeMem] couldn't get stat info for /proc: %s", strerror(EPROTO));
    return EPROTO;
  }
  return 0;
}

extern "C" int _tbox_get_total_mem(int64_t* bytes) {
  ZV_PXM_ASSERT(bytes != nullptr);
  std::string text;
  if (!readProcFile(kMeminfoPath, &text)) return errno ? errno : EIO;
  return parseMeminfoBytes(text.data(), text.size(), "MemTotal", bytes) ? 0 : EPROTO;
}
