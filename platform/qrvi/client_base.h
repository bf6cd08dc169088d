// CZvClientBase: the base of an interface's client class. It remembers the
// sequence number of the notification being handled and reports handlers
// that the application left unimplemented.
#ifndef PLATFORM_QRVI_CLIENT_BASE_H
#define PLATFORM_QRVI_CLIENT_BASE_H

#include <cstdint>

#include "platform/qrvi/service_reports.h"

class CZvClientBase {
 public:
  virtual ~CZvClientBase() = default;

  uint32_t getLastSequenceNumber() const { return mLastSequence; }

 protected:
  void setLastSequenceNumber(uint32_t sequence) { mLastSequence = sequence; }

  void responseNotImplemented(const char* className, uint32_t id) const {
    ZvServices::reportNotImplemented(ZvServices::RESPONSE, className, id);
  }
  void onUpdateNotImplemented(const char* className, uint32_t id) const {
    ZvServices::reportNotImplemented(ZvServices::UPDATE, className, id);
  }
  void requestFailedNotImplemented(const char* className, uint32_t id) const {
    ZvServices::reportNotImplemented(ZvServices::REQUEST_FAILED, className, id);
  }
  void responseInvalidNotImplemented(const char* className, uint32_t id) const {
    ZvServices::reportNotImplemented(ZvServices::RESPONSE_INVALID, className, id);
  }

 private:
  uint32_t mLastSequence = 0;
};

#endif  // PLATFORM_QRVI_CLIENT_BASE_H
