// Umbrella header of libqrvscope: include this to use the whole library.
#ifndef QRVSCOPE_QRVSCOPE_H
#define QRVSCOPE_QRVSCOPE_H

namespace zv_qrvscope {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_qrvscope

#endif  // QRVSCOPE_QRVSCOPE_H
