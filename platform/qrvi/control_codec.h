// The small control bodies of the middleware: the handshake's HELLO (which
// interface and role a client wants) and the list of update IDs of a session
// notification request.
#ifndef PLATFORM_QRVI_CONTROL_CODEC_H
#define PLATFORM_QRVI_CONTROL_CODEC_H

#include <cstdint>
#include <vector>

#include "platform/basalt/zv_string.h"
#include "platform/qrvi/qrvi_stream.h"

namespace ZvServices {

void encodeHello(const CZvString& interfaceName, const CZvString& roleName, CZvQRVOStream& out);
// False on a malformed body or bytes left over.
bool decodeHello(const uint8_t* body, uint32_t size, CZvString& interfaceName,
                 CZvString& roleName);

void encodeIdList(const uint32_t* ids, uint32_t count, CZvQRVOStream& out);
// False on a malformed body, a count beyond the bytes, or bytes left over.
bool decodeIdList(const uint8_t* body, uint32_t size, std::vector<uint32_t>& ids);

}  // namespace ZvServices

#endif  // PLATFORM_QRVI_CONTROL_CODEC_H
