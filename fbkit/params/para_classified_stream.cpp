#include "fbkit/params/para_classified_stream.h"

#include <cstring>

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"

CZvParaClassifiedStream::CZvParaClassifiedStream(uint16_t maxLength, const CZvString& mediaType)
    : mMaxLength(maxLength), mMediaType(mediaType), mCacheMediaType(mediaType) {}

CZvParaClassifiedStream::CZvParaClassifiedStream() : mMaxLength(0xFFFF) {}

const CZvByteStream& CZvParaClassifiedStream::getDummy() {
  static const CZvByteStream sEmpty;
  return sEmpty;
}

const CZvByteStream& CZvParaClassifiedStream::getValueStream() const {
  mValue.rewind();
  return mValue;
}

const CZvByteStream& CZvParaClassifiedStream::getCacheValue() const {
  mCacheValue.rewind();
  return mCacheValue;
}

bool CZvParaClassifiedStream::setValueStream(const CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_PARAMETER;
    ZV_PARAM_WARNING("CZvParaClassifiedStream", "setValueStream",
                     "error setting classified stream");
    return false;
  }
  if (stream->getSize() > mMaxLength) return false;
  const bool changed = !(*stream == mCacheValue);
  mCacheValue = CZvByteStream(stream->getData(), stream->getSize());
  markSet(changed);
  return true;
}

bool CZvParaClassifiedStream::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_LENGTH:
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

int32_t CZvParaClassifiedStream::locate(const CZvByteStream& stream, SParts& parts) {
  const uint32_t remaining = stream.getRemaining();
  if (remaining < 2) return ERROR_END_OF_STREAM;
  const uint8_t* bytes = stream.getData() + stream.getReadPosition();
  parts.length = static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
  const void* terminator = std::memchr(bytes + 2, 0, remaining - 2);
  if (terminator == nullptr) return ERROR_LENGTH;
  parts.mediaTypeSize = static_cast<uint32_t>(static_cast<const uint8_t*>(terminator) - (bytes + 2));
  const uint32_t dataStart = 2 + parts.mediaTypeSize + 1;
  if (remaining - dataStart < parts.length) return ERROR_LENGTH;
  return ERROR_NONE;
}

bool CZvParaClassifiedStream::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaClassifiedStream", "validateStream",
                     "error validating classified stream");
    return false;
  }
  SParts parts;
  const int32_t error = locate(*stream, parts);
  if (error == ERROR_END_OF_STREAM) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  // The length is checked before anything else of the stream.
  if (parts.length > mMaxLength) {
    mError = ERROR_LENGTH;
    return false;
  }
  if (error != ERROR_NONE) {
    mError = error;
    ZV_PARAM_WARNING("CZvParaClassifiedStream", "validateStream",
                     "error validating classified stream");
    return false;
  }
  stream->skip(2 + parts.mediaTypeSize + 1 + parts.length);
  return true;
}

bool CZvParaClassifiedStream::readFromStream(CZvByteStream* stream, bool updateCache,
                                             uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  SParts parts;
  const int32_t error = locate(*stream, parts);
  if (error != ERROR_NONE) {
    mError = error;
    return false;
  }
  const uint8_t* bytes = stream->getData() + stream->getReadPosition();
  mMediaType = CZvString(reinterpret_cast<const char*>(bytes + 2), parts.mediaTypeSize);
  const uint32_t dataStart = 2 + parts.mediaTypeSize + 1;
  mValue = CZvByteStream(parts.length ? bytes + dataStart : nullptr, parts.length);
  stream->skip(dataStart + parts.length);
  if (readUpdatesCache(updateCache)) {
    mCacheValue = mValue;
    mCacheMediaType = mMediaType;
  }
  markRead();
  return true;
}

bool CZvParaClassifiedStream::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  const uint32_t size = mCacheValue.getSize();
  const char* mediaType = mCacheMediaType.c_str();
  for (uint32_t i = 0; i < mCacheMediaType.length(); ++i) {
    // The media type goes out as plain ASCII text only (a NUL would end it
    // early on the other side).
    const uint8_t c = static_cast<uint8_t>(mediaType[i]);
    if (c == 0 || c >= 0x80) return false;
  }
  if (size > 0xFFFF) {
    mError = ERROR_LENGTH;
    return false;
  }
  if (!ZvParamCodec::writeBigEndian(*stream, size, 2) ||
      !ZvParamCodec::writeBytes(*stream, mediaType, mCacheMediaType.length() + 1) ||
      !ZvParamCodec::writeBytes(*stream, mCacheValue.getData(), size)) {
    mError = ERROR_LENGTH;
    return false;
  }
  return true;
}
