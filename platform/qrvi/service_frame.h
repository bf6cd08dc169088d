// The framing of middleware traffic between processes: a fixed 28-byte header
// in front of each parameter block. Every field is little-endian.
//
//   0  u32 magic "ZVQR"        12 u32 result or request kind
//   4  u32 body length         16 u32 update ID
//   8  u16 frame type          20 u32 sequence number
//  10  u16 flags (0)           24 u32 registration number
//  28  body (a wire-stream parameter block, or the handshake)
#ifndef PLATFORM_QRVI_SERVICE_FRAME_H
#define PLATFORM_QRVI_SERVICE_FRAME_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ZvServices {

enum FrameType : uint16_t {
  FRAME_HELLO = 1,     // client to server: interface name, role name, version
  FRAME_WELCOME = 2,   // server to client: the offer is there, requests may flow
  FRAME_REQUEST = 3,   // proxy to stub: a request or a notification request
  FRAME_RESPONSE = 4,  // stub to proxy: a response, update or failure
};

constexpr uint32_t kFrameMagic = 0x5251565A;  // "ZVQR" in memory order
constexpr uint32_t kFrameHeaderSize = 28;
// Larger bodies are refused: nothing on this interface comes near it, and a
// garbled length must not make the reader allocate gigabytes.
constexpr uint32_t kMaxFrameBody = 16u * 1024u * 1024u;

}  // namespace ZvServices

struct SZvServiceFrame {
  uint16_t type = 0;
  uint32_t kind = 0;
  uint32_t updateID = 0;
  uint32_t sequence = 0;
  uint32_t registration = 0;
  std::vector<uint8_t> body;
};

// Appends the frame's header and body to out.
void ZvEncodeServiceFrame(const SZvServiceFrame& frame, std::vector<uint8_t>& out);

// Cuts a byte stream received from a socket into frames.
class CZvServiceFrameAssembler {
 public:
  enum Result { FRAME_READY, NEED_MORE, MALFORMED };

  void append(const uint8_t* bytes, uint32_t size);
  // Takes the next complete frame. MALFORMED (bad magic, unknown type, flags
  // set, body too large) is final: the connection should be closed.
  Result next(SZvServiceFrame& frame);
  uint32_t buffered() const { return static_cast<uint32_t>(mBytes.size() - mOffset); }

 private:
  std::vector<uint8_t> mBytes;
  size_t mOffset = 0;
  bool mBroken = false;
};

#endif  // PLATFORM_QRVI_SERVICE_FRAME_H
