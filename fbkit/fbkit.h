// Umbrella header of libfbkit: include this to use the whole library.
#ifndef FBKIT_FBKIT_H
#define FBKIT_FBKIT_H

namespace zv_fbkit {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_fbkit

#endif  // FBKIT_FBKIT_H
