// Umbrella header of libsockweave: include this to use the whole library.
#ifndef SOCKWEAVE_SOCKWEAVE_H
#define SOCKWEAVE_SOCKWEAVE_H

namespace zv_sockweave {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_sockweave

#endif  // SOCKWEAVE_SOCKWEAVE_H
