#include "fbkit/params/parameter_base.h"

#include "fbkit/client/most_config.h"
#include "fbkit/params/parameter_container.h"
#include "platform/basalt/zv_assert.h"

namespace {

// Lines reported by the cheap assertion of a getter asked for a type the
// parameter does not have. They are fixed numbers (not __LINE__) so that the
// reports stay comparable with the field logs of earlier releases.
enum EWrongGetterLine {
  LINE_GET_STRING = 267,
  LINE_GET_STREAM = 276,
  LINE_GET_BIT = 285,
  LINE_GET_BOOL = 293,
  LINE_GET_BOOL_AT = 301,
  LINE_GET_INT8 = 310,
  LINE_GET_UINT8 = 318,
  LINE_GET_UINT16 = 326,
  LINE_GET_INT16 = 333,
  LINE_GET_INT32 = 340,
  LINE_GET_UINT32 = 347,
};

void reportWrongGetter(int line) { doCheapAssert(line, "CZvParameterBase"); }

// Lists parameter in container after a successful set.
bool listWhenSet(bool result, CZvParameterBase* parameter, CZvParameterContainer& container) {
  if (result) container.addParameter(parameter);
  return result;
}

}  // namespace

CZvParameterBase::~CZvParameterBase() = default;

bool CZvParameterBase::canBeSend() const {
  return (mFlags & FLAG_CACHE_INITIALIZED) != 0 && validateData();
}

bool CZvParameterBase::match(const CZvString& /*text*/) const { return false; }

bool CZvParameterBase::setValueString(const CZvString& /*text*/) { return false; }
bool CZvParameterBase::setValueStream(const CZvByteStream* /*stream*/) { return false; }
bool CZvParameterBase::setValueBit(bool /*bit*/, uint32_t /*pos*/) { return false; }
bool CZvParameterBase::setValueBool(bool /*bit*/, uint32_t /*pos*/) { return false; }
bool CZvParameterBase::setValueBool(bool /*bit*/) { return false; }
bool CZvParameterBase::setValueINT8(int8_t /*value*/) { return false; }
bool CZvParameterBase::setValueUINT8(uint8_t /*value*/) { return false; }
bool CZvParameterBase::setValueUINT16(uint16_t /*value*/) { return false; }
bool CZvParameterBase::setValueINT16(int16_t /*value*/) { return false; }
bool CZvParameterBase::setValueINT32(int32_t /*value*/) { return false; }
bool CZvParameterBase::setValueUINT32(uint32_t /*value*/) { return false; }

CZvString CZvParameterBase::getValueString() const {
  reportWrongGetter(LINE_GET_STRING);
  return CZvString();
}

const CZvByteStream& CZvParameterBase::getValueStream() const {
  reportWrongGetter(LINE_GET_STREAM);
  static const CZvByteStream sEmpty;
  return sEmpty;
}

bool CZvParameterBase::getValueBit(uint32_t /*pos*/) const {
  reportWrongGetter(LINE_GET_BIT);
  return false;
}

bool CZvParameterBase::getValueBool() const {
  reportWrongGetter(LINE_GET_BOOL);
  return false;
}

bool CZvParameterBase::getValueBool(uint32_t /*pos*/) const {
  reportWrongGetter(LINE_GET_BOOL_AT);
  return false;
}

int8_t CZvParameterBase::getValueINT8() const {
  reportWrongGetter(LINE_GET_INT8);
  return 0;
}

uint8_t CZvParameterBase::getValueUINT8() const {
  reportWrongGetter(LINE_GET_UINT8);
  return 0;
}

uint16_t CZvParameterBase::getValueUINT16() const {
  reportWrongGetter(LINE_GET_UINT16);
  return 0;
}

int16_t CZvParameterBase::getValueINT16() const {
  reportWrongGetter(LINE_GET_INT16);
  return 0;
}

int32_t CZvParameterBase::getValueINT32() const {
  reportWrongGetter(LINE_GET_INT32);
  return 0;
}

uint32_t CZvParameterBase::getValueUINT32() const {
  reportWrongGetter(LINE_GET_UINT32);
  return 0;
}

bool CZvParameterBase::setValueUINT32(uint32_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueUINT32(value), this, container);
}

bool CZvParameterBase::setValueINT32(int32_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueINT32(value), this, container);
}

bool CZvParameterBase::setValueINT16(int16_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueINT16(value), this, container);
}

bool CZvParameterBase::setValueUINT16(uint16_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueUINT16(value), this, container);
}

bool CZvParameterBase::setValueUINT8(uint8_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueUINT8(value), this, container);
}

bool CZvParameterBase::setValueINT8(int8_t value, CZvParameterContainer& container) {
  return listWhenSet(setValueINT8(value), this, container);
}

bool CZvParameterBase::setValueBool(bool bit, CZvParameterContainer& container) {
  return listWhenSet(setValueBool(bit), this, container);
}

bool CZvParameterBase::setValueBool(bool bit, uint32_t pos, CZvParameterContainer& container) {
  return listWhenSet(setValueBool(bit, pos), this, container);
}

bool CZvParameterBase::setValueBit(bool bit, uint32_t pos, CZvParameterContainer& container) {
  return listWhenSet(setValueBit(bit, pos), this, container);
}

bool CZvParameterBase::setValueStream(const CZvByteStream* stream,
                                      CZvParameterContainer& container) {
  return listWhenSet(setValueStream(stream), this, container);
}

bool CZvParameterBase::setValueString(const CZvString& text, CZvParameterContainer& container) {
  return listWhenSet(setValueString(text), this, container);
}

bool CZvParameterBase::update(CZvParameterContainer& container) {
  container.addParameter(this);
  return true;
}

void CZvParameterBase::markSet(bool changed) {
  if (changed || !isCacheInitialized()) {
    mFlags |= FLAG_CACHE_CHANGED;
  } else {
    mFlags &= ~FLAG_CACHE_CHANGED;
  }
  mError = ERROR_NONE;
  mFlags &= ~FLAG_UP_TO_DATE;
  mFlags |= FLAG_CACHE_INITIALIZED;
}

bool CZvParameterBase::readUpdatesCache(bool updateCache) {
  return updateCache || ZvSystemConfig::getMOSTConfig().getParameterHandling() == 0;
}

CZvParamBase::~CZvParamBase() = default;
uint32_t CZvParamBase::write2Buffer() { return 0; }
uint32_t CZvParamBase::validate() { return 0; }
void CZvParamBase::setBoolean(bool /*value*/) {}
