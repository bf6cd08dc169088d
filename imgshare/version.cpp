#include "imgshare/imgshare.h"

namespace zv_imgshare {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_imgshare
