#include "platform/basalt/zv_stream.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

CZvOTextStream::CZvOTextStream() = default;
CZvOTextStream::CZvOTextStream(IZvOStream* sink) : mSink(sink) {}
CZvOTextStream::~CZvOTextStream() = default;

uint32_t CZvOTextStream::write(const void* data, uint32_t n) {
  if (data == nullptr || n == 0) return 0;
  if (mSink != nullptr) return mSink->write(data, n);
  mText.append(static_cast<const char*>(data), n);
  return n;
}

CZvOTextStream& CZvOTextStream::operator<<(const char* text) {
  if (text != nullptr) write(text, static_cast<uint32_t>(std::strlen(text)));
  return *this;
}

CZvOTextStream& CZvOTextStream::operator<<(const CZvString& text) {
  write(text.c_str(), text.length());
  return *this;
}

CZvOTextStream& CZvOTextStream::operator<<(char c) {
  write(&c, 1);
  return *this;
}

CZvOTextStream& CZvOTextStream::operator<<(bool value) { return *this << (value ? "true" : "false"); }

void CZvOTextStream::writeNumber(const char* digits) {
  const uint32_t len = static_cast<uint32_t>(std::strlen(digits));
  for (uint32_t i = len; i < mWidth; ++i) write(" ", 1);
  write(digits, len);
  mWidth = 0;
}

CZvOTextStream& CZvOTextStream::operator<<(int32_t value) { return *this << static_cast<int64_t>(value); }
CZvOTextStream& CZvOTextStream::operator<<(uint32_t value) { return *this << static_cast<uint64_t>(value); }

CZvOTextStream& CZvOTextStream::operator<<(int64_t value) {
  char digits[32];
  if (mBase == 16) {
    std::snprintf(digits, sizeof(digits), "%" PRIx64, static_cast<uint64_t>(value));
  } else {
    std::snprintf(digits, sizeof(digits), "%" PRId64, value);
  }
  writeNumber(digits);
  return *this;
}

CZvOTextStream& CZvOTextStream::operator<<(uint64_t value) {
  char digits[32];
  std::snprintf(digits, sizeof(digits), mBase == 16 ? "%" PRIx64 : "%" PRIu64, value);
  writeNumber(digits);
  return *this;
}

CZvOTextStream& CZvOTextStream::operator<<(double value) {
  char digits[64];
  std::snprintf(digits, sizeof(digits), "%g", value);
  writeNumber(digits);
  return *this;
}
