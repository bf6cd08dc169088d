// CZvParaBoolField: up to 64 boolean positions packed into
// ceil(bitCount / 8) bytes, sent as one big-endian integer with position 0
// in the least significant bit of the last byte.
#ifndef FBKIT_PARAMS_PARA_BOOL_FIELD_H
#define FBKIT_PARAMS_PARA_BOOL_FIELD_H

#include <cstdint>

#include "fbkit/params/parameter_base.h"

// The received positions of a bool field as one integer.
struct SZvBoolFieldValue {
  uint64_t value;
  uint32_t bitCount;
};

class CZvParaBoolField : public CZvParameterBase {
 public:
  static constexpr uint32_t MAX_POSITIONS = 64;

  // More than 64 positions is a programming error (cheap assertion); such a
  // field has no positions at all.
  explicit CZvParaBoolField(uint32_t bitCount);

  int32_t getParaType() const override { return PARA_BOOLFIELD; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return true; }
  uint32_t getMOSTSize() const override { return (mBitCount + 7) / 8; }

  using CZvParameterBase::setValueBool;
  bool setValueBool(bool bit, uint32_t pos) override;
  using CZvParameterBase::getValueBool;
  bool getValueBool(uint32_t pos) const override;
  bool getCacheValueBool(uint32_t pos) const;
  SZvBoolFieldValue extractBoolField() const { return {mValue, mBitCount}; }
  uint32_t getBitCount() const { return mBitCount; }

 private:
  uint32_t mBitCount;
  uint64_t mValue = 0;
  uint64_t mCacheValue = 0;
};

#endif  // FBKIT_PARAMS_PARA_BOOL_FIELD_H
