// A capture library that lacks most of the API: only context creation and
// destruction are there.
#include <cstdint>

extern "C" {
void* capture_create_context(uint32_t) {
  static int context;
  return &context;
}
void capture_destroy_context(void*) {}
}
