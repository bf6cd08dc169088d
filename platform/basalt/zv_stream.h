// Byte stream interfaces and a text output stream.
#ifndef PLATFORM_BASALT_ZV_STREAM_H
#define PLATFORM_BASALT_ZV_STREAM_H

#include <cstdint>

#include "platform/basalt/zv_string.h"

class IZvIStream {
 public:
  virtual ~IZvIStream() = default;
  // Copies up to n bytes into buf; returns the count copied, less than n
  // only at the end of the stream.
  virtual uint32_t read(void* buf, uint32_t n) = 0;
};

class IZvOStream {
 public:
  virtual ~IZvOStream() = default;
  // Appends n bytes; returns the count written.
  virtual uint32_t write(const void* data, uint32_t n) = 0;
};

class IZvIOStream : public IZvIStream, public IZvOStream {};

// Text output. Writes to a sink stream when one is given, otherwise collects
// the text, which getText() returns.
class CZvOTextStream : public IZvOStream {
 public:
  CZvOTextStream();
  explicit CZvOTextStream(IZvOStream* sink);
  ~CZvOTextStream() override;

  uint32_t write(const void* data, uint32_t n) override;
  // Writes raw bytes (no formatting).
  uint32_t streamWrite(const void* data, uint32_t n) { return write(data, n); }

  // Minimum field width of the next number (0: none); it applies to one
  // number and then returns to 0. Numbers are padded with blanks on the left.
  void setWidth(uint32_t width) { mWidth = width; }
  // Base of the numbers that follow: 10 (default) or 16 (lower case, no prefix).
  void setBase(uint32_t base) { mBase = (base == 16) ? 16 : 10; }

  CZvOTextStream& operator<<(const char* text);
  CZvOTextStream& operator<<(const CZvString& text);
  CZvOTextStream& operator<<(char c);
  CZvOTextStream& operator<<(bool value);
  CZvOTextStream& operator<<(int32_t value);
  CZvOTextStream& operator<<(uint32_t value);
  CZvOTextStream& operator<<(int64_t value);
  CZvOTextStream& operator<<(uint64_t value);
  CZvOTextStream& operator<<(double value);

  // The collected text (empty when writing to a sink).
  const CZvString& getText() const { return mText; }
  void clear() { mText = CZvString(); }

 private:
  void writeNumber(const char* digits);

  IZvOStream* mSink = nullptr;
  CZvString mText;
  uint32_t mWidth = 0;
  uint32_t mBase = 10;
};

#endif  // PLATFORM_BASALT_ZV_STREAM_H
