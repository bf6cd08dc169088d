#include "qrvscope/qrvscope.h"

namespace zv_qrvscope {
const char* libraryVersion() { return "0.1.0"; }
}  // namespace zv_qrvscope
