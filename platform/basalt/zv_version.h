// CZvVersion: major.minor.patch, ordered numerically.
#ifndef PLATFORM_BASALT_ZV_VERSION_H
#define PLATFORM_BASALT_ZV_VERSION_H

#include <cstdint>

#include "platform/basalt/zv_string.h"

class CZvVersion {
 public:
  constexpr CZvVersion() = default;
  constexpr CZvVersion(uint32_t major, uint32_t minor, uint32_t patch)
      : mMajor(major), mMinor(minor), mPatch(patch) {}

  constexpr uint32_t getMajor() const { return mMajor; }
  constexpr uint32_t getMinor() const { return mMinor; }
  constexpr uint32_t getPatch() const { return mPatch; }
  // "major.minor.patch"
  CZvString toString() const;

  constexpr int compare(const CZvVersion& o) const {
    if (mMajor != o.mMajor) return mMajor < o.mMajor ? -1 : 1;
    if (mMinor != o.mMinor) return mMinor < o.mMinor ? -1 : 1;
    if (mPatch != o.mPatch) return mPatch < o.mPatch ? -1 : 1;
    return 0;
  }
  constexpr bool operator==(const CZvVersion& o) const { return compare(o) == 0; }
  constexpr bool operator!=(const CZvVersion& o) const { return compare(o) != 0; }
  constexpr bool operator<(const CZvVersion& o) const { return compare(o) < 0; }
  constexpr bool operator>(const CZvVersion& o) const { return compare(o) > 0; }
  constexpr bool operator<=(const CZvVersion& o) const { return compare(o) <= 0; }
  constexpr bool operator>=(const CZvVersion& o) const { return compare(o) >= 0; }

 private:
  uint32_t mMajor = 0;
  uint32_t mMinor = 0;
  uint32_t mPatch = 0;
};

#endif  // PLATFORM_BASALT_ZV_VERSION_H
