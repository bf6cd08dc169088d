// The assertion of the plug-in framework: a null argument from the host or a
// failed allocation is a host bug, reported with file and line before the
// process aborts.
#ifndef MEMGAUGE_PXM_ASSERT_H
#define MEMGAUGE_PXM_ASSERT_H

namespace zv_memgauge {
[[noreturn]] void pxmAssertionFailed(const char* file, unsigned line);
}  // namespace zv_memgauge

#define ZV_PXM_ASSERT(condition)                                 \
  do {                                                           \
    if (!(condition)) {                                          \
      ::zv_memgauge::pxmAssertionFailed(__FILE__, __LINE__);     \
    }                                                            \
  } while (0)

#endif  // MEMGAUGE_PXM_ASSERT_H
