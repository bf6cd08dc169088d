#include "frametap/frametap.h"

namespace zv_frametap {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_frametap
