// Monitor records and trigger commands with arbitrary contents, as a faulty
// host might hand them over, then evaluated by the observers.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "memgauge/monitor_table.h"
#include "memgauge/observers.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/tool_commands.h"

namespace {

// Fills a record field by field from the input, the way a host would; the
// pointer and the compiled pattern are the plug-in's to set.
SZvMonitorRecord* recordFrom(const uint8_t* data, size_t size) {
  auto* record = static_cast<SZvMonitorRecord*>(calloc(1, sizeof(SZvMonitorRecord)));
  uint8_t raw[4 + 252 + 4 + 252 + 12] = {};
  memcpy(raw, data, size < sizeof raw ? size : sizeof raw);
  memcpy(&record->monitor_id, raw, 4);
  memcpy(record->item, raw + 4, 252);
  memcpy(&record->op, raw + 256, 4);
  memcpy(record->value, raw + 260, 252);
  memcpy(&record->mode, raw + 512, 4);
  memcpy(&record->active, raw + 516, 4);
  memcpy(&record->last_result, raw + 520, 4);
  // Short inputs name a known item so the observers get to run.
  if (size < 8) memcpy(record->item, size % 2 ? "idle" : "free", 5);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  SZvMonitorRecord* record = recordFrom(data + 1, size - 1);
  // Bounded repetitions nest into huge automata in regcomp; patterns come
  // from the host, which is trusted with them.
  if (memchr(record->value, '{', sizeof record->value) != nullptr) memset(record->value, 0, 4);
  if (data[0] & 1) {
    zv_memgauge::monitorActivateTool(record);
  } else {
    set_monitor_data(data[0] % 22 - 1, record);
  }
  zv_memgauge::observeFreeMemory(static_cast<long long>(data[0]) * 1000);
  zv_memgauge::observeIdleTime(data[0] / 2.0);

  SZvTriggerCommand trigger;
  memset(&trigger, 0, sizeof trigger);
  size_t copy = size - 1 < sizeof trigger ? size - 1 : sizeof trigger;
  uint8_t raw[sizeof trigger] = {};
  memcpy(raw, data + 1, copy);
  memcpy(&trigger.command_id, raw, 4);
  memcpy(&trigger.data_type, raw + 4, 4);
  memcpy(trigger.value, raw + 8, sizeof trigger.value);
  zv_memgauge::triggerTool(&trigger);

  plugin_cb_set_start_delay(0);  // frees the records
  return 0;
}
