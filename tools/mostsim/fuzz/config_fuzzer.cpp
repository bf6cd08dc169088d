// Parses arbitrary text as a mostsim configuration file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/mostsim/sim_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SZvSimConfig config;
  std::string error;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (ZvSimConfig::parse(text, config, error)) {
    // What was accepted is in range and complete.
    if (config.segmentSize == 0 || config.nodeDeviceID == 0) __builtin_trap();
    for (const SZvSimRemoteNode& node : config.remoteNodes) {
      if (node.fblockKeys.empty()) __builtin_trap();
    }
  } else if (error.empty()) {
    __builtin_trap();  // every rejection says why
  }
  return 0;
}
