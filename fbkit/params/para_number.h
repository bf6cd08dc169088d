// CZvParaNumber: an 8, 16 or 32-bit integer parameter with a range, sent
// big-endian in as many bytes as its type has.
#ifndef FBKIT_PARAMS_PARA_NUMBER_H
#define FBKIT_PARAMS_PARA_NUMBER_H

#include <cstdint>
#include <memory>

#include "fbkit/params/para_number_info.h"
#include "fbkit/params/parameter_base.h"

class CZvParaNumber : public CZvParameterBase {
 public:
  using EType = EZvNumberType;
  static constexpr EType NoType = ZvNumberNoType;
  static constexpr EType UINT8 = ZvNumberUInt8;
  static constexpr EType INT8 = ZvNumberInt8;
  static constexpr EType UINT16 = ZvNumberUInt16;
  static constexpr EType INT16 = ZvNumberInt16;
  static constexpr EType UINT32 = ZvNumberUInt32;
  static constexpr EType INT32 = ZvNumberInt32;

  // The full range of the value's type.
  explicit CZvParaNumber(uint8_t value);
  explicit CZvParaNumber(int8_t value);
  explicit CZvParaNumber(uint16_t value);
  explicit CZvParaNumber(int16_t value);
  explicit CZvParaNumber(uint32_t value);
  explicit CZvParaNumber(int32_t value);
  // A shared range description (not owned); it must outlive the number.
  CZvParaNumber(uint8_t value, const CZvParaNumberInfo* info);
  CZvParaNumber(int8_t value, const CZvParaNumberInfo* info);
  CZvParaNumber(uint16_t value, const CZvParaNumberInfo* info);
  CZvParaNumber(int16_t value, const CZvParaNumberInfo* info);
  CZvParaNumber(uint32_t value, const CZvParaNumberInfo* info);
  CZvParaNumber(int32_t value, const CZvParaNumberInfo* info);
  // An owned range [min, max] of the arguments' type.
  CZvParaNumber(uint8_t value, uint8_t min, uint8_t max);
  CZvParaNumber(int8_t value, int8_t min, int8_t max);
  CZvParaNumber(uint16_t value, uint16_t min, uint16_t max);
  CZvParaNumber(int16_t value, int16_t min, int16_t max);
  CZvParaNumber(uint32_t value, uint32_t min, uint32_t max);
  CZvParaNumber(int32_t value, int32_t min, int32_t max);
  // Value 0 with the full range of type (NoType behaves as UINT8).
  explicit CZvParaNumber(EType type = NoType);
  // Value 0 with a shared description; null info means the full range.
  CZvParaNumber(EType type, const CZvParaNumberInfo* info);

  CZvParaNumber(const CZvParaNumber& other);
  CZvParaNumber& operator=(const CZvParaNumber& other);
  ~CZvParaNumber() override;

  int32_t getParaType() const override { return PARA_NUMBER; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override;
  uint32_t getMOSTSize() const override { return mInfo->getPrecision(); }

  using CZvParameterBase::setValueINT8;
  using CZvParameterBase::setValueUINT8;
  using CZvParameterBase::setValueINT16;
  using CZvParameterBase::setValueUINT16;
  using CZvParameterBase::setValueINT32;
  using CZvParameterBase::setValueUINT32;
  bool setValueINT8(int8_t value) override;
  bool setValueUINT8(uint8_t value) override;
  bool setValueUINT16(uint16_t value) override;
  bool setValueINT16(int16_t value) override;
  bool setValueINT32(int32_t value) override;
  bool setValueUINT32(uint32_t value) override;

  // The received value when the number has the type asked for, else 0.
  int8_t getValueINT8() const override;
  uint8_t getValueUINT8() const override;
  uint16_t getValueUINT16() const override;
  int16_t getValueINT16() const override;
  int32_t getValueINT32() const override;
  uint32_t getValueUINT32() const override;
  // The value for sending, likewise.
  int8_t getCacheValueINT8() const;
  uint8_t getCacheValueUINT8() const;
  uint16_t getCacheValueUINT16() const;
  int16_t getCacheValueINT16() const;
  int32_t getCacheValueINT32() const;
  uint32_t getCacheValueUINT32() const;

  EType getType() const { return mInfo->getType(); }
  uint32_t getPrecision() const { return mInfo->getPrecision(); }
  int64_t getRangeMin() const { return mInfo->getRangeMin(); }
  int64_t getRangeMax() const { return mInfo->getRangeMax(); }
  const CZvParaNumberInfo* getInfo() const { return mInfo; }
  bool ownsInfo() const { return mOwnedInfo != nullptr; }

 private:
  // Common construction: info is used as given (owned when owned is set).
  void init(int64_t value, const CZvParaNumberInfo* info, bool owned);
  void initOwned(int64_t value, const CZvParaNumberInfo& range);
  void adoptInfoOf(const CZvParaNumber& other);
  bool setTyped(EType type, int64_t value);
  int64_t valueIfType(int64_t value, EType type) const {
    return getType() == type ? value : 0;
  }

  const CZvParaNumberInfo* mInfo = nullptr;
  std::unique_ptr<CZvParaNumberInfo> mOwnedInfo;
  // Both values are held as exact numbers of the parameter's type.
  int64_t mValue = 0;
  int64_t mCacheValue = 0;
};

#endif  // FBKIT_PARAMS_PARA_NUMBER_H
