// CZvParaBool: a boolean parameter, one byte on the bus (0 or 1).
#ifndef FBKIT_PARAMS_PARA_BOOL_H
#define FBKIT_PARAMS_PARA_BOOL_H

#include "fbkit/params/parameter_base.h"

class CZvParaBool : public CZvParameterBase {
 public:
  // Both values start as value.
  explicit CZvParaBool(bool value = false) : mValue(value), mCacheValue(value) {}

  int32_t getParaType() const override { return PARA_BOOL; }
  bool clearError() override;
  bool writeToStream(CZvByteStream* stream, uint8_t opType) override;
  bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) override;
  bool validateStream(CZvByteStream* stream) override;
  bool validateData() const override { return true; }
  uint32_t getMOSTSize() const override { return 1; }

  using CZvParameterBase::setValueBool;
  bool setValueBool(bool bit) override;
  using CZvParameterBase::getValueBool;
  bool getValueBool() const override { return mValue; }
  bool getCacheValueBool() const { return mCacheValue; }

 private:
  bool mValue;
  bool mCacheValue;
};

#endif  // FBKIT_PARAMS_PARA_BOOL_H
