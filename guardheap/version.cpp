#include "guardheap/guardheap.h"

namespace zv_guardheap {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_guardheap
