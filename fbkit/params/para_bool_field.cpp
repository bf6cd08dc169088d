#include "fbkit/params/para_bool_field.h"

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"
#include "platform/basalt/zv_assert.h"

namespace {
// Reported line of the oversized-field assertion, kept stable for field logs.
constexpr int kOversizedLine = 84;

bool bitAt(uint64_t word, uint32_t pos) { return ((word >> pos) & 1u) != 0; }
}  // namespace

CZvParaBoolField::CZvParaBoolField(uint32_t bitCount) : mBitCount(bitCount) {
  if (bitCount > MAX_POSITIONS) {
    doCheapAssert(kOversizedLine, "CZvParaBoolField");
    mBitCount = 0;
  }
}

bool CZvParaBoolField::setValueBool(bool bit, uint32_t pos) {
  if (pos >= mBitCount) {
    ZV_PARAM_WARNING("CZvParaBoolField", "setValueBool", "boolfield pos out of range");
    mError = ERROR_PARAMETER;
    return false;
  }
  if (mError == ERROR_WRONG_TYPE) mError = ERROR_NONE;
  const uint64_t old = mCacheValue;
  const uint64_t bitMask = uint64_t{1} << pos;
  mCacheValue = bit ? (mCacheValue | bitMask) : (mCacheValue & ~bitMask);
  markSet(mCacheValue != old);
  return true;
}

bool CZvParaBoolField::getValueBool(uint32_t pos) const {
  return pos < mBitCount && bitAt(mValue, pos);
}

bool CZvParaBoolField::getCacheValueBool(uint32_t pos) const {
  return pos < mBitCount && bitAt(mCacheValue, pos);
}

bool CZvParaBoolField::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK:
    case ERROR_WRONG_TYPE: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

bool CZvParaBoolField::validateStream(CZvByteStream* stream) {
  // A stream error left by an earlier payload must not be mistaken for this
  // payload's end by the caller's error mapping.
  if (mError == ERROR_NO_STREAM || mError == ERROR_END_OF_STREAM) mError = ERROR_NONE;
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaBoolField", "validateStream", "error validating boolfield");
    return false;
  }
  uint64_t raw = 0;
  if (!ZvParamCodec::readBigEndian(*stream, getMOSTSize(), raw)) {
    ZV_PARAM_WARNING("CZvParaBoolField", "validateStream", "boolfield couldn't be read completely");
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (!ZvParamCodec::fitsBits(raw, mBitCount)) {
    ZV_PARAM_WARNING("CZvParaBoolField", "validateStream", "error validating boolfield");
    return false;
  }
  return true;
}

bool CZvParaBoolField::readFromStream(CZvByteStream* stream, bool updateCache,
                                      uint8_t /*opType*/) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    return false;
  }
  uint64_t raw = 0;
  if (!ZvParamCodec::readBigEndian(*stream, getMOSTSize(), raw)) {
    ZV_PARAM_WARNING("CZvParaBoolField", "readFromStream", "boolfield couldn't be read completely");
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  mValue = raw;
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  markRead();
  return true;
}

bool CZvParaBoolField::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr || !ZvParamCodec::writeBigEndian(*stream, mCacheValue, getMOSTSize())) {
    mError = ERROR_LENGTH;
    return false;
  }
  return true;
}
