#include "platform/basalt/zv_version.h"

CZvString CZvVersion::toString() const { return CZvString::formatted("%u.%u.%u", mMajor, mMinor, mPatch); }
