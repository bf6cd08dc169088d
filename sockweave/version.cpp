#include "sockweave/sockweave.h"

namespace zv_sockweave {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_sockweave
