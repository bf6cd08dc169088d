// CRC-32 with the IEEE 802.3 polynomial (reflected 0xEDB88320, initial value
// and final XOR 0xFFFFFFFF): "123456789" gives 0xCBF43926.
#include "memgauge/toolkit/toolkit.h"

namespace {

struct CrcTable {
  uint32_t entries[256];
  constexpr CrcTable() : entries() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
      uint32_t crc = byte;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
      entries[byte] = crc;
    }
  }
};

constexpr CrcTable kTable;

}  // namespace

extern "C" uint32_t _tbox_crc32(const void* data, size_t length) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t index = 0; index < length; ++index) {
    crc = kTable.entries[(crc ^ bytes[index]) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}
