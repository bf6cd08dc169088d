// The real capture library, loaded from the path in CAPTURE_LIB when
// libframetap is loaded, and its functions.
#ifndef FRAMETAP_REAL_CAPTURE_H
#define FRAMETAP_REAL_CAPTURE_H

#include "platform/capture/capture.h"

namespace zv_frametap {

// One pointer per forwarded function; null when the library or the symbol
// could not be loaded.
struct RealCaptureFunctions {
  decltype(&capture_create_context) createContext = nullptr;
  decltype(&capture_destroy_context) destroyContext = nullptr;
  decltype(&capture_create_buffers) createBuffers = nullptr;
  decltype(&capture_abort_context) abortContext = nullptr;
  decltype(&capture_is_property) isProperty = nullptr;
  decltype(&capture_set_property_i) setPropertyI = nullptr;
  decltype(&capture_set_property_p) setPropertyP = nullptr;
  decltype(&capture_get_property_i) getPropertyI = nullptr;
  decltype(&capture_get_property_p) getPropertyP = nullptr;
  decltype(&capture_update) update = nullptr;
  decltype(&capture_get_frame) getFrame = nullptr;
  decltype(&capture_release_frame) releaseFrame = nullptr;
  decltype(&capture_put_buffer) putBuffer = nullptr;
};

// Filled once while the library is loaded, before any forwarding function
// can be called; read-only afterwards.
extern RealCaptureFunctions gRealCapture;

// The process id, taken once at load, as the trace lines print it.
unsigned long processId();

}  // namespace zv_frametap

#endif  // FRAMETAP_REAL_CAPTURE_H
