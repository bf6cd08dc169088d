// Umbrella header of libframetap: include this to use the whole library.
#ifndef FRAMETAP_FRAMETAP_H
#define FRAMETAP_FRAMETAP_H

namespace zv_frametap {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_frametap

#endif  // FRAMETAP_FRAMETAP_H
