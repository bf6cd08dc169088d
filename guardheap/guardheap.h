// Umbrella header of libguardheap: include this to use the whole library.
#ifndef GUARDHEAP_GUARDHEAP_H
#define GUARDHEAP_GUARDHEAP_H

namespace zv_guardheap {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_guardheap

#endif  // GUARDHEAP_GUARDHEAP_H
