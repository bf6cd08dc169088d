#include "frametap/real_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/communication/comm_log.h"
#include "platform/communication/dyn_lib.h"
#include "platform/communication/process_name.h"

namespace zv_frametap {

RealCaptureFunctions gRealCapture;

namespace {

unsigned long gProcessId = 0;
char gProcessName[256] = "";

// The real library stays loaded for the rest of the process, even after
// libframetap is unloaded, since callers may still hold contexts it created.
communication::DynLib* gRealLibrary = nullptr;

template <typename Function>
void resolve(communication::DynLib& library, const char* symbol, Function* function) {
  *function = reinterpret_cast<Function>(library.loadFunc(symbol));
  if (!*function) {
    fprintf(stderr, "[%s] pid=%llu ERROR: %s %s: %s\n", library.name(),
            static_cast<unsigned long long>(gProcessId), "lib_init", symbol,
            library.error() ? library.error() : "symbol is null");
  }
}

void loadRealLibrary() {
  gProcessId = static_cast<unsigned long>(getpid());
  communication::getPidNameForId(getpid(), gProcessName, sizeof(gProcessName));
  COMM_LOG("[libcapture] pid = %lu:%s init", gProcessId, gProcessName);

  const char* path = getenv("CAPTURE_LIB");
  if (!path) {
    COMM_ERROR("[libcapture] ERROR pid = %lu:%s no env var CAPTURE_LIB", gProcessId, gProcessName);
    return;
  }
  gRealLibrary = new (std::nothrow) communication::DynLib("");
  if (!gRealLibrary) return;
  communication::DynLib& library = *gRealLibrary;
  if (!library.open(path)) {
    COMM_ERROR("[libcapture] pid = %lu:%s ERROR %s: %s", gProcessId, gProcessName, path,
               library.error());
    return;
  }
  COMM_LOG("[libcapture] pid = %lu: loaded %s", gProcessId, path);
  COMM_LOG("[libcapture] pid = %lu, init load", gProcessId);

  RealCaptureFunctions& real = gRealCapture;
  resolve(library, "capture_create_context", &real.createContext);
  resolve(library, "capture_destroy_context", &real.destroyContext);
  resolve(library, "capture_create_buffers", &real.createBuffers);
  resolve(library, "capture_abort_context", &real.abortContext);
  resolve(library, "capture_is_property", &real.isProperty);
  resolve(library, "capture_set_property_i", &real.setPropertyI);
  resolve(library, "capture_set_property_p", &real.setPropertyP);
  resolve(library, "capture_get_property_i", &real.getPropertyI);
  resolve(library, "capture_get_property_p", &real.getPropertyP);
  resolve(library, "capture_update", &real.update);
  resolve(library, "capture_get_frame", &real.getFrame);
  resolve(library, "capture_release_frame", &real.releaseFrame);
  resolve(library, "capture_put_buffer", &real.putBuffer);
  COMM_LOG("[libcapture] pid = %lu, init complete", gProcessId);
}

__attribute__((constructor)) void onLoad() { loadRealLibrary(); }

__attribute__((destructor)) void onUnload() {
  COMM_LOG("[libcapture] pid = %lu: destroy", gProcessId);
  if (gRealLibrary) {
    gRealLibrary->detach();
    delete gRealLibrary;
    gRealLibrary = nullptr;
  }
  gRealCapture = RealCaptureFunctions();
}

}  // namespace

unsigned long processId() { return gProcessId; }

}  // namespace zv_frametap
