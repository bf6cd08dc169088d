#include "platform/qrvi/control_codec.h"

namespace ZvServices {

void encodeHello(const CZvString& interfaceName, const CZvString& roleName, CZvQRVOStream& out) {
  out.writeString(interfaceName.c_str(), interfaceName.length());
  out.writeString(roleName.c_str(), roleName.length());
}

bool decodeHello(const uint8_t* body, uint32_t size, CZvString& interfaceName,
                 CZvString& roleName) {
  CZvQRVIStream in(body, size);
  const char* iface = nullptr;
  const char* role = nullptr;
  uint32_t ifaceLength = 0;
  uint32_t roleLength = 0;
  if (!in.readString(iface, ifaceLength) || !in.readString(role, roleLength) || !in.atEnd()) {
    return false;
  }
  interfaceName = CZvString(iface, ifaceLength);
  roleName = CZvString(role, roleLength);
  return true;
}

void encodeIdList(const uint32_t* ids, uint32_t count, CZvQRVOStream& out) {
  out.writeU32(count);
  for (uint32_t i = 0; i < count; ++i) out.writeU32(ids[i]);
}

bool decodeIdList(const uint8_t* body, uint32_t size, std::vector<uint32_t>& ids) {
  ids.clear();
  CZvQRVIStream in(body, size);
  uint32_t count = 0;
  if (!in.readCount(count, 4)) return false;
  ids.reserve(count);  // checked against the bytes left
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = 0;
    if (!in.readU32(id)) return false;
    ids.push_back(id);
  }
  return in.atEnd();
}

}  // namespace ZvServices
