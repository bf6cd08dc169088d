// The base events of the middleware: a request travelling from a proxy to a
// stub and a response (or update, or failure) travelling back.
#ifndef PLATFORM_QRVI_SERVICE_EVENTS_H
#define PLATFORM_QRVI_SERVICE_EVENTS_H

#include <cstdint>

#include "platform/basalt/zv_event.h"

class CZvProxyBase;

class CZvServiceRequestEvent : public CZvComponentEvent {
 public:
  CZvServiceRequestEvent(uint32_t kind, uint32_t updateID, uint32_t sequence,
                         uint32_t registration)
      : mKind(kind), mUpdateID(updateID), mSequence(sequence), mRegistration(registration) {}

  uint32_t getKind() const { return mKind; }
  uint32_t getUpdateID() const { return mUpdateID; }
  uint32_t getSequenceNumber() const { return mSequence; }
  uint32_t getRegistrationNumber() const { return mRegistration; }

 private:
  uint32_t mKind;
  uint32_t mUpdateID;
  uint32_t mSequence;
  uint32_t mRegistration;
};

class CZvServiceResponseEvent : public CZvComponentEvent {
 public:
  CZvServiceResponseEvent(CZvProxyBase* proxy, uint32_t resultKind, uint32_t updateID)
      : mProxy(proxy), mResultKind(resultKind), mUpdateID(updateID) {}

  CZvProxyBase* getProxy() const { return mProxy; }
  uint32_t getResultKind() const { return mResultKind; }
  uint32_t getUpdateID() const { return mUpdateID; }
  uint32_t getSequenceNumber() const { return mSequence; }
  void setSequenceNumber(uint32_t sequence) { mSequence = sequence; }
  uint32_t getRegistrationNumber() const { return mRegistration; }
  void setRegistrationNumber(uint32_t registration) { mRegistration = registration; }

 private:
  CZvProxyBase* mProxy;
  uint32_t mResultKind;
  uint32_t mUpdateID;
  uint32_t mSequence = 0;
  uint32_t mRegistration = 0;
};

#endif  // PLATFORM_QRVI_SERVICE_EVENTS_H
