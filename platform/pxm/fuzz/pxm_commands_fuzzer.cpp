// Arbitrary input lines for the host's command parser.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "platform/pxm/pxm_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  zv_pxm::SZvPxmCommand command;
  std::string error;
  if (zv_pxm::parsePxmCommand(line, &command, &error) &&
      command.kind == zv_pxm::PxmCommandKind::kMonitor) {
    // Accepted texts always keep their terminator.
    if (strnlen(command.monitor.item, ZV_MONITOR_TEXT_SIZE) == ZV_MONITOR_TEXT_SIZE ||
        strnlen(command.monitor.value, ZV_MONITOR_TEXT_SIZE) == ZV_MONITOR_TEXT_SIZE) {
      __builtin_trap();
    }
  }
  return 0;
}
