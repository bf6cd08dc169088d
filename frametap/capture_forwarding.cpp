// The capture API of libframetap: every function traces the calls that
// create, configure, update and feed a context, then forwards its arguments
// unchanged to the real library's function of the same name. A function
// the real library did not provide fails with the API's error result and
// errno ENOSYS.

#include <cerrno>
#include <cstring>

#include "frametap/real_capture.h"
#include "platform/capture/capture.h"
#include "platform/communication/comm_log.h"

using zv_frametap::gRealCapture;
using zv_frametap::processId;

namespace {

// One byte of a property code for a "%c": printable bytes as they are,
// others as '.', so that a NUL cannot cut the line short and a control
// character cannot break it.
int codeByte(uint32_t property, int index) {
  unsigned char byte = static_cast<unsigned char>(property >> (8 * index));
  return byte >= 0x20 && byte < 0x7F ? byte : '.';
}

void* asPointer(capture_context_t context) { return static_cast<void*>(context); }

int unavailable() {
  errno = ENOSYS;
  return -1;
}

}  // namespace

#define ZV_EXPORT __attribute__((visibility("default")))

extern "C" {

ZV_EXPORT capture_context_t capture_create_context(uint32_t flags) {
  COMM_LOG("[libcapture] pid = %lu: capture_create_context flags = %d", processId(),
           static_cast<int>(flags));
  if (!gRealCapture.createContext) {
    errno = ENOSYS;
    return nullptr;
  }
  return gRealCapture.createContext(flags);
}

ZV_EXPORT void capture_destroy_context(capture_context_t context) {
  COMM_LOG("[libcapture] pid = %lu: capture_destroy_context %p", processId(), asPointer(context));
  if (!gRealCapture.destroyContext) {
    errno = ENOSYS;
    return;
  }
  gRealCapture.destroyContext(context);
}

ZV_EXPORT int capture_create_buffers(capture_context_t context, uint32_t property) {
  COMM_LOG("[libcapture] pid = %lu: capture_create_buffers %pproperty = %d", processId(),
           asPointer(context), static_cast<int>(property));
  if (!gRealCapture.createBuffers) return unavailable();
  return gRealCapture.createBuffers(context, property);
}

ZV_EXPORT int capture_abort_context(capture_context_t context) {
  COMM_LOG("[libcapture] pid = %lu: capture_abort_context %p", processId(), asPointer(context));
  if (!gRealCapture.abortContext) return unavailable();
  return gRealCapture.abortContext(context);
}

ZV_EXPORT int capture_is_property(capture_context_t context, uint32_t property) {
  // 0 is "not a property", the answer that stays true without the library.
  if (!gRealCapture.isProperty) {
    errno = ENOSYS;
    return 0;
  }
  return gRealCapture.isProperty(context, property);
}

ZV_EXPORT int capture_set_property_i(capture_context_t context, uint32_t property,
                                     int32_t value) {
  COMM_LOG("[libcapture] pid = %lu: capture_set_property_i %p %c%c%c%c=%d", processId(),
           asPointer(context), codeByte(property, 0), codeByte(property, 1), codeByte(property, 2),
           codeByte(property, 3), static_cast<int>(value));
  if (!gRealCapture.setPropertyI) return unavailable();
  return gRealCapture.setPropertyI(context, property, value);
}

ZV_EXPORT int capture_set_property_p(capture_context_t context, uint32_t property, void* value) {
  COMM_LOG("[libcapture] pid = %lu: capture_set_property_p %p %c%c%c%c=%p", processId(),
           asPointer(context), codeByte(property, 0), codeByte(property, 1), codeByte(property, 2),
           codeByte(property, 3), value);
  if (!gRealCapture.setPropertyP) return unavailable();
  return gRealCapture.setPropertyP(context, property, value);
}

ZV_EXPORT int capture_get_property_i(capture_context_t context, uint32_t property,
                                     int32_t* value) {
  if (!gRealCapture.getPropertyI) return unavailable();
  return gRealCapture.getPropertyI(context, property, value);
}

ZV_EXPORT int capture_get_property_p(capture_context_t context, uint32_t property, void** value) {
  if (!gRealCapture.getPropertyP) return unavailable();
  return gRealCapture.getPropertyP(context, property, value);
}

ZV_EXPORT int capture_update(capture_context_t context, uint32_t flags) {
  COMM_LOG("[libcapture] pid = %lu: capture_update %p flags=%d", processId(), asPointer(context),
           static_cast<int>(flags));
  if (!gRealCapture.update) return unavailable();
  return gRealCapture.update(context, flags);
}

ZV_EXPORT int capture_get_frame(capture_context_t context, uint64_t timeout, uint32_t flags) {
  if (!gRealCapture.getFrame) return unavailable();
  int result = gRealCapture.getFrame(context, timeout, flags);
  if (result == -1) {
    // Logging may change errno; the caller gets the real library's.
    int error = errno;
    COMM_LOG("[libcapture] pid = %lu: capture_get_frame %p flags=%d, ERROR = %d:%s", processId(),
             asPointer(context), static_cast<int>(flags), error, strerror(error));
    errno = error;
  }
  return result;
}

ZV_EXPORT int capture_release_frame(capture_context_t context, uint32_t index) {
  if (!gRealCapture.releaseFrame) return unavailable();
  return gRealCapture.releaseFrame(context, index);
}

ZV_EXPORT int capture_put_buffer(capture_context_t context, uint32_t index, uint32_t flags) {
  COMM_LOG("[libcapture] pid = %lu: capture_put_buffer %p idx=%d, flags=%d", processId(),
           asPointer(context), static_cast<int>(index), static_cast<int>(flags));
  if (!gRealCapture.putBuffer) return unavailable();
  return gRealCapture.putBuffer(context, index, flags);
}

}  // extern "C"
