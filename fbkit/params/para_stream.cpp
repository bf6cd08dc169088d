#include "fbkit/params/para_stream.h"

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"

namespace {

// Replaces target by the next n bytes of stream (n must be available).
void takeBytes(CZvByteStream& stream, uint32_t n, CZvByteStream& target) {
  target = CZvByteStream(n ? stream.getData() + stream.getReadPosition() : nullptr, n);
  stream.skip(n);
}

}  // namespace

CZvParaStream::CZvParaStream(const CZvByteStream& initial, bool limited)
    : mValue(initial.getData(), initial.getSize()),
      mLimited(limited),
      mMaxSize(initial.getSize()) {}

CZvParaStream::CZvParaStream(uint32_t maxSize) : CZvParaStream(maxSize, true) {}

CZvParaStream::CZvParaStream() : CZvParaStream(0, false) {}

const CZvByteStream& CZvParaStream::getDummy() {
  static const CZvByteStream sEmpty;
  return sEmpty;
}

bool CZvParaStream::takeCacheValue(const CZvByteStream& stream, uint32_t limit) {
  if (stream.getSize() > limit) {
    ZV_PARAM_ERROR("CZvParaStream", "setValueStream", "stream to long, length: %u, max: %u",
                   stream.getSize(), limit);
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaStream", "setValueStream", "error setting stream");
    return false;
  }
  // Whole contents are compared: a shorter or longer stream is a change.
  const bool changed = !(stream == mCacheValue);
  mCacheValue = CZvByteStream(stream.getData(), stream.getSize());
  markSet(changed);
  return true;
}

bool CZvParaStream::setValueStream(const CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_PARAMETER;
    ZV_PARAM_WARNING("CZvParaStream", "setValueStream", "error setting stream");
    return false;
  }
  return takeCacheValue(*stream, mLimited ? mMaxSize : UINT32_MAX);
}

bool CZvParaStream::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_LENGTH:
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

bool CZvParaStream::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaStream", "validateStream", "error validating stream");
    return false;
  }
  // A limited stream takes up to maxSize bytes, an unlimited one the rest.
  stream->skip(mLimited ? mMaxSize : stream->getRemaining());
  return true;
}

bool CZvParaStream::readFromStream(CZvByteStream* stream, bool updateCache, uint8_t /*opType*/) {
  if (stream == nullptr) {
    mError = ERROR_LENGTH;
    return false;
  }
  const uint32_t remaining = stream->getRemaining();
  const uint32_t n = (mLimited && mMaxSize < remaining) ? mMaxSize : remaining;
  takeBytes(*stream, n, mValue);
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  markRead();
  return true;
}

bool CZvParaStream::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr ||
      !ZvParamCodec::writeBytes(*stream, mCacheValue.getData(), mCacheValue.getSize())) {
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaStream", "writeToStream", "writing stream failed");
    return false;
  }
  return true;
}

CZvParaShortStream::CZvParaShortStream(const CZvByteStream& initial, bool limited)
    : CZvParaStream(initial, limited) {
  if (mMaxSize > MAX_LENGTH) mMaxSize = MAX_LENGTH;
}

CZvParaShortStream::CZvParaShortStream(uint8_t maxSize) : CZvParaStream(maxSize, true) {}

CZvParaShortStream::CZvParaShortStream() : CZvParaStream(0, false) {}

bool CZvParaShortStream::setValueStream(const CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_PARAMETER;
    ZV_PARAM_WARNING("CZvParaShortStream", "setValueStream", "error setting stream");
    return false;
  }
  // Even an unlimited short stream cannot carry more than its length byte
  // can count.
  return takeCacheValue(*stream, mLimited ? mMaxSize : MAX_LENGTH);
}

bool CZvParaShortStream::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaShortStream", "validateStream", "error validating classified stream");
    return false;
  }
  ZV_PARAM_MESSAGE("CZvParaShortStream", "validateStream", "validation of CZvParaShortStream");
  uint8_t length = 0;
  if (!stream->readU8(length)) {
    ZV_PARAM_WARNING("CZvParaShortStream", "validateStream",
                     "validation of CZvParaShortStream: End of Stream detected on reading length");
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (mLimited && length > mMaxSize) {
    mError = ERROR_LENGTH;
    return false;
  }
  if (stream->getRemaining() < length) {
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaShortStream", "validateStream", "error validating classified stream");
    return false;
  }
  stream->skip(length);
  return true;
}

bool CZvParaShortStream::readFromStream(CZvByteStream* stream, bool updateCache,
                                        uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  const uint32_t start = stream->getReadPosition();
  uint8_t length = 0;
  if (!stream->readU8(length)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (stream->getRemaining() < length) {
    // The payload ends inside the data: take nothing.
    stream->setReadPosition(start);
    mError = ERROR_LENGTH;
    return false;
  }
  takeBytes(*stream, length, mValue);
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  markRead();
  return true;
}

bool CZvParaShortStream::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  const uint32_t size = mCacheValue.getSize();
  if (stream == nullptr || size > MAX_LENGTH ||
      !ZvParamCodec::writeBigEndian(*stream, size, 1) ||
      !ZvParamCodec::writeBytes(*stream, mCacheValue.getData(), size)) {
    mError = ERROR_LENGTH;
    return false;
  }
  return true;
}
