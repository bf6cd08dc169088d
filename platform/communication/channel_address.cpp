#include "platform/communication/channel_address.h"

#include <cstddef>
#include <cstring>

namespace communication {

namespace {
constexpr char kPrefix[] = "zvcomm/";
}  // namespace

bool makeChannelAddress(const char* name, sockaddr_un* address, socklen_t* length) {
  if (!name || name[0] == '\0') return false;
  size_t nameLength = strlen(name);
  size_t prefixLength = sizeof(kPrefix) - 1;
  // The leading NUL selects the abstract namespace.
  if (1 + prefixLength + nameLength > sizeof(address->sun_path)) return false;
  memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  memcpy(address->sun_path + 1, kPrefix, prefixLength);
  memcpy(address->sun_path + 1 + prefixLength, name, nameLength);
  *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + prefixLength + nameLength);
  return true;
}

}  // namespace communication
