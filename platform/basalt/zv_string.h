// CZvString: reference-counted text. Copies share the characters until one
// of them changes (copy on write), so passing strings by value is cheap.
// The text is bytes (normally UTF-8) and may contain NUL bytes; c_str()
// always ends with a NUL.
#ifndef PLATFORM_BASALT_ZV_STRING_H
#define PLATFORM_BASALT_ZV_STRING_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IZvIStream;
class IZvOStream;

class CZvString {
 public:
  CZvString() = default;
  CZvString(const char* text);  // NOLINT: implicit on purpose; null gives ""
  CZvString(const char* text, uint32_t n);
  CZvString(const std::string& text);  // NOLINT

  const char* c_str() const { return mText ? mText->c_str() : ""; }
  uint32_t length() const { return mText ? static_cast<uint32_t>(mText->size()) : 0; }
  bool isEmpty() const { return length() == 0; }
  // The byte at index, or 0 when index is out of range.
  char at(uint32_t index) const;
  std::string toStdString() const { return mText ? *mText : std::string(); }

  // Replaces the text with printf-style output. Returns the new length.
  uint32_t format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  static CZvString formatted(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
  uint32_t appendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

  CZvString& append(const char* text);
  CZvString& append(const char* text, uint32_t n);
  CZvString& append(const CZvString& text);
  CZvString& append(char c);
  // Keeps the first n bytes (no effect when n >= length()).
  CZvString& truncate(uint32_t n);
  // Removes up to n bytes starting at pos (clamped to the end).
  CZvString& remove(uint32_t pos, uint32_t n);
  // Inserts text before pos (clamped to the end).
  CZvString& insert(uint32_t pos, const CZvString& text);

  // Index of the first occurrence at or after from, or -1.
  int32_t find(char c, uint32_t from = 0) const;
  int32_t find(const char* text, uint32_t from = 0) const;
  // Index of the last occurrence, or -1.
  int32_t findLast(char c) const;
  // Up to n bytes from pos (clamped).
  CZvString substr(uint32_t pos, uint32_t n = 0xFFFFFFFFu) const;
  bool startsWith(const char* prefix) const;

  // Byte-wise comparison like strcmp (shorter prefix first): <0, 0, >0.
  int compare(const CZvString& other) const;
  int compare(const char* other) const;
  bool operator==(const CZvString& o) const { return compare(o) == 0; }
  bool operator!=(const CZvString& o) const { return compare(o) != 0; }
  bool operator<(const CZvString& o) const { return compare(o) < 0; }
  bool operator>(const CZvString& o) const { return compare(o) > 0; }
  bool operator<=(const CZvString& o) const { return compare(o) <= 0; }
  bool operator>=(const CZvString& o) const { return compare(o) >= 0; }
  bool operator==(const char* o) const { return compare(o) == 0; }
  bool operator!=(const char* o) const { return compare(o) != 0; }
  CZvString& operator+=(const CZvString& o) { return append(o); }
  CZvString& operator+=(const char* o) { return append(o); }
  CZvString& operator+=(char c) { return append(c); }
  friend CZvString operator+(CZvString a, const CZvString& b) { return a.append(b); }

  size_t hash() const;
  // True when both strings share one character block (for tests of sharing).
  bool sharesDataWith(const CZvString& other) const { return mText != nullptr && mText == other.mText; }

  // The library's own stream form: 32-bit byte count (little-endian), then
  // the bytes without a terminating NUL. readFromStream returns false on a
  // truncated stream and leaves the string empty.
  bool writeToStream(IZvOStream& stream) const;
  bool readFromStream(IZvIStream& stream);

  // UTF-16 (host order code units) to UTF-8. A valid surrogate pair becomes
  // one 4-byte sequence. A lone or reversed surrogate becomes U+FFFD and the
  // function returns false; conversion continues with the next unit. A null
  // src with units > 0 gives an empty result and false. out is replaced.
  static bool convertUTF16ToUTF8(const uint16_t* src, uint32_t units, CZvString& out);
  // UTF-8 to UTF-16. Invalid input (a stray continuation byte, a truncated
  // sequence, an overlong form, an encoded surrogate, a value above
  // U+10FFFF, bytes 0xF8 to 0xFF) becomes one U+FFFD per maximal invalid
  // subpart and the function returns false. out is replaced.
  static bool convertUTF8ToUTF16(const CZvString& src, std::vector<uint16_t>& out);

 private:
  // Makes mText unshared (and non-null) before a change.
  std::string& mutableText();

  std::shared_ptr<std::string> mText;
};

// ISO 8859-15 (Latin-9) to UTF-8. Every byte maps to one character (0xA4 is
// the euro sign U+20AC, and the other seven differences from Latin-1 are
// honoured); bytes 0x00 to 0x7F stay as they are. A null src gives "".
CZvString ZvConvertFrom8859_15(const uint8_t* src, uint32_t n);

namespace std {
template <>
struct hash<CZvString> {
  size_t operator()(const CZvString& s) const { return s.hash(); }
};
}  // namespace std

#endif  // PLATFORM_BASALT_ZV_STRING_H
