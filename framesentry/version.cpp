#include "framesentry/framesentry.h"

namespace zv_framesentry {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_framesentry
