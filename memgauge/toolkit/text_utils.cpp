// Text helpers of the toolkit: trimming and suboption parsing.
#include <ctype.h>
#include <string.h>

#include "memgauge/pxm_assert.h"
#include "memgauge/toolkit/toolkit.h"

namespace {
bool isSpace(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

extern "C" char* _tbox_trim_leading_whitespaces(char* text) {
  ZV_PXM_ASSERT(text != nullptr);
  size_t skip = 0;
  while (text[skip] != '\0' && isSpace(text[skip])) ++skip;
  if (skip > 0) memmove(text, text + skip, strlen(text + skip) + 1);
  return text;
}

extern "C" char* _tbox_trim_trailing_whitespaces(char* text) {
  ZV_PXM_ASSERT(text != nullptr);
  size_t length = strlen(text);
  while (length > 0 && isSpace(text[length - 1])) --length;
  text[length] = '\0';
  return text;
}

extern "C" char* _tbox_trim(char* text) {
  return _tbox_trim_leading_whitespaces(_tbox_trim_trailing_whitespaces(text));
}

extern "C" int _tbox_getsubopt(char** options, char* const* tokens, char** value) {
  ZV_PXM_ASSERT(options != nullptr && tokens != nullptr && value != nullptr);
  *value = nullptr;
  if (*options == nullptr || **options == '\0') return -1;
  char* start = *options;
  char* end = strchr(start, ',');
  if (end != nullptr) {
    *end = '\0';
    *options = end + 1;
  } else {
    *options = start + strlen(start);
  }
  char* equals = strchr(start, '=');
  size_t name_length = equals ? static_cast<size_t>(equals - start) : strlen(start);
  for (int index = 0; tokens[index] != nullptr; ++index) {
    if (strlen(tokens[index]) == name_length && strncmp(tokens[index], start, name_length) == 0) {
      if (equals != nullptr) *value = equals + 1;
      return index;
    }
  }
  // Unknown: like getsubopt(3), the whole suboption is the value.
  *value = start;
  return -1;
}
