// CZvParaNumberInfo: type and range of a number parameter.
#ifndef FBKIT_PARAMS_PARA_NUMBER_INFO_H
#define FBKIT_PARAMS_PARA_NUMBER_INFO_H

#include <cstdint>

// The integer types a number parameter can have on the bus.
enum EZvNumberType : int32_t {
  ZvNumberNoType = 0,
  ZvNumberUInt8 = 1,
  ZvNumberInt8 = 2,
  ZvNumberUInt16 = 3,
  ZvNumberInt16 = 4,
  ZvNumberUInt32 = 5,
  ZvNumberInt32 = 6,
};

class CZvParaNumberInfo {
 public:
  // The full range of type (empty for an unknown type).
  constexpr explicit CZvParaNumberInfo(EZvNumberType type = ZvNumberNoType) { setRange(type); }
  // A range whose argument type sets the number type.
  constexpr CZvParaNumberInfo(uint8_t min, uint8_t max) : mType(ZvNumberUInt8), mMax(max), mMin(min) {}
  constexpr CZvParaNumberInfo(int8_t min, int8_t max) : mType(ZvNumberInt8), mMax(max), mMin(min) {}
  constexpr CZvParaNumberInfo(uint16_t min, uint16_t max)
      : mType(ZvNumberUInt16), mMax(max), mMin(min) {}
  constexpr CZvParaNumberInfo(int16_t min, int16_t max) : mType(ZvNumberInt16), mMax(max), mMin(min) {}
  constexpr CZvParaNumberInfo(uint32_t min, uint32_t max)
      : mType(ZvNumberUInt32), mMax(max), mMin(min) {}
  constexpr CZvParaNumberInfo(int32_t min, int32_t max) : mType(ZvNumberInt32), mMax(max), mMin(min) {}

  // Copies take the type, and the bounds only for the known types.
  constexpr CZvParaNumberInfo(const CZvParaNumberInfo& other) { assign(other); }
  constexpr CZvParaNumberInfo& operator=(const CZvParaNumberInfo& other) {
    assign(other);
    return *this;
  }

  // Sets the type and its full range.
  constexpr void setRange(EZvNumberType type) {
    mType = type;
    mMin = 0;
    mMax = 0;
    switch (type) {
      case ZvNumberUInt8: mMax = UINT8_MAX; break;
      case ZvNumberInt8: mMin = INT8_MIN; mMax = INT8_MAX; break;
      case ZvNumberUInt16: mMax = UINT16_MAX; break;
      case ZvNumberInt16: mMin = INT16_MIN; mMax = INT16_MAX; break;
      case ZvNumberUInt32: mMax = UINT32_MAX; break;
      case ZvNumberInt32: mMin = INT32_MIN; mMax = INT32_MAX; break;
      default: break;
    }
  }

  constexpr EZvNumberType getType() const { return mType; }
  // Bytes on the bus: 1, 2 or 4; 0 for an unknown type.
  constexpr uint32_t getPrecision() const { return precisionOf(mType); }
  constexpr int64_t getRangeMin() const { return mMin; }
  constexpr int64_t getRangeMax() const { return mMax; }
  constexpr bool contains(int64_t value) const { return value >= mMin && value <= mMax; }
  constexpr bool isSigned() const {
    return mType == ZvNumberInt8 || mType == ZvNumberInt16 || mType == ZvNumberInt32;
  }

  static constexpr uint32_t precisionOf(EZvNumberType type) {
    switch (type) {
      case ZvNumberUInt8:
      case ZvNumberInt8: return 1;
      case ZvNumberUInt16:
      case ZvNumberInt16: return 2;
      case ZvNumberUInt32:
      case ZvNumberInt32: return 4;
      default: return 0;
    }
  }
  static constexpr bool isKnownType(int32_t type) {
    return type >= ZvNumberUInt8 && type <= ZvNumberInt32;
  }

 private:
  constexpr void assign(const CZvParaNumberInfo& other) {
    mType = other.mType;
    const bool known = isKnownType(other.mType);
    mMax = known ? other.mMax : 0;
    mMin = known ? other.mMin : 0;
  }

  EZvNumberType mType = ZvNumberNoType;
  // The bounds as exact values (unsigned 32-bit maxima fit).
  int64_t mMax = 0;
  int64_t mMin = 0;
};

// Shared range descriptions, constant from load time on.
extern const CZvParaNumberInfo sParaNumberInfoUInt8;
extern const CZvParaNumberInfo sParaNumberInfoInt8;
extern const CZvParaNumberInfo sParaNumberInfoUInt16;
extern const CZvParaNumberInfo sParaNumberInfoInt16;
extern const CZvParaNumberInfo sParaNumberInfoUInt32;
extern const CZvParaNumberInfo sParaNumberInfoInt32;
extern const CZvParaNumberInfo sParaNumberInfoUInt8_1_to_255;
extern const CZvParaNumberInfo sParaNumberInfoUInt8_0_to_5;
extern const CZvParaNumberInfo sParaNumberInfoUInt16_0_to_4095;

// The full-range description of each type 0 to 6 (type 0 maps to UINT8).
extern const CZvParaNumberInfo* const LUTNumberPrecision[7];

#endif  // FBKIT_PARAMS_PARA_NUMBER_INFO_H
