// CZvParameterBase: one typed parameter of a MOST payload.
//
// Every parameter keeps two values of its type: the received value (what the
// last read from a message produced; the getters return it) and the cache
// value (what the application set for sending; writeToStream writes it).
// Incoming payloads are handled in two passes: validateStream for every
// parameter, rewind, then readFromStream for every parameter. Failures leave
// an error code behind (see EError) instead of throwing.
#ifndef FBKIT_PARAMS_PARAMETER_BASE_H
#define FBKIT_PARAMS_PARAMETER_BASE_H

#include <cstdint>

#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"

class CZvParameterContainer;

class CZvParameterBase {
 public:
  enum EFlag : uint32_t {
    // The received value is the newest value: set by every successful read
    // from a message, cleared by every successful set.
    FLAG_UP_TO_DATE = 0x01,
    // A value has been read from a message.
    FLAG_INITIALIZED = 0x02,
    // A value for sending has been set; canBeSend() requires it.
    FLAG_CACHE_INITIALIZED = 0x04,
    // The value for sending changed with the last set (or was set first).
    FLAG_CACHE_CHANGED = 0x08,
    // Survives invalidateData(); numbers mark an owned range description.
    FLAG_PERSISTENT = 0x10,
  };

  enum EError : int32_t {
    ERROR_NONE = 0,
    // Not written or read completely (the MOST code for an invalid length).
    ERROR_LENGTH = 5,
    // Value out of range (the MOST code for a wrong parameter).
    ERROR_PARAMETER = 6,
    // Framework errors set from outside the parameter.
    ERROR_FRAMEWORK = 0xA000,
    ERROR_FRAMEWORK_2 = 0xA001,
    // Access with a value type the parameter does not have.
    ERROR_WRONG_TYPE = 0xA002,
    // No stream given.
    ERROR_NO_STREAM = 0xA003,
    // The stream ended before the parameter was complete.
    ERROR_END_OF_STREAM = 0xA004,
  };

  enum EParaType : int32_t {
    PARA_NUMBER = 1,
    PARA_BITFIELD = 3,
    PARA_BOOL = 4,
    PARA_STRING = 5,
    PARA_STREAM = 6,
    PARA_BOOLFIELD = 7,
    PARA_CLASSIFIED_STREAM = 8,
    PARA_SHORT_STREAM = 9,
  };

  // OPTypes that change how some parameters are read or written.
  static constexpr uint8_t OPTYPE_STATUS = 12;
  // "No particular OPType", passed by the framework's functions.
  static constexpr uint8_t OPTYPE_NONE = 0xFF;

  CZvParameterBase() = default;
  CZvParameterBase(const CZvParameterBase&) = default;
  CZvParameterBase& operator=(const CZvParameterBase&) = default;
  virtual ~CZvParameterBase();

  virtual int32_t getParaType() const = 0;
  // False until a value for sending was set; then validateData().
  virtual bool canBeSend() const;
  // Resets recoverable errors and revalidates; false for errors that stay.
  virtual bool clearError() = 0;
  // Appends the value for sending in its MOST encoding.
  virtual bool writeToStream(CZvByteStream* stream, uint8_t opType) = 0;
  // Reads the received value. The value for sending follows it when
  // updateCache is true or the configuration's parameter handling is 0.
  virtual bool readFromStream(CZvByteStream* stream, bool updateCache, uint8_t opType) = 0;
  // Checks (and consumes) the parameter's bytes without taking them over.
  virtual bool validateStream(CZvByteStream* stream) = 0;
  // Whether the value for sending is acceptable.
  virtual bool validateData() const = 0;
  virtual uint32_t getMOSTSize() const = 0;
  virtual bool match(const CZvString& text) const;

  // Typed setters of the value for sending. The base refuses every type;
  // each parameter type accepts its own.
  virtual bool setValueString(const CZvString& text);
  virtual bool setValueStream(const CZvByteStream* stream);
  virtual bool setValueBit(bool bit, uint32_t pos);
  virtual bool setValueBool(bool bit, uint32_t pos);
  virtual bool setValueBool(bool bit);
  virtual bool setValueINT8(int8_t value);
  virtual bool setValueUINT8(uint8_t value);
  virtual bool setValueUINT16(uint16_t value);
  virtual bool setValueINT16(int16_t value);
  virtual bool setValueINT32(int32_t value);
  virtual bool setValueUINT32(uint32_t value);

  // Typed getters of the received value. Asking a parameter for a type it
  // does not have is an internal inconsistency (cheap assertion) and
  // answers zero, false or an empty value.
  virtual CZvString getValueString() const;
  virtual const CZvByteStream& getValueStream() const;
  virtual bool getValueBit(uint32_t pos) const;
  virtual bool getValueBool() const;
  virtual bool getValueBool(uint32_t pos) const;
  virtual int8_t getValueINT8() const;
  virtual uint8_t getValueUINT8() const;
  virtual uint16_t getValueUINT16() const;
  virtual int16_t getValueINT16() const;
  virtual int32_t getValueINT32() const;
  virtual uint32_t getValueUINT32() const;

  // Setters that also list the parameter in container (once) on success.
  bool setValueUINT32(uint32_t value, CZvParameterContainer& container);
  bool setValueINT32(int32_t value, CZvParameterContainer& container);
  bool setValueINT16(int16_t value, CZvParameterContainer& container);
  bool setValueUINT16(uint16_t value, CZvParameterContainer& container);
  bool setValueUINT8(uint8_t value, CZvParameterContainer& container);
  bool setValueINT8(int8_t value, CZvParameterContainer& container);
  bool setValueBool(bool bit, CZvParameterContainer& container);
  bool setValueBool(bool bit, uint32_t pos, CZvParameterContainer& container);
  bool setValueBit(bool bit, uint32_t pos, CZvParameterContainer& container);
  bool setValueStream(const CZvByteStream* stream, CZvParameterContainer& container);
  bool setValueString(const CZvString& text, CZvParameterContainer& container);
  // Lists the parameter in container unless it is already there.
  bool update(CZvParameterContainer& container);

  // Forgets both values' states (every flag except FLAG_PERSISTENT).
  void invalidateData() { mFlags &= FLAG_PERSISTENT; }
  void ClearErrorAfterMOSTRead() { mError = ERROR_NONE; }

  int32_t getError() const { return mError; }
  // For framework errors raised outside the parameter (0xA000, 0xA001).
  void setError(int32_t error) { mError = error; }
  uint32_t getFlags() const { return mFlags; }
  bool hasFlag(uint32_t flag) const { return (mFlags & flag) == flag; }

 protected:
  // Bookkeeping of a successful read from a message.
  void markRead() {
    mFlags |= FLAG_UP_TO_DATE | FLAG_INITIALIZED;
    mError = ERROR_NONE;
  }
  // Bookkeeping of a successful set; changed tells whether the value for
  // sending differs from before.
  void markSet(bool changed);
  bool isCacheInitialized() const { return (mFlags & FLAG_CACHE_INITIALIZED) != 0; }
  // Whether a read also updates the value for sending.
  static bool readUpdatesCache(bool updateCache);

  int32_t mError = ERROR_NONE;
  uint32_t mFlags = 0;
};

// The older minimal parameter interface, kept for code written against it.
class CZvParamBase {
 public:
  virtual ~CZvParamBase();
  virtual uint32_t write2Buffer();
  virtual uint32_t validate();
  virtual void setBoolean(bool value);
};

#endif  // FBKIT_PARAMS_PARAMETER_BASE_H
