#include "fbkit/fbkit.h"

namespace zv_fbkit {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_fbkit
