// Socket address of a named message channel (internal to the library).
#ifndef PLATFORM_COMMUNICATION_CHANNEL_ADDRESS_H
#define PLATFORM_COMMUNICATION_CHANNEL_ADDRESS_H

#include <sys/socket.h>
#include <sys/un.h>

namespace communication {

// Channels live in the abstract local socket namespace, so no file is left
// behind and no directory has to be writable. Fills |address| and |length|;
// false when |name| is null, empty or too long.
bool makeChannelAddress(const char* name, sockaddr_un* address, socklen_t* length);

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_CHANNEL_ADDRESS_H
