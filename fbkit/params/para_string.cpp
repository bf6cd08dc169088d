#include "fbkit/params/para_string.h"

#include <memory>
#include <vector>

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"

namespace {

constexpr uint8_t kIdUTF16 = 0x00;
constexpr uint8_t kIdEightBit = 0x01;
constexpr uint8_t kIdUTF8 = 0x02;

bool isContinuationByte(uint8_t byte) { return (byte & 0xC0) == 0x80; }

bool isAscii(const CZvString& text) {
  const char* bytes = text.c_str();
  for (uint32_t i = 0; i < text.length(); ++i) {
    if (static_cast<uint8_t>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

// Byte offset of character number count (or the length when shorter).
uint32_t byteOffsetOfCharacter(const CZvString& text, uint32_t count) {
  const char* bytes = text.c_str();
  uint32_t seen = 0;
  for (uint32_t i = 0; i < text.length(); ++i) {
    if (isContinuationByte(static_cast<uint8_t>(bytes[i]))) continue;
    if (seen == count) return i;
    ++seen;
  }
  return text.length();
}

// The characters of an incoming string, found by its terminator.
struct SStringBody {
  const uint8_t* bytes = nullptr;
  uint32_t size = 0;         // bytes before the terminator
  uint32_t terminator = 0;   // bytes of the terminator
  uint32_t characters = 0;   // what counts against a length limit
};

// Looks for the terminator in the remaining payload without consuming it.
// A limit counts UTF-16 code units, ISO 8859-15 bytes and UTF-8 characters.
bool findBody(const CZvByteStream& stream, uint8_t identifier, SStringBody& body) {
  const uint32_t remaining = stream.getRemaining();
  const uint8_t* bytes = remaining ? stream.getData() + stream.getReadPosition() : nullptr;
  body.bytes = bytes;
  if (identifier == kIdUTF16) {
    for (uint32_t i = 0; i + 1 < remaining; i += 2) {
      if (bytes[i] == 0 && bytes[i + 1] == 0) {
        body.size = i;
        body.terminator = 2;
        body.characters = i / 2;
        return true;
      }
    }
    return false;
  }
  uint32_t characters = 0;
  for (uint32_t i = 0; i < remaining; ++i) {
    if (bytes[i] == 0) {
      body.size = i;
      body.terminator = 1;
      body.characters = characters;
      return true;
    }
    if (identifier != kIdUTF8 || !isContinuationByte(bytes[i])) ++characters;
  }
  return false;
}

}  // namespace

CZvParaString::CZvParaString(const CZvString& initial, uint32_t maxLength, bool truncate,
                             FromConverter fromConverter, ToConverter toConverter,
                             uint8_t replacement)
    : mCacheValue(initial),
      mMaxLength(maxLength),
      mLimited(true),
      mTruncate(truncate),
      mReplacement(replacement),
      mFromConverter(fromConverter),
      mToConverter(toConverter) {
  if (truncate && countCharacters(mCacheValue) > maxLength) {
    mCacheValue.truncate(byteOffsetOfCharacter(mCacheValue, maxLength));
  }
}

CZvParaString::CZvParaString(const CZvString& initial, FromConverter fromConverter,
                             ToConverter toConverter, uint8_t replacement)
    : mCacheValue(initial),
      mMaxLength(countCharacters(initial)),
      mReplacement(replacement),
      mFromConverter(fromConverter),
      mToConverter(toConverter) {}

CZvParaString::CZvParaString(FromConverter fromConverter, ToConverter toConverter,
                             uint8_t replacement)
    : mReplacement(replacement), mFromConverter(fromConverter), mToConverter(toConverter) {}

const CZvString& CZvParaString::getDummy() {
  static const CZvString sEmpty;
  return sEmpty;
}

uint32_t CZvParaString::countCharacters(const CZvString& text) {
  const char* bytes = text.c_str();
  uint32_t count = 0;
  for (uint32_t i = 0; i < text.length(); ++i) {
    if (!isContinuationByte(static_cast<uint8_t>(bytes[i]))) ++count;
  }
  return count;
}

bool CZvParaString::match(const CZvString& text) const {
  return text == mValue || text == mCacheValue;
}

bool CZvParaString::setValueString(const CZvString& text) {
  CZvString taken = text;
  if (mLimited) {
    const uint32_t characters = countCharacters(text);
    if (characters > mMaxLength) {
      if (!mTruncate) {
        ZV_PARAM_WARNING("CZvParaString", "setValueString", "string to long, length: %u, max %u",
                         characters, mMaxLength);
        ZV_PARAM_WARNING("CZvParaString", "setValueString", "problem setting string");
        mError = ERROR_LENGTH;
        return false;
      }
      taken.truncate(byteOffsetOfCharacter(text, mMaxLength));
    }
  }
  const bool changed = taken != mCacheValue;
  mCacheValue = taken;
  markSet(changed);
  return true;
}

bool CZvParaString::setStringEncoding(int32_t encoding) {
  if (encoding == mEncoding) return true;
  switch (encoding) {
    case STR_UTF16:
    case STR_UTF8:
    case STR_AUTO_UTF16:
      mEncoding = encoding;
      return true;
    case STR_ISO8859_15:
      if (countCharacters(mValue) == mValue.length()) {
        mEncoding = encoding;
        return true;
      }
      mEncoding = STR_AUTO;
      return false;
    case 3:
    case 4:
    case 5:
    case 6:
      // Known to the bus but not supported here.
      return false;
    default:
      mEncoding = STR_AUTO;
      return false;
  }
}

bool CZvParaString::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_LENGTH:
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

bool CZvParaString::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaString", "validateStream", "error validatung string");
    return false;
  }
  uint8_t identifier = 0;
  if (!stream->readU8(identifier)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (identifier > kIdUTF8) {
    ZV_PARAM_ERROR("CZvParaString", "validateStream", "unknown string encoding");
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaString", "validateStream", "error validatung string");
    return false;
  }
  SStringBody body;
  if (!findBody(*stream, identifier, body)) {
    // The payload ends inside the string.
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (mLimited && body.characters > mMaxLength) {
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaString", "validateStream", "error validatung string");
    return false;
  }
  stream->skip(body.size + body.terminator);
  return true;
}

bool CZvParaString::readFromStream(CZvByteStream* stream, bool updateCache, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  uint8_t identifier = 0;
  if (!stream->readU8(identifier)) {
    // An absent string reads as an empty one.
    mValue = CZvString();
    if (readUpdatesCache(updateCache)) mCacheValue = mValue;
    markRead();
    return true;
  }
  if (identifier > kIdUTF8) {
    ZV_PARAM_ERROR("CZvParaString", "readFromStream", "unknown encoding for incoming string");
    return false;
  }
  SStringBody body;
  if (!findBody(*stream, identifier, body)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  CZvString text;
  bool copied = true;
  if (identifier == kIdEightBit) {
    text = mFromConverter ? mFromConverter(body.bytes, body.size)
                          : ZvConvertFrom8859_15(body.bytes, body.size);
  } else if (identifier == kIdUTF8) {
    text = CZvString(reinterpret_cast<const char*>(body.bytes), body.size);
  } else {
    std::vector<uint16_t> units(body.size / 2);
    for (uint32_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<uint16_t>((body.bytes[2 * i] << 8) | body.bytes[2 * i + 1]);
    }
    copied = CZvString::convertUTF16ToUTF8(units.data(), static_cast<uint32_t>(units.size()), text);
  }
  if (!copied) {
    ZV_PARAM_WARNING("CZvParaString", "readFromStream", "reading string failed");
    mError = ERROR_LENGTH;
    return false;
  }
  stream->skip(body.size + body.terminator);
  mValue = text;
  markRead();
  mEncoding = STR_AUTO;
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  return true;
}

bool CZvParaString::writeEightBit(CZvByteStream& stream, const CZvString& text, bool rawBytes) {
  bool written = ZvParamCodec::writeBigEndian(stream, kIdEightBit, 1);
  if (rawBytes || mToConverter == nullptr) {
    written = written && ZvParamCodec::writeBytes(stream, text.c_str(), text.length());
  } else {
    // One byte per character is enough for an 8-bit character set.
    const uint32_t size = text.length();
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size + 1]);
    uint32_t count = mToConverter(text, buffer.get(), size, mReplacement);
    if (count > size) count = size;  // never trust a converter beyond its buffer
    written = written && ZvParamCodec::writeBytes(stream, buffer.get(), count);
  }
  return written && ZvParamCodec::writeBigEndian(stream, 0, 1);
}

bool CZvParaString::writeUTF8(CZvByteStream& stream, const CZvString& text) {
  return ZvParamCodec::writeBigEndian(stream, kIdUTF8, 1) &&
         ZvParamCodec::writeBytes(stream, text.c_str(), text.length()) &&
         ZvParamCodec::writeBigEndian(stream, 0, 1);
}

bool CZvParaString::writeUTF16(CZvByteStream& stream, const CZvString& text, bool& converted) {
  std::vector<uint16_t> units;
  converted = CZvString::convertUTF8ToUTF16(text, units);
  std::vector<uint8_t> bytes;
  bytes.reserve(units.size() * 2 + 3);
  bytes.push_back(kIdUTF16);
  for (uint16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
    bytes.push_back(static_cast<uint8_t>(unit));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return ZvParamCodec::writeBytes(stream, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool CZvParaString::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  // The terminator ends the string on the bus: a NUL inside the text would
  // cut it there and leave the rest to be taken for the next parameter.
  CZvString text = mCacheValue;
  const int32_t nul = text.find('\0');
  if (nul >= 0) text.truncate(static_cast<uint32_t>(nul));
  const bool ascii = isAscii(text);
  bool converted = true;
  bool written = false;
  switch (mEncoding) {
    case STR_AUTO:
      if (ascii || mToConverter != nullptr) {
        written = writeEightBit(*stream, text, false);
      } else {
        written = writeUTF8(*stream, text);
      }
      // Automatic encoding leaves the error code as it is.
      return written;
    case STR_ISO8859_15:
      if (!ascii && mToConverter == nullptr) {
        mError = ERROR_PARAMETER;
        return false;
      }
      written = writeEightBit(*stream, text, false);
      break;
    case STR_UTF8:
      written = writeUTF8(*stream, text);
      break;
    case STR_UTF16:
      written = writeUTF16(*stream, text, converted);
      break;
    case STR_AUTO_UTF16:
      written = ascii ? writeEightBit(*stream, text, true) : writeUTF16(*stream, text, converted);
      break;
    default:
      return false;
  }
  if (converted && mError == ERROR_PARAMETER) mError = ERROR_NONE;
  return written;
}
