// CZvParaClassifiedStream: raw bytes with a media type. Bus form: length of
// the data (2 bytes, big-endian), the media-type text with a zero
// terminator, then the data.
#ifndef FBKIT_PARAMS_PARA_CLASSIFIED_STREAM_H
#define FBKIT_PARAMS_PARA_CLASSIFIED_STREAM_H

#include <cstdint>

#include "fbkit/params/parameter_base.h"
#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"

class CZvParaClassifiedStream : public CZvParameterBase {
 public:
  // Data of at most maxLength bytes; mediaType is both the initial received
  // media type and the one sent until setMediaType changes it.
  CZvParaClassifiedStream(uint16_t maxLength, const CZvString& mediaType);
  // maxLength 0xFFFF, empty media types.
  CZvParaClassifiedStream();

  int32_t getParaType() const override { return PARA_CLASSIFIED_STREAM; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return mError == 0 || mError == 1; }
  // Data to send, the received media type and their three framing bytes.
  uint32_t getMOSTSize() const override {
    return mCacheValue.getSize() + mMediaType.length() + 3;
  }

  using CZvParameterBase::setValueStream;
  bool setValueStream(const CZvByteStream* stream) override;
  using CZvParameterBase::getValueStream;
  // Both streams are handed out rewound to their start.
  const CZvByteStream& getValueStream() const override;
  const CZvByteStream& getCacheValue() const;

  void setMediaType(const CZvString& mediaType) { mCacheMediaType = mediaType; }
  const CZvString& getMediaType() const { return mMediaType; }
  const CZvString& getCacheMediaType() const { return mCacheMediaType; }
  uint16_t getMaxLength() const { return mMaxLength; }

  static const CZvByteStream& getDummy();

 private:
  // The parts of an incoming classified stream, located without consuming.
  struct SParts {
    uint16_t length = 0;
    uint32_t mediaTypeSize = 0;  // bytes before the terminator
  };
  // ERROR_NONE when complete, else the error code of what is missing.
  static int32_t locate(const CZvByteStream& stream, SParts& parts);

  uint16_t mMaxLength;
  mutable CZvByteStream mValue;
  mutable CZvByteStream mCacheValue;
  CZvString mMediaType;
  CZvString mCacheMediaType;
};

#endif  // FBKIT_PARAMS_PARA_CLASSIFIED_STREAM_H
