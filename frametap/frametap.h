// Umbrella header of libframetap: include this to use the whole library.
// libframetap exports the capture API of platform/capture/capture.h.
#ifndef FRAMETAP_FRAMETAP_H
#define FRAMETAP_FRAMETAP_H

#include "platform/capture/capture.h"

namespace zv_frametap {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_frametap

#endif  // FRAMETAP_FRAMETAP_H
