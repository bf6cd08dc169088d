// Feeds arbitrary bytes to the /proc text parsers; the first byte picks one.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "memgauge/proc_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  size_t length = size - 1;
  switch (data[0] % 5) {
    case 0: {
      int64_t bytes;
      zv_memgauge::parseMeminfoBytes(text, length, "MemAvailable", &bytes);
      break;
    }
    case 1: {
      zv_memgauge::SZvStatIdle idle;
      zv_memgauge::parseStatIdle(text, length, &idle);
      break;
    }
    case 2: {
      zv_memgauge::SZvMapsEntry entry;
      if (zv_memgauge::parseMapsLine(text, length, &entry) && entry.path_length > 0) {
        volatile char last = entry.path[entry.path_length - 1];  // must lie inside the input
        (void)last;
      }
      break;
    }
    case 3: {
      zv_memgauge::SZvProcStat stat;
      zv_memgauge::parseProcessStat(text, length, &stat);
      break;
    }
    default: {
      std::string program;
      std::string arguments;
      zv_memgauge::parseCmdline(text, length, &program, &arguments);
      break;
    }
  }
  return 0;
}
