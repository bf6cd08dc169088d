// Decodes the input as a handshake body and as an ID list; what decodes must
// encode back to the same bytes (both forms have no padding to differ in).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/qrvi/control_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t n = static_cast<uint32_t>(size);
  CZvString iface;
  CZvString role;
  if (ZvServices::decodeHello(data, n, iface, role)) {
    CZvQRVOStream out;
    ZvServices::encodeHello(iface, role, out);
    CZvString iface2;
    CZvString role2;
    if (!ZvServices::decodeHello(out.data(), out.size(), iface2, role2) || iface2 != iface ||
        role2 != role) {
      abort();
    }
  }
  std::vector<uint32_t> ids;
  if (ZvServices::decodeIdList(data, n, ids)) {
    CZvQRVOStream out;
    ZvServices::encodeIdList(ids.data(), static_cast<uint32_t>(ids.size()), out);
    if (out.size() != n || std::memcmp(out.data(), data, n) != 0) abort();
  }
  return 0;
}
