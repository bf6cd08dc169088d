// Shared constants and small types of the middleware: request and result
// kinds, data states, the version update ID.
#ifndef PLATFORM_QRVI_SERVICE_TYPES_H
#define PLATFORM_QRVI_SERVICE_TYPES_H

#include <cstdint>

namespace ZvServices {

// Kinds of the events from proxy to stub.
enum RequestKind : uint32_t {
  KIND_REQUEST = 256,
  KIND_SET_NOTIFICATION = 257,
  KIND_CLEAR_NOTIFICATION = 258,
  KIND_CLEAR_ALL_NOTIFICATIONS = 260,
  KIND_SET_SESSION_NOTIFICATION = 261,
  KIND_CLEAR_SESSION_NOTIFICATION = 262,
  KIND_CLEAR_REGISTRATION = 263,
};

// Result kinds of the events from stub to proxy.
enum ResultKind : uint32_t {
  RESULT_RESPONSE = 512,
  RESULT_RESPONSE_INVALID = 513,
  RESULT_UPDATE = 514,
  RESULT_UPDATE_INVALID = 515,
  RESULT_REQUEST_FAILED = 516,
  RESULT_REQUEST_BUSY = 517,
};

inline bool isRequestKind(uint32_t kind) {
  return kind == KIND_REQUEST || kind == KIND_SET_NOTIFICATION || kind == KIND_CLEAR_NOTIFICATION ||
         (kind >= KIND_CLEAR_ALL_NOTIFICATIONS && kind <= KIND_CLEAR_REGISTRATION);
}
inline bool isResultKind(uint32_t kind) {
  return kind >= RESULT_RESPONSE && kind <= RESULT_REQUEST_BUSY;
}

// State of a cached value: never received, received but marked invalid, valid.
enum DataStateType : uint8_t {
  DATA_NOT_AVAILABLE = 0,
  DATA_INVALID = 1,
  DATA_VALID = 2,
  // The same states under their long names.
  DATA_STATE_NOT_AVAILABLE = DATA_NOT_AVAILABLE,
  DATA_STATE_INVALID = DATA_INVALID,
  DATA_STATE_VALID = DATA_VALID,
};

// The update ID under which a stub answers with its implementation version.
constexpr uint32_t kVersionId = 0xFFFFFFFEu;

}  // namespace ZvServices

#endif  // PLATFORM_QRVI_SERVICE_TYPES_H
