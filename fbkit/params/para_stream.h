// CZvParaStream: raw bytes without a length on the bus, running to the end
// of the payload, or of a fixed size (maxSize) when limited.
// CZvParaShortStream: raw bytes after a one-byte length.
#ifndef FBKIT_PARAMS_PARA_STREAM_H
#define FBKIT_PARAMS_PARA_STREAM_H

#include <cstdint>

#include "fbkit/params/parameter_base.h"
#include "platform/basalt/zv_byte_stream.h"

class CZvParaStream : public CZvParameterBase {
 public:
  // Received value initial; limited to its length when limited is set.
  CZvParaStream(const CZvByteStream& initial, bool limited);
  // Limited to maxSize bytes.
  explicit CZvParaStream(uint32_t maxSize);
  // Unlimited: takes the rest of the payload.
  CZvParaStream();

  int32_t getParaType() const override { return PARA_STREAM; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return mError == 0 || mError == 1; }
  uint32_t getMOSTSize() const override { return mValue.getSize(); }

  using CZvParameterBase::setValueStream;
  bool setValueStream(const CZvByteStream* stream) override;
  using CZvParameterBase::getValueStream;
  const CZvByteStream& getValueStream() const override { return mValue; }
  const CZvByteStream& getCacheValue() const { return mCacheValue; }
  uint32_t getMaxSize() const { return mMaxSize; }
  bool isLimited() const { return mLimited; }

  // The empty stream collections hand out for positions they do not hold.
  static const CZvByteStream& getDummy();

 protected:
  CZvParaStream(uint32_t maxSize, bool limited) : mLimited(limited), mMaxSize(maxSize) {}
  // Takes stream as the value for sending when it fits into limit bytes.
  bool takeCacheValue(const CZvByteStream& stream, uint32_t limit);

  CZvByteStream mValue;
  CZvByteStream mCacheValue;
  bool mLimited;
  uint32_t mMaxSize;
};

class CZvParaShortStream : public CZvParaStream {
 public:
  // The one-byte length caps every short stream at 255 bytes.
  static constexpr uint32_t MAX_LENGTH = 0xFF;

  CZvParaShortStream(const CZvByteStream& initial, bool limited);
  explicit CZvParaShortStream(uint8_t maxSize);
  CZvParaShortStream();

  int32_t getParaType() const override { return PARA_SHORT_STREAM; }
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  // The length byte and the received bytes.
  uint32_t getMOSTSize() const override { return mValue.getSize() + 1; }

  using CZvParaStream::setValueStream;
  bool setValueStream(const CZvByteStream* stream) override;
};

#endif  // FBKIT_PARAMS_PARA_STREAM_H
