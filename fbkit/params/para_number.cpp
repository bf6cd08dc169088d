#include "fbkit/params/para_number.h"

#include "fbkit/params/param_codec.h"
#include "fbkit/params/param_trace.h"
#include "platform/basalt/zv_assert.h"

namespace {

// The range traces print the values in the type's own width; the format
// letters match what field tools have always parsed.
void traceConstructOutOfRange(EZvNumberType type, int64_t min, int64_t max, int64_t value) {
  const char* kFn = "CZvParaNumber";
  switch (type) {
    case ZvNumberUInt32:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %u, max: %u, value: %u",
                       static_cast<uint32_t>(min), static_cast<uint32_t>(max),
                       static_cast<uint32_t>(value));
      break;
    case ZvNumberInt8:
    case ZvNumberInt16:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %hd, max: %hd, value: %hd",
                       static_cast<short>(min), static_cast<short>(max),
                       static_cast<short>(value));
      break;
    case ZvNumberUInt8:
    case ZvNumberUInt16:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %hu, max: %hu, value: %hu",
                       static_cast<unsigned short>(min), static_cast<unsigned short>(max),
                       static_cast<unsigned short>(value));
      break;
    default:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %d, max: %d, value: %d",
                       static_cast<int32_t>(min), static_cast<int32_t>(max),
                       static_cast<int32_t>(value));
      break;
  }
}

void traceSetOutOfRange(EZvNumberType type, int64_t min, int64_t max, int64_t value) {
  const char* kFn = "setValue";
  switch (type) {
    case ZvNumberUInt32:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %u, max: %u, value %u",
                       static_cast<uint32_t>(min), static_cast<uint32_t>(max),
                       static_cast<uint32_t>(value));
      break;
    case ZvNumberInt8:
    case ZvNumberInt16:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %hd, max: %hd, value %hd",
                       static_cast<short>(min), static_cast<short>(max),
                       static_cast<short>(value));
      break;
    case ZvNumberUInt8:
    case ZvNumberUInt16:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %hu, max: %hu, value %hu",
                       static_cast<unsigned short>(min), static_cast<unsigned short>(max),
                       static_cast<unsigned short>(value));
      break;
    default:
      ZV_PARAM_WARNING("CZvParaNumber", kFn, "number out of range, min: %d, max: %d, value %d",
                       static_cast<int32_t>(min), static_cast<int32_t>(max),
                       static_cast<int32_t>(value));
      break;
  }
}

void traceIncomingOutOfRange(EZvNumberType type, int64_t min, int64_t max, int64_t value) {
  const char* kFn = "validateStream";
  switch (type) {
    case ZvNumberUInt32:
      ZV_PARAM_WARNING("CZvParaNumber", kFn,
                       "incoming number out of range, min: %u, max : %u, value: %u",
                       static_cast<uint32_t>(min), static_cast<uint32_t>(max),
                       static_cast<uint32_t>(value));
      break;
    case ZvNumberInt32:
      ZV_PARAM_WARNING("CZvParaNumber", kFn,
                       "incoming number out of range, min: %d, max : %d, value: %d",
                       static_cast<int32_t>(min), static_cast<int32_t>(max),
                       static_cast<int32_t>(value));
      break;
    case ZvNumberInt8:
    case ZvNumberInt16:
      ZV_PARAM_WARNING("CZvParaNumber", kFn,
                       "incoming number out of range, min: %hd, max : %hd, value: %hd",
                       static_cast<short>(min), static_cast<short>(max),
                       static_cast<short>(value));
      break;
    default:
      ZV_PARAM_WARNING("CZvParaNumber", kFn,
                       "incoming number out of range, min: %hu, max : %hu, value: %hu",
                       static_cast<unsigned short>(min), static_cast<unsigned short>(max),
                       static_cast<unsigned short>(value));
      break;
  }
}

// The shared full-range description of type; unknown types fall back to
// the UINT8 one like type 0 does.
const CZvParaNumberInfo* fullRangeOf(EZvNumberType type) {
  if (type < ZvNumberNoType || type > ZvNumberInt32) {
    doCheapAssert(__LINE__, __FILE__);
    return LUTNumberPrecision[ZvNumberNoType];
  }
  return LUTNumberPrecision[type];
}

// Decodes size bytes of a payload value in the signedness of type.
int64_t decode(uint64_t raw, const CZvParaNumberInfo& info) {
  return info.isSigned() ? ZvParamCodec::signExtend(raw, info.getPrecision() * 8)
                         : static_cast<int64_t>(raw);
}

}  // namespace

#define ZV_NUMBER_CONSTRUCTORS(CType, kType)                                                 \
  CZvParaNumber::CZvParaNumber(CType value) { init(value, fullRangeOf(kType), false); }      \
  CZvParaNumber::CZvParaNumber(CType value, const CZvParaNumberInfo* info) {                 \
    if (info == nullptr) info = fullRangeOf(kType);                                           \
    ZV_CHEAP_ASSERT(info->getType() == kType);                                                \
    init(value, info, false);                                                                 \
  }                                                                                           \
  CZvParaNumber::CZvParaNumber(CType value, CType min, CType max) {                           \
    initOwned(value, CZvParaNumberInfo(min, max));                                            \
  }

ZV_NUMBER_CONSTRUCTORS(uint8_t, ZvNumberUInt8)
ZV_NUMBER_CONSTRUCTORS(int8_t, ZvNumberInt8)
ZV_NUMBER_CONSTRUCTORS(uint16_t, ZvNumberUInt16)
ZV_NUMBER_CONSTRUCTORS(int16_t, ZvNumberInt16)
ZV_NUMBER_CONSTRUCTORS(uint32_t, ZvNumberUInt32)
ZV_NUMBER_CONSTRUCTORS(int32_t, ZvNumberInt32)
#undef ZV_NUMBER_CONSTRUCTORS

CZvParaNumber::CZvParaNumber(EType type) { init(0, fullRangeOf(type), false); }

CZvParaNumber::CZvParaNumber(EType type, const CZvParaNumberInfo* info) {
  if (info == nullptr) info = fullRangeOf(type);
  init(0, info, false);
}

CZvParaNumber::CZvParaNumber(const CZvParaNumber& other) : CZvParameterBase() {
  adoptInfoOf(other);
  mError = other.mError;
  mValue = other.mValue;
  mCacheValue = other.mCacheValue;
  mFlags |= other.mFlags & (FLAG_UP_TO_DATE | FLAG_INITIALIZED | FLAG_CACHE_INITIALIZED);
}

CZvParaNumber& CZvParaNumber::operator=(const CZvParaNumber& other) {
  if (this == &other) return *this;
  adoptInfoOf(other);
  mError = other.mError;
  mValue = other.mValue;
  mCacheValue = other.mCacheValue;
  const uint32_t kCopied = FLAG_UP_TO_DATE | FLAG_INITIALIZED | FLAG_CACHE_INITIALIZED;
  mFlags = (mFlags & ~kCopied) | (other.mFlags & kCopied);
  return *this;
}

CZvParaNumber::~CZvParaNumber() = default;

void CZvParaNumber::init(int64_t value, const CZvParaNumberInfo* info, bool owned) {
  mInfo = info;
  if (owned) mFlags |= FLAG_PERSISTENT;
  if (!mInfo->contains(value)) {
    traceConstructOutOfRange(mInfo->getType(), mInfo->getRangeMin(), mInfo->getRangeMax(), value);
    mValue = 0;
    mCacheValue = 0;
    mError = ERROR_PARAMETER;
    return;
  }
  mValue = value;
  mCacheValue = value;
}

void CZvParaNumber::initOwned(int64_t value, const CZvParaNumberInfo& range) {
  mOwnedInfo.reset(new CZvParaNumberInfo(range));
  init(value, mOwnedInfo.get(), true);
}

void CZvParaNumber::adoptInfoOf(const CZvParaNumber& other) {
  if (other.mOwnedInfo) {
    mOwnedInfo.reset(new CZvParaNumberInfo(*other.mOwnedInfo));
    mInfo = mOwnedInfo.get();
    mFlags |= FLAG_PERSISTENT;
  } else {
    mOwnedInfo.reset();
    mInfo = other.mInfo;
    mFlags &= ~FLAG_PERSISTENT;
  }
}

bool CZvParaNumber::setTyped(EType type, int64_t value) {
  if (getType() != type) {
    mError = ERROR_WRONG_TYPE;
    return false;
  }
  if (mError == ERROR_WRONG_TYPE) mError = ERROR_NONE;
  if (!mInfo->contains(value)) {
    traceSetOutOfRange(type, mInfo->getRangeMin(), mInfo->getRangeMax(), value);
    return false;
  }
  const bool changed = value != mCacheValue;
  mCacheValue = value;
  markSet(changed);
  return validateData();
}

bool CZvParaNumber::setValueINT8(int8_t value) { return setTyped(INT8, value); }
bool CZvParaNumber::setValueUINT8(uint8_t value) { return setTyped(UINT8, value); }
bool CZvParaNumber::setValueUINT16(uint16_t value) { return setTyped(UINT16, value); }
bool CZvParaNumber::setValueINT16(int16_t value) { return setTyped(INT16, value); }
bool CZvParaNumber::setValueINT32(int32_t value) { return setTyped(INT32, value); }
bool CZvParaNumber::setValueUINT32(uint32_t value) { return setTyped(UINT32, value); }

int8_t CZvParaNumber::getValueINT8() const {
  return static_cast<int8_t>(valueIfType(mValue, INT8));
}
uint8_t CZvParaNumber::getValueUINT8() const {
  return static_cast<uint8_t>(valueIfType(mValue, UINT8));
}
uint16_t CZvParaNumber::getValueUINT16() const {
  return static_cast<uint16_t>(valueIfType(mValue, UINT16));
}
int16_t CZvParaNumber::getValueINT16() const {
  return static_cast<int16_t>(valueIfType(mValue, INT16));
}
int32_t CZvParaNumber::getValueINT32() const {
  return static_cast<int32_t>(valueIfType(mValue, INT32));
}
uint32_t CZvParaNumber::getValueUINT32() const {
  return static_cast<uint32_t>(valueIfType(mValue, UINT32));
}

int8_t CZvParaNumber::getCacheValueINT8() const {
  return static_cast<int8_t>(valueIfType(mCacheValue, INT8));
}
uint8_t CZvParaNumber::getCacheValueUINT8() const {
  return static_cast<uint8_t>(valueIfType(mCacheValue, UINT8));
}
uint16_t CZvParaNumber::getCacheValueUINT16() const {
  return static_cast<uint16_t>(valueIfType(mCacheValue, UINT16));
}
int16_t CZvParaNumber::getCacheValueINT16() const {
  return static_cast<int16_t>(valueIfType(mCacheValue, INT16));
}
int32_t CZvParaNumber::getCacheValueINT32() const {
  return static_cast<int32_t>(valueIfType(mCacheValue, INT32));
}
uint32_t CZvParaNumber::getCacheValueUINT32() const {
  return static_cast<uint32_t>(valueIfType(mCacheValue, UINT32));
}

bool CZvParaNumber::validateData() const { return mInfo->contains(mCacheValue); }

bool CZvParaNumber::clearError() {
  switch (mError) {
    case ERROR_NONE: return true;
    case ERROR_PARAMETER:
    case ERROR_FRAMEWORK: mError = ERROR_NONE; return validateData();
    case ERROR_WRONG_TYPE: mError = ERROR_NONE; return true;
    default: return false;
  }
}

bool CZvParaNumber::validateStream(CZvByteStream* stream) {
  if (stream == nullptr) {
    mError = ERROR_NO_STREAM;
    ZV_PARAM_WARNING("CZvParaNumber", "validateStream", "error validating number");
    return false;
  }
  uint64_t raw = 0;
  if (!ZvParamCodec::readBigEndian(*stream, mInfo->getPrecision(), raw)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  const int64_t value = decode(raw, *mInfo);
  if (!mInfo->contains(value)) {
    traceIncomingOutOfRange(getType(), mInfo->getRangeMin(), mInfo->getRangeMax(), value);
    mError = ERROR_PARAMETER;
    ZV_PARAM_WARNING("CZvParaNumber", "validateStream", "error validating number");
    return false;
  }
  return true;
}

bool CZvParaNumber::readFromStream(CZvByteStream* stream, bool updateCache, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  uint64_t raw = 0;
  if (!ZvParamCodec::readBigEndian(*stream, mInfo->getPrecision(), raw)) {
    mError = ERROR_END_OF_STREAM;
    return false;
  }
  mValue = decode(raw, *mInfo);
  if (readUpdatesCache(updateCache)) mCacheValue = mValue;
  markRead();
  return mInfo->contains(mValue);
}

bool CZvParaNumber::writeToStream(CZvByteStream* stream, uint8_t /*opType*/) {
  if (stream == nullptr) return false;
  return ZvParamCodec::writeBigEndian(*stream, static_cast<uint64_t>(mCacheValue),
                                      mInfo->getPrecision());
}
