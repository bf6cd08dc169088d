#include "fbkit/params/para_bit_field.h"

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"
#include "platform/basalt/zv_assert.h"

namespace {
// Reported line of the oversized-field assertion, kept stable for field logs.
constexpr int kOversizedLine = 59;

bool bitAt(uint64_t word, uint32_t pos) { return ((word >> pos) & 1u) != 0; }

// Bits of data outside mask stay, bits inside take newData.
uint64_t merge(uint64_t data, uint64_t newData, uint64_t mask) {
  return (data & ~mask) | (newData & mask);
}
}  // namespace

CZvParaBitField::CZvParaBitField(uint32_t bitCount, bool compact)
    : mBitCount(bitCount), mCompact(compact) {
  if (bitCount > MAX_BITS) {
    doCheapAssert(kOversizedLine, "CZvParaBitField");
    mBitCount = 0;
  }
}

uint32_t CZvParaBitField::getMOSTSize() const {
  if (mBitCount == 0) return 0;
  if (!mCompact) return 2 * byteWidth();
  if (mBitCount <= 4) return 1;
  if (mBitCount <= 8) return 2;
  if (mBitCount <= 16) return 4;
  return 0;
}

bool CZvParaBitField::setValueBit(bool bit, uint32_t pos) {
  if (pos >= mBitCount) {
    ZV_PARAM_WARNING("CZvParaBitField", "setValueBit", "bitfield pos out of range");
    return false;
  }
  if (mError == ERROR_WRONG_TYPE) mError = ERROR_NONE;
  const SBits old = mCacheValue;
  const uint64_t bitMask = uint64_t{1} << pos;
  mCacheValue.mask |= bitMask;
  mCacheValue.data = bit ? (mCacheValue.data | bitMask) : (mCacheValue.data & ~bitMask);
  // Small fields keep mask and data in one stored word, so a new mask bit
  // counts as a change there; wider fields compare the data only.
  bool changed = mCacheValue.data != old.data;
  if (mBitCount <= 16) changed = changed || mCacheValue.mask != old.mask;
  markSet(changed);
  return true;
}

bool CZvParaBitField::getValueBit(uint32_t pos) const {
  return pos < mBitCount && bitAt(mValue.data, pos);
}

bool CZvParaBitField::getCacheValueBit(uint32_t pos) const {
  return pos < mBitCount && bitAt(mCacheValue.data, pos);
}

SZvBitFieldValue CZvParaBitField::extractBitField() const {
  if (mBitCount <= 16) return {mValue.data, mValue.mask << 16, mBitCount};
  return {mValue.data, mValue.mask, mBitCount};
}

bool CZvParaBitField::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_PARAMETER: mError = ERROR_NONE; return validateData();
    default: return false;
  }
}

bool CZvParaBitField::decode(CZvByteStream& stream, SBits& bits) const {
  const uint32_t size = getMOSTSize();
  if (size == 0 || stream.getRemaining() < size) return false;
  uint64_t mask = 0;
  uint64_t data = 0;
  if (mCompact && mBitCount <= 4) {
    uint64_t byte = 0;
    ZvParamCodec::readBigEndian(stream, 1, byte);
    mask = byte >> 4;
    data = byte & 0x0F;
  } else {
    const uint32_t half = size / 2;
    ZvParamCodec::readBigEndian(stream, half, mask);
    ZvParamCodec::readBigEndian(stream, half, data);
  }
  bits.mask = mask;
  bits.data = data;
  return true;
}

bool CZvParaBitField::validateStream(CZvByteStream* stream) {
  // A stream error left by an earlier payload must not be mistaken for this
  // payload's end by the caller's error mapping.
  if (mError == ERROR_NO_STREAM || mError == ERROR_END_OF_STREAM) mError = ERROR_NONE;
  if (getMOSTSize() == 0) return false;
  if (stream == nullptr) {
    ZV_PARAM_WARNING("CZvParaBitField", "validateStream", "error validaiting bitfield");
    return false;
  }
  SBits bits;
  if (!decode(*stream, bits)) {
    ZV_PARAM_WARNING("CZvParaBitField", "validateStream", "boolfield couldn't be read completely");
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  // Data bits beyond the field's width are refused; a 64-bit field takes
  // any value.
  if (!ZvParamCodec::fitsBits(bits.data, mBitCount)) {
    ZV_PARAM_WARNING("CZvParaBitField", "validateStream", "error validaiting bitfield");
    return false;
  }
  return true;
}

bool CZvParaBitField::readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) {
  if (stream == nullptr) return false;
  SBits in;
  if (!decode(*stream, in)) {
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaBitField", "readFromStream", "error reading bitfield");
    return false;
  }
  const bool status = opType == OPTYPE_STATUS;
  if (status) {
    mValue = SBits();
    mCacheValue = SBits();
  }
  mValue.data = status ? in.data : merge(mValue.data, in.data, in.mask);
  mValue.mask = in.mask;
  if (mError == ERROR_FRAMEWORK || mError == ERROR_FRAMEWORK_2) mError = ERROR_NONE;
  mFlags |= FLAG_UP_TO_DATE | FLAG_INITIALIZED;
  if (!status && !readUpdatesCache(updateCache)) return true;
  mCacheValue.mask = status ? 0 : (mCacheValue.mask | in.mask);
  mCacheValue.data = status ? in.data : merge(mCacheValue.data, in.data, in.mask);
  return true;
}

bool CZvParaBitField::writeToStream(CZvByteStream* stream, uint8_t opType) {
  const uint32_t size = getMOSTSize();
  const uint64_t mask = opType == OPTYPE_STATUS ? 0 : mCacheValue.mask;
  bool written = stream != nullptr && size != 0;
  if (written) {
    if (mCompact && mBitCount <= 4) {
      written = ZvParamCodec::writeBigEndian(*stream, ((mask & 0x0F) << 4) | (mCacheValue.data & 0x0F), 1);
    } else {
      const uint32_t half = size / 2;
      written = ZvParamCodec::writeBigEndian(*stream, mask, half) &&
                ZvParamCodec::writeBigEndian(*stream, mCacheValue.data, half);
    }
  }
  if (!written) {
    mError = ERROR_LENGTH;
    ZV_PARAM_WARNING("CZvParaBitField", "writeToStream", "error writing bitfield");
    return false;
  }
  return true;
}
