// Character set conversions of CZvString.
#include "platform/basalt/zv_string.h"

namespace {
constexpr uint32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void appendUtf16(std::vector<uint16_t>& out, uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<uint16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<uint16_t>(0xD800 | (cp >> 10)));
    out.push_back(static_cast<uint16_t>(0xDC00 | (cp & 0x3FF)));
  }
}

bool isContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }
}  // namespace

bool CZvString::convertUTF16ToUTF8(const uint16_t* src, uint32_t units, CZvString& out) {
  out = CZvString();
  if (src == nullptr) return units == 0;
  std::string text;
  text.reserve(units);
  bool valid = true;
  for (uint32_t i = 0; i < units; ++i) {
    const uint32_t unit = src[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 < units && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
        const uint32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (src[i + 1] - 0xDC00);
        appendUtf8(text, cp);
        ++i;
      } else {
        appendUtf8(text, kReplacement);
        valid = false;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      appendUtf8(text, kReplacement);
      valid = false;
    } else {
      appendUtf8(text, unit);
    }
  }
  out = CZvString(text);
  return valid;
}

bool CZvString::convertUTF8ToUTF16(const CZvString& src, std::vector<uint16_t>& out) {
  out.clear();
  const auto* s = reinterpret_cast<const uint8_t*>(src.c_str());
  const uint32_t n = src.length();
  out.reserve(n);
  bool valid = true;
  uint32_t i = 0;
  while (i < n) {
    const uint8_t lead = s[i];
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    uint32_t need;
    uint32_t cp;
    // The second byte's allowed range excludes overlong forms, surrogates
    // and values above U+10FFFF (as the Unicode standard's table 3-7).
    uint8_t lo = 0x80;
    uint8_t hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      need = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      need = 2;
      cp = lead & 0x0F;
      if (lead == 0xE0) lo = 0xA0;
      if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      need = 3;
      cp = lead & 0x07;
      if (lead == 0xF0) lo = 0x90;
      if (lead == 0xF4) hi = 0x8F;
    } else {
      // Stray continuation byte, C0/C1 (always overlong) or F5..FF.
      out.push_back(static_cast<uint16_t>(kReplacement));
      valid = false;
      ++i;
      continue;
    }
    uint32_t consumed = 1;
    bool ok = true;
    for (uint32_t k = 0; k < need; ++k) {
      if (i + consumed >= n) {
        ok = false;
        break;
      }
      const uint8_t b = s[i + consumed];
      const bool inRange = (k == 0) ? (b >= lo && b <= hi) : isContinuation(b);
      if (!inRange) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (b & 0x3F);
      ++consumed;
    }
    if (ok) {
      appendUtf16(out, cp);
    } else {
      // One replacement for the maximal invalid subpart; resume at the byte
      // that broke the sequence.
      out.push_back(static_cast<uint16_t>(kReplacement));
      valid = false;
    }
    i += consumed;
  }
  return valid;
}

CZvString ZvConvertFrom8859_15(const uint8_t* src, uint32_t n) {
  if (src == nullptr) return CZvString();
  std::string text;
  text.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t cp = src[i];
    switch (cp) {  // where Latin-9 differs from Latin-1
      case 0xA4:
        cp = 0x20AC;
        break;  // euro sign
      case 0xA6:
        cp = 0x0160;
        break;  // S caron
      case 0xA8:
        cp = 0x0161;
        break;  // s caron
      case 0xB4:
        cp = 0x017D;
        break;  // Z caron
      case 0xB8:
        cp = 0x017E;
        break;  // z caron
      case 0xBC:
        cp = 0x0152;
        break;  // OE
      case 0xBD:
        cp = 0x0153;
        break;  // oe
      case 0xBE:
        cp = 0x0178;
        break;  // Y diaeresis
      default:
        break;
    }
    appendUtf8(text, cp);
  }
  return CZvString(text);
}
