#include "platform/communication/dyn_lib.h"

#include <dlfcn.h>

namespace communication {

DynLib::DynLib(const char* name) : name_(name ? name : "") {}

DynLib::~DynLib() { close(); }

void DynLib::setError(const char* text) {
  hasError_ = true;
  error_ = text ? text : "unknown loader error";
}

bool DynLib::open(const char* path) {
  close();
  if (!path) {
    setError("no library path given");
    return false;
  }
  dlerror();  // Drops a message left over from an earlier call.
  handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    setError(dlerror());
    return false;
  }
  hasError_ = false;
  return true;
}

void* DynLib::loadFunc(const char* symbol) {
  if (!handle_) {
    setError("no library loaded");
    return nullptr;
  }
  if (!symbol) {
    setError("no symbol name given");
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, symbol);
  // A symbol may legitimately have the address null; only dlerror() tells.
  const char* message = dlerror();
  if (message) {
    setError(message);
    return nullptr;
  }
  hasError_ = false;
  return address;
}

void DynLib::close() {
  if (!handle_) return;
  if (dlclose(handle_) != 0) {
    setError(dlerror());
  } else {
    hasError_ = false;
  }
  handle_ = nullptr;
}

}  // namespace communication
