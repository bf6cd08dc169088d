// CZvParaBitField: up to 64 bits sent together with a mask that tells which
// bits a command changes. A command therefore changes only the bits its
// mask selects, while a Status report replaces the whole field.
//
// Layouts (n = ceil(bitCount / 8)):
//   standard:            mask (n bytes, big-endian), data (n bytes)
//   compact,  1-4 bits:  one byte, mask in the high nibble, data in the low
//   compact,  5-8 bits:  mask byte, data byte
//   compact, 9-16 bits:  mask (16 bits, big-endian), data (16 bits)
//   compact, more bits:  not encodable (size 0)
#ifndef FBKIT_PARAMS_PARA_BIT_FIELD_H
#define FBKIT_PARAMS_PARA_BIT_FIELD_H

#include <cstdint>

#include "fbkit/params/parameter_base.h"

// The received bits and mask of a bit field. For fields of up to 16 bits
// the mask is reported as it is stored there, shifted into bits 16 to 31.
struct SZvBitFieldValue {
  uint64_t data;
  uint64_t mask;
  uint32_t bitCount;
};

class CZvParaBitField : public CZvParameterBase {
 public:
  static constexpr uint32_t MAX_BITS = 64;

  // A field of 0 bits.
  CZvParaBitField() : CZvParaBitField(0, false) {}
  // More than 64 bits is a programming error (cheap assertion); such a field
  // has no bits at all.
  explicit CZvParaBitField(uint32_t bitCount, bool compact = false);

  int32_t getParaType() const override { return PARA_BITFIELD; }
  bool clearError() override;
  // The mask goes out as all zero for a Status (opType 12).
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return true; }
  uint32_t getMOSTSize() const override;

  using CZvParameterBase::setValueBit;
  // Sets or clears the bit at pos and selects it in the mask.
  bool setValueBit(bool bit, uint32_t pos) override;
  using CZvParameterBase::getValueBit;
  bool getValueBit(uint32_t pos) const override;
  bool getCacheValueBit(uint32_t pos) const;
  SZvBitFieldValue extractBitField() const;
  uint32_t getBitCount() const { return mBitCount; }
  bool isCompact() const { return mCompact; }

 private:
  struct SBits {
    uint64_t mask = 0;
    uint64_t data = 0;
  };

  bool decode(CZvByteStream& stream, SBits& bits) const;
  uint32_t byteWidth() const { return (mBitCount + 7) / 8; }

  uint32_t mBitCount;
  bool mCompact;
  SBits mValue;
  SBits mCacheValue;
};

#endif  // FBKIT_PARAMS_PARA_BIT_FIELD_H
