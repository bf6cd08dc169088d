#include "platform/qrvi/service_frame.h"

namespace {

void putU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint16_t getU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t getU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool isKnownType(uint16_t type) {
  return type >= ZvServices::FRAME_HELLO && type <= ZvServices::FRAME_RESPONSE;
}

}  // namespace

void ZvEncodeServiceFrame(const SZvServiceFrame& frame, std::vector<uint8_t>& out) {
  // Grow geometrically: an exact reserve per frame would copy the whole
  // buffer again for every frame appended.
  size_t needed = out.size() + ZvServices::kFrameHeaderSize + frame.body.size();
  if (out.capacity() < needed) out.reserve(needed > 2 * out.capacity() ? needed : 2 * out.capacity());
  putU32(out, ZvServices::kFrameMagic);
  putU32(out, static_cast<uint32_t>(frame.body.size()));
  putU16(out, frame.type);
  putU16(out, 0);
  putU32(out, frame.kind);
  putU32(out, frame.updateID);
  putU32(out, frame.sequence);
  putU32(out, frame.registration);
  out.insert(out.end(), frame.body.begin(), frame.body.end());
}

void CZvServiceFrameAssembler::append(const uint8_t* bytes, uint32_t size) {
  if (mBroken || size == 0) return;
  // Drop what has been consumed before growing, so a long-lived connection
  // does not keep every byte it ever received.
  if (mOffset > 0 && mOffset == mBytes.size()) {
    mBytes.clear();
    mOffset = 0;
  } else if (mOffset > 64 * 1024) {
    mBytes.erase(mBytes.begin(), mBytes.begin() + static_cast<std::ptrdiff_t>(mOffset));
    mOffset = 0;
  }
  mBytes.insert(mBytes.end(), bytes, bytes + size);
}

CZvServiceFrameAssembler::Result CZvServiceFrameAssembler::next(SZvServiceFrame& frame) {
  if (mBroken) return MALFORMED;
  size_t available = mBytes.size() - mOffset;
  if (available < ZvServices::kFrameHeaderSize) return NEED_MORE;
  const uint8_t* header = mBytes.data() + mOffset;
  uint32_t bodySize = getU32(header + 4);
  uint16_t type = getU16(header + 8);
  if (getU32(header) != ZvServices::kFrameMagic || !isKnownType(type) || getU16(header + 10) != 0 ||
      bodySize > ZvServices::kMaxFrameBody) {
    mBroken = true;
    return MALFORMED;
  }
  if (available - ZvServices::kFrameHeaderSize < bodySize) return NEED_MORE;
  frame.type = type;
  frame.kind = getU32(header + 12);
  frame.updateID = getU32(header + 16);
  frame.sequence = getU32(header + 20);
  frame.registration = getU32(header + 24);
  const uint8_t* body = header + ZvServices::kFrameHeaderSize;
  frame.body.assign(body, body + bodySize);
  mOffset += ZvServices::kFrameHeaderSize + bodySize;
  return FRAME_READY;
}
