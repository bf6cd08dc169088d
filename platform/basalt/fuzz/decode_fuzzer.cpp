// Feeds arbitrary bytes to every decoder of outside input in the base
// library: the stream forms of strings and byte streams, the character set
// conversions, the big-endian readers and the trace level rules.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"
#include "platform/basalt/zv_trace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t n = static_cast<uint32_t>(size);

  CZvByteStream input(data, n);
  CZvString text;
  if (text.readFromStream(input)) {
    CZvByteStream again;
    text.writeToStream(again);
  }
  input.rewind();
  CZvByteStream nested;
  nested.readFromStream(input);

  input.rewind();
  uint8_t u8;
  uint16_t u16;
  uint32_t u32;
  uint64_t u64;
  while (input.readU8(u8) && input.readU16BE(u16) && input.readU32BE(u32) && input.readU64BE(u64)) {
  }

  const CZvString raw(reinterpret_cast<const char*>(data), n);
  std::vector<uint16_t> utf16;
  CZvString::convertUTF8ToUTF16(raw, utf16);
  CZvString back;
  CZvString::convertUTF16ToUTF8(utf16.data(), static_cast<uint32_t>(utf16.size()), back);
  // Valid input must survive the round trip unchanged.
  std::vector<uint16_t> units(size / 2);
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  CZvString fromUnits;
  if (CZvString::convertUTF16ToUTF8(units.data(), static_cast<uint32_t>(units.size()), fromUnits)) {
    std::vector<uint16_t> roundTrip;
    if (!CZvString::convertUTF8ToUTF16(fromUnits, roundTrip) || roundTrip != units) __builtin_trap();
  }
  ZvConvertFrom8859_15(data, n);

  // Trace rules come from an environment variable and a trace command.
  const std::string rules(reinterpret_cast<const char*>(data), size);
  ZvTrace::matchPattern(rules.c_str(), "framework_comm_most_CZvDeviceAdmin_addDevice");
  if (ZvTrace::setLevels(rules.c_str())) ZvTrace::resetLevels();
  return 0;
}
