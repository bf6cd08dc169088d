// CZvParaString: text with a one-byte encoding identifier and a terminator.
//
// Bus form: identifier (0x00 UTF-16 big-endian, 0x01 ISO 8859-15 or the
// application's own 8-bit character set through its converters, 0x02
// UTF-8), the characters, then one zero byte (two for UTF-16). Inside the
// framework the text is UTF-8.
#ifndef FBKIT_PARAMS_PARA_STRING_H
#define FBKIT_PARAMS_PARA_STRING_H

#include <cstdint>

#include "fbkit/params/parameter_base.h"
#include "platform/basalt/zv_string.h"

class CZvParaString : public CZvParameterBase {
 public:
  // Encodings for sending. The bus identifiers are 0, 1 and 2.
  enum StrType : int32_t {
    STR_UTF16 = 0,
    STR_ISO8859_15 = 1,
    STR_UTF8 = 2,
    // Plain ASCII as 0x01, other text as 0x01 through the outgoing converter
    // when there is one, else as UTF-8.
    STR_AUTO = 255,
    // Plain ASCII as 0x01, other text as UTF-16.
    STR_AUTO_UTF16 = 256,
  };

  // Turns count bytes of the application's 8-bit character set into UTF-8.
  typedef CZvString (*FromConverter)(const uint8_t* bytes, uint32_t count);
  // Writes text in the application's 8-bit character set into buffer (at
  // most size bytes, no terminator), replacing what it cannot represent by
  // replacement; returns the number of bytes written.
  typedef uint32_t (*ToConverter)(const CZvString& text, uint8_t* buffer, uint32_t size,
                                  uint8_t replacement);

  static constexpr uint8_t DEFAULT_REPLACEMENT = '?';

  // A string limited to maxLength characters; longer texts are cut when
  // truncate is set and refused otherwise. initial is the value for sending.
  CZvParaString(const CZvString& initial, uint32_t maxLength, bool truncate,
                FromConverter fromConverter = nullptr, ToConverter toConverter = nullptr,
                uint8_t replacement = DEFAULT_REPLACEMENT);
  // An unlimited string with initial as the value for sending.
  CZvParaString(const CZvString& initial, FromConverter fromConverter = nullptr,
                ToConverter toConverter = nullptr, uint8_t replacement = DEFAULT_REPLACEMENT);
  // An empty, unlimited string.
  explicit CZvParaString(FromConverter fromConverter = nullptr, ToConverter toConverter = nullptr,
                         uint8_t replacement = DEFAULT_REPLACEMENT);

  int32_t getParaType() const override { return PARA_STRING; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return mError == 0 || mError == 1; }
  // Bytes of the received value plus one.
  uint32_t getMOSTSize() const override { return mValue.length() + 1; }
  // True when text equals the received value or the value for sending.
  bool match(const CZvString& text) const override;

  using CZvParameterBase::setValueString;
  bool setValueString(const CZvString& text) override;
  CZvString getValueString() const override { return mValue; }
  const CZvString& getCacheValue() const { return mCacheValue; }

  // Chooses the encoding for sending; see StrType. ISO 8859-15 is taken only
  // while the received value is plain ASCII.
  bool setStringEncoding(int32_t encoding);
  int32_t getStringEncoding() const { return mEncoding; }
  uint32_t getMaxLength() const { return mMaxLength; }
  bool isLimited() const { return mLimited; }

  // The empty text collections hand out for positions they do not hold.
  static const CZvString& getDummy();

  // Number of characters of UTF-8 text (continuation bytes do not count).
  static uint32_t countCharacters(const CZvString& text);

 private:
  bool writeEightBit(CZvByteStream& stream, const CZvString& text, bool ascii);
  bool writeUTF8(CZvByteStream& stream, const CZvString& text);
  bool writeUTF16(CZvByteStream& stream, const CZvString& text, bool& converted);

  CZvString mValue;
  CZvString mCacheValue;
  int32_t mEncoding = STR_AUTO;
  uint32_t mMaxLength = 0;
  bool mLimited = false;
  bool mTruncate = false;
  uint8_t mReplacement;
  FromConverter mFromConverter;
  ToConverter mToConverter;
};

#endif  // FBKIT_PARAMS_PARA_STRING_H
