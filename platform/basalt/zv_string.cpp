#include "platform/basalt/zv_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "platform/basalt/zv_stream.h"

namespace {
std::string vformat(const char* fmt, va_list args) {
  if (fmt == nullptr) return std::string();
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof(small), fmt, copy);
  va_end(copy);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof(small)) return std::string(small, static_cast<size_t>(needed));
  std::string big(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(&big[0], big.size(), fmt, args);
  big.resize(static_cast<size_t>(needed));
  return big;
}

// Reads exactly n bytes or fails.
bool readExactly(IZvIStream& stream, void* buf, uint32_t n) { return stream.read(buf, n) == n; }
}  // namespace

CZvString::CZvString(const char* text) {
  if (text != nullptr && *text != '\0') mText = std::make_shared<std::string>(text);
}

CZvString::CZvString(const char* text, uint32_t n) {
  if (text != nullptr && n > 0) mText = std::make_shared<std::string>(text, n);
}

CZvString::CZvString(const std::string& text) {
  if (!text.empty()) mText = std::make_shared<std::string>(text);
}

std::string& CZvString::mutableText() {
  if (!mText) {
    mText = std::make_shared<std::string>();
  } else if (mText.use_count() > 1) {
    mText = std::make_shared<std::string>(*mText);
  }
  return *mText;
}

char CZvString::at(uint32_t index) const { return index < length() ? (*mText)[index] : '\0'; }

uint32_t CZvString::format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = vformat(fmt, args);
  va_end(args);
  *this = CZvString(text);
  return length();
}

CZvString CZvString::formatted(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = vformat(fmt, args);
  va_end(args);
  return CZvString(text);
}

uint32_t CZvString::appendFormat(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = vformat(fmt, args);
  va_end(args);
  if (!text.empty()) mutableText().append(text);
  return length();
}

CZvString& CZvString::append(const char* text) {
  if (text != nullptr && *text != '\0') mutableText().append(text);
  return *this;
}

CZvString& CZvString::append(const char* text, uint32_t n) {
  if (text != nullptr && n > 0) mutableText().append(text, n);
  return *this;
}

CZvString& CZvString::append(const CZvString& text) {
  if (text.isEmpty()) return *this;
  if (isEmpty()) {
    mText = text.mText;  // share instead of copying
    return *this;
  }
  const std::string other = *text.mText;  // text may be *this
  mutableText().append(other);
  return *this;
}

CZvString& CZvString::append(char c) {
  mutableText().push_back(c);
  return *this;
}

CZvString& CZvString::truncate(uint32_t n) {
  if (n < length()) mutableText().resize(n);
  return *this;
}

CZvString& CZvString::remove(uint32_t pos, uint32_t n) {
  const uint32_t len = length();
  if (pos >= len || n == 0) return *this;
  const uint32_t count = (n > len - pos) ? len - pos : n;
  mutableText().erase(pos, count);
  return *this;
}

CZvString& CZvString::insert(uint32_t pos, const CZvString& text) {
  if (text.isEmpty()) return *this;
  const std::string other = text.toStdString();
  const uint32_t at = pos > length() ? length() : pos;
  mutableText().insert(at, other);
  return *this;
}

int32_t CZvString::find(char c, uint32_t from) const {
  if (from >= length()) return -1;
  const size_t pos = mText->find(c, from);
  return pos == std::string::npos ? -1 : static_cast<int32_t>(pos);
}

int32_t CZvString::find(const char* text, uint32_t from) const {
  if (text == nullptr || from > length()) return -1;
  if (!mText) return *text == '\0' ? 0 : -1;
  const size_t pos = mText->find(text, from);
  return pos == std::string::npos ? -1 : static_cast<int32_t>(pos);
}

int32_t CZvString::findLast(char c) const {
  if (isEmpty()) return -1;
  const size_t pos = mText->rfind(c);
  return pos == std::string::npos ? -1 : static_cast<int32_t>(pos);
}

CZvString CZvString::substr(uint32_t pos, uint32_t n) const {
  const uint32_t len = length();
  if (pos >= len) return CZvString();
  if (pos == 0 && n >= len) return *this;
  const uint32_t count = (n > len - pos) ? len - pos : n;
  return CZvString(mText->data() + pos, count);
}

bool CZvString::startsWith(const char* prefix) const {
  if (prefix == nullptr) return true;
  const size_t n = std::strlen(prefix);
  return n <= length() && std::memcmp(c_str(), prefix, n) == 0;
}

int CZvString::compare(const CZvString& other) const {
  if (mText == other.mText) return 0;
  const uint32_t a = length();
  const uint32_t b = other.length();
  const uint32_t n = a < b ? a : b;
  const int r = n ? std::memcmp(c_str(), other.c_str(), n) : 0;
  if (r != 0) return r < 0 ? -1 : 1;
  return a == b ? 0 : (a < b ? -1 : 1);
}

int CZvString::compare(const char* other) const {
  if (other == nullptr) return isEmpty() ? 0 : 1;
  const uint32_t a = length();
  const size_t b = std::strlen(other);
  const size_t n = a < b ? a : b;
  const int r = n ? std::memcmp(c_str(), other, n) : 0;
  if (r != 0) return r < 0 ? -1 : 1;
  return a == b ? 0 : (a < b ? -1 : 1);
}

size_t CZvString::hash() const { return std::hash<std::string_view>()(std::string_view(c_str(), length())); }

bool CZvString::writeToStream(IZvOStream& stream) const {
  const uint32_t n = length();
  const uint8_t header[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
  if (stream.write(header, 4) != 4) return false;
  return n == 0 || stream.write(c_str(), n) == n;
}

bool CZvString::readFromStream(IZvIStream& stream) {
  *this = CZvString();
  uint8_t header[4];
  if (!readExactly(stream, header, 4)) return false;
  const uint32_t n =
      header[0] | (uint32_t{header[1]} << 8) | (uint32_t{header[2]} << 16) | (uint32_t{header[3]} << 24);
  // Read in chunks so that a corrupt length cannot make us allocate gigabytes
  // before finding out the stream is short.
  std::string text;
  char chunk[4096];
  uint32_t left = n;
  while (left > 0) {
    const uint32_t want = left < sizeof(chunk) ? left : static_cast<uint32_t>(sizeof(chunk));
    if (!readExactly(stream, chunk, want)) return false;
    text.append(chunk, want);
    left -= want;
  }
  *this = CZvString(text);
  return true;
}
