// Umbrella header of libframesentry: include this to use the whole library.
#ifndef FRAMESENTRY_FRAMESENTRY_H
#define FRAMESENTRY_FRAMESENTRY_H

namespace zv_framesentry {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_framesentry

#endif  // FRAMESENTRY_FRAMESENTRY_H
