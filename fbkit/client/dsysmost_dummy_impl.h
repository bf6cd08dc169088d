// CDSYSMOSTServerDummyImpl: offers the DSYSMOSTServer interface without a MOST
// server behind it; every request is accepted and ignored.
#ifndef FBKIT_CLIENT_DSYSMOST_DUMMY_IMPL_H
#define FBKIT_CLIENT_DSYSMOST_DUMMY_IMPL_H

#include "fbkit/client/dsysmost_stub.h"

class CDSYSMOSTServerDummyImpl : public CDSYSMOSTServerStub {
 public:
  explicit CDSYSMOSTServerDummyImpl(const CZvString& roleName) : CDSYSMOSTServerStub(roleName) {}

  CZvVersion getImplVersion() const override { return CZvVersion(4, 2, 0); }

  void registerMOSTClient() override {}
  void unregisterMOSTClient(uint32_t) override {}
  void registerMOSTClientExt(const CZvString&) override {}
  void unregisterMOSTClientExt(uint32_t) override {}
  void requestRegisterDevices(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) override {}
  void requestRegisterExtDevices(uint32_t, const DSYSMOSTTypes::FBlockKeyStringVector&) override {}
  void requestRegisterDevCtrls(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) override {}
  void requestUnregisterDevices(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) override {}
  void requestUnregisterDevCtrls(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) override {}
  void requestProcessMessage(uint32_t, const DSYSMOSTTypes::MessageType&) override {}
  void requestChangeInstID(uint32_t, uint16_t, uint8_t) override {}
  void requestCleanUp(uint32_t) override {}
  void registerMOSTSubnet(uint16_t) override {}
  void unregisterMOSTSubnet(uint32_t) override {}
  void requestSetRegistryFilter(uint32_t, const DSYSMOSTTypes::FBlockKeyVector&) override {}
  void requestSetCommunicationCtrl(DSYSMOSTServer::CommCtrlMode) override {}
  void requestProcessMessageVector(uint32_t, const DSYSMOSTTypes::MessageVector&) override {}
  void requestEnableNotificationProxy(uint32_t) override {}
};

#endif  // FBKIT_CLIENT_DSYSMOST_DUMMY_IMPL_H
