// Umbrella header of libimgshare: include this to use the whole library.
#ifndef IMGSHARE_IMGSHARE_H
#define IMGSHARE_IMGSHARE_H

namespace zv_imgshare {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_imgshare

#endif  // IMGSHARE_IMGSHARE_H
