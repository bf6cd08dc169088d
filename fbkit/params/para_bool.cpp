#include "fbkit/params/para_bool.h"

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"

bool CZvParaBool::setValueBool(bool bit) {
  const bool changed = bit != mCacheValue;
  mCacheValue = bit;
  markSet(changed);
  return true;
}

bool CZvParaBool::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK:
    case ERROR_WRONG_TYPE: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

bool CZvParaBool::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaBool", "validateStream", "error validating bool");
    return false;
  }
  uint8_t byte = 0;
  if (!stream->readU8(byte)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  if (byte > 1) {
    mError = ERROR_PARAMETER;
    ZV_PARAM_WARNING("CZvParaBool", "validateStream", "error validating bool");
    return false;
  }
  return true;
}

bool CZvParaBool::readFromStream(CZvByteStream* stream, bool updateCache, uint8_t /*opType*/) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    return false;
  }
  uint8_t byte = 0;
  if (!stream->readU8(byte)) {
    mError = ERROR_END_OF_STREAM;
    ZV_PARAM_WARNING("CZvParaBool", "readFromStream", "error reading bool value");
    return false;
  }
  // Only 1 means true; validation has already refused anything above 1.
  mValue = byte == 1;
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  markRead();
  return true;
}

bool CZvParaBool::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  return ZvParamCodec::writeBigEndian(*stream, mCacheValue ? 1 : 0, 1);
}
