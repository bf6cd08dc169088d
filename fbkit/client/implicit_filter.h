// Process-wide list of (FBlock key, function, device) triples for which an
// FBlock must not send property notifications itself, because the MOST server
// already delivers them implicitly.
#ifndef FBKIT_CLIENT_IMPLICIT_FILTER_H
#define FBKIT_CLIENT_IMPLICIT_FILTER_H

#include <cstddef>
#include <cstdint>

struct CZvImplicitFilterEntry {
  uint16_t fblockKey = 0;
  uint16_t functionID = 0;
  uint16_t deviceID = 0;

  bool operator==(const CZvImplicitFilterEntry& other) const {
    return fblockKey == other.fblockKey && functionID == other.functionID &&
           deviceID == other.deviceID;
  }
};

class CZvMOSTImplicitFilter {
 public:
  // Objects carry no state; every operation works on the one process list.
  CZvMOSTImplicitFilter() = default;
  ~CZvMOSTImplicitFilter() = default;

  // Appends the triple unless it is listed already.
  static void disableImplicitNotification(uint16_t fblockKey, uint16_t functionID,
                                          uint16_t deviceID);
  static bool isDisabled(uint16_t fblockKey, uint16_t functionID, uint16_t deviceID);
  // Removes every entry of one FBlock (its net-off clean-up).
  static void clear(uint16_t fblockKey);
  static void clearAll();
  static size_t size();
};

#endif  // FBKIT_CLIENT_IMPLICIT_FILTER_H
