// Reads arbitrary bytes as the event-stream forms of the registry lists.
#include <cstddef>
#include <cstdint>

#include "fbkit/client/registry_records.h"
#include "platform/basalt/zv_byte_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CZvByteStream in(data, static_cast<uint32_t>(size));
  CZvSortedMOSTRegEntryVector regs;
  CZvSortedSubnetEntryVector subnets;
  CZvSortedLogDevEntryVector logDevs;
  CZvSortedSubnetIDVector ids;
  if (regs.readFromStream(in) && subnets.readFromStream(in) && logDevs.readFromStream(in) &&
      ids.readFromStream(in)) {
    // What was read writes back to the same list.
    CZvByteStream out;
    out << regs;
    CZvSortedMOSTRegEntryVector again;
    if (!again.readFromStream(out) || !(again == regs)) __builtin_trap();
  }
  return 0;
}
