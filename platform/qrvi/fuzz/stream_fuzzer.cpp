// Runs a sequence of typed reads, chosen by the first bytes of the input,
// over the rest: no read may go past the block, and a failed read leaves the
// stream bad.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/qrvi/qrvi_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const uint8_t* ops = data;
  CZvQRVIStream in(data + 8, static_cast<uint32_t>(size - 8));
  for (int i = 0; i < 8; ++i) {
    bool ok = false;
    uint32_t before = in.position();
    switch (ops[i] % 6) {
      case 0: { uint8_t v; ok = in.readU8(v); break; }
      case 1: { uint16_t v; ok = in.readU16(v); break; }
      case 2: { uint32_t v; ok = in.readU32(v); break; }
      case 3: {
        const char* text = nullptr;
        uint32_t length = 0;
        ok = in.readString(text, length);
        if (ok && length > 0 && text[length - 1] == 0) abort();
        break;
      }
      case 4: {
        const uint8_t* bytes = nullptr;
        uint32_t n = 0;
        ok = in.readBuffer(bytes, n);
        if (ok && n > 0 && (bytes < data + 8 || bytes + n > data + size)) abort();
        break;
      }
      default: { uint32_t count = 0; ok = in.readCount(count, 1 + ops[i] % 7); break; }
    }
    if (in.position() > size - 8 || in.position() < before) abort();
    if (!ok && in.ok()) abort();
  }
  return 0;
}
