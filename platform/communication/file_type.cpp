#include "platform/communication/file_type.h"

#include <strings.h>

#include <cstring>

namespace communication {
namespace {

struct Extension {
  const char* suffix;
  FileType::Type type;
};

constexpr Extension kExtensions[] = {
    {"raw", FileType::kRaw},  {"bmp", FileType::kBmp},  {"png", FileType::kPng},
    {"jpg", FileType::kJpeg}, {"jpeg", FileType::kJpeg}, {"txt", FileType::kText},
};

}  // namespace

FileType& FileType::operator=(const char* fileName) {
  type_ = kUnknown;
  if (!fileName) return *this;
  const char* base = strrchr(fileName, '/');
  base = base ? base + 1 : fileName;
  const char* dot = strrchr(base, '.');
  // "name." has no extension; ".png" alone is a hidden file without one.
  if (!dot || dot == base || dot[1] == '\0') return *this;
  for (const Extension& extension : kExtensions) {
    if (strcasecmp(dot + 1, extension.suffix) == 0) {
      type_ = extension.type;
      break;
    }
  }
  return *this;
}

}  // namespace communication
