// Feeds arbitrary bytes, in chunks chosen by the input, to the frame
// assembler; every frame it yields must encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/qrvi/service_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t chunk = 1 + data[0] % 64;
  CZvServiceFrameAssembler assembler;
  std::vector<uint8_t> reencoded;
  for (size_t offset = 1; offset < size; offset += chunk) {
    size_t n = size - offset < chunk ? size - offset : chunk;
    assembler.append(data + offset, static_cast<uint32_t>(n));
    SZvServiceFrame frame;
    CZvServiceFrameAssembler::Result result;
    while ((result = assembler.next(frame)) == CZvServiceFrameAssembler::FRAME_READY) {
      ZvEncodeServiceFrame(frame, reencoded);
    }
    if (result == CZvServiceFrameAssembler::MALFORMED) break;
  }
  // The frames taken so far are a prefix of the input.
  if (reencoded.size() > size - 1) abort();
  for (size_t i = 0; i < reencoded.size(); ++i) {
    if (reencoded[i] != data[1 + i]) abort();
  }
  return 0;
}
