#include "fbkit/fblock/fkt_ids_codec.h"

#include <cstddef>

namespace ZvFktIDs {

std::vector<uint16_t> toBoundaries(const std::vector<uint16_t>& sortedIDs) {
  std::vector<uint16_t> boundaries;
  uint16_t previous = 0;
  for (uint16_t id : sortedIDs) {
    if (id == 0) continue;  // 0x000 is the start already
    if (id != previous + 1) {
      boundaries.push_back(static_cast<uint16_t>(previous + 1));
      boundaries.push_back(id);
    }
    previous = id;
  }
  if (previous != 0xFFF) boundaries.push_back(static_cast<uint16_t>(previous + 1));
  return boundaries;
}

std::vector<uint8_t> pack(const std::vector<uint16_t>& values) {
  std::vector<uint8_t> bytes;
  bytes.reserve(values.size() * 3 / 2 + 2);
  size_t i = 0;
  for (; i + 1 < values.size(); i += 2) {
    const uint16_t a = values[i] & 0xFFF;
    const uint16_t b = values[i + 1] & 0xFFF;
    bytes.push_back(static_cast<uint8_t>(a >> 4));
    bytes.push_back(static_cast<uint8_t>(((a & 0x0F) << 4) | ((b >> 8) & 0x0F)));
    bytes.push_back(static_cast<uint8_t>(b & 0xFF));
  }
  if (i < values.size()) {
    const uint16_t a = values[i] & 0xFFF;
    bytes.push_back(static_cast<uint8_t>(a >> 4));
    bytes.push_back(static_cast<uint8_t>((a & 0x0F) << 4));
  }
  return bytes;
}

std::vector<uint8_t> encode(const std::vector<uint16_t>& sortedIDs) {
  return pack(toBoundaries(sortedIDs));
}

}  // namespace ZvFktIDs
