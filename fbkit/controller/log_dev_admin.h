// CZvLogDevAdmin: the controller side of one MOST client.
//
// This is the admin's client-facing surface: the operations through which
// the MOST client hands over reports, registry changes and connection
// changes. Logical devices are not held yet; instead an optional report sink
// sees every report and every registry change, which is what command-line
// controllers and tests need.
#ifndef FBKIT_CONTROLLER_LOG_DEV_ADMIN_H
#define FBKIT_CONTROLLER_LOG_DEV_ADMIN_H

#include <cstdint>
#include <map>
#include <vector>

#include "fbkit/client/dsysmost_server_types.h"

class CZvMOSTClientImpl;
class CZvMOSTMessageData;

// Observer of what reaches the controller side.
class IZvLogDevReportSink {
 public:
  virtual ~IZvLogDevReportSink() = default;
  virtual void onReport(const CZvMOSTMessageData& message) = 0;
  virtual void onRegistryChange(const std::vector<uint16_t>& added,
                                const std::vector<uint16_t>& removed) {
    (void)added;
    (void)removed;
  }
  virtual void onConnectionChange(const std::vector<uint16_t>& valids,
                                  const std::vector<uint16_t>& invalids) {
    (void)valids;
    (void)invalids;
  }
};

class CZvLogDevAdmin {
 public:
  using ConnectedDevices = std::map<uint16_t, DSYSMOSTServer::DeviceInfo>;

  CZvLogDevAdmin(ConnectedDevices& connectedDevices, std::vector<uint16_t>& currentRegistry,
                 CZvMOSTClientImpl& client);
  virtual ~CZvLogDevAdmin() = default;
  CZvLogDevAdmin(const CZvLogDevAdmin&) = delete;
  CZvLogDevAdmin& operator=(const CZvLogDevAdmin&) = delete;

  void dispatchMOSTMessage(CZvMOSTMessageData& message);
  // Logical devices connect to (valids) or lose (invalids) their FBlocks.
  void newRegistryAvailable(const std::vector<uint16_t>& valids,
                            const std::vector<uint16_t>& invalids);
  void notifyInstChangesListeners(const std::vector<uint16_t>& added,
                                  const std::vector<uint16_t>& removed);
  void notifyCentralRegistryListeners();
  // Whether the client must subscribe to the Registry attribute.
  bool needsRegistryNotification() const { return mRegistryListeners > 0; }
  // The instIDs of all registry keys of the FBlock, ascending.
  void getAvailableInstIDs(uint8_t fblockID, std::vector<uint8_t>& instIDs) const;
  // instID to device ID for the same keys.
  void getAvailableInstIDs(uint8_t fblockID, std::map<uint8_t, uint16_t>& instIDs) const;

  // The sink counts as a registry listener.
  void setReportSink(IZvLogDevReportSink* sink);
  uint32_t getCentralRegistryNotifications() const { return mCentralRegistryNotifications; }
  const ConnectedDevices& getConnectedDevices() const { return mConnectedDevices; }

 private:
  ConnectedDevices& mConnectedDevices;
  std::vector<uint16_t>& mCurrentRegistry;
  CZvMOSTClientImpl& mClient;
  IZvLogDevReportSink* mSink = nullptr;
  uint32_t mRegistryListeners = 0;
  uint32_t mCentralRegistryNotifications = 0;
};

#endif  // FBKIT_CONTROLLER_LOG_DEV_ADMIN_H
