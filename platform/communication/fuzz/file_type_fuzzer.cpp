// File names come from users and peers (screenshot paths): any text must
// classify without reading outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/communication/file_type.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string name(reinterpret_cast<const char*>(data), size);
  communication::FileType type(name.c_str());
  int value = static_cast<int>(type.type());
  if (value < communication::FileType::kUnknown || value > communication::FileType::kText) abort();
  return 0;
}
