#include "memgauge/memgauge.h"

namespace zv_memgauge {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_memgauge
