// Umbrella header of libmemgauge: include this to use the whole library.
#ifndef MEMGAUGE_MEMGAUGE_H
#define MEMGAUGE_MEMGAUGE_H

#include "memgauge/monitor_record.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/toolkit/toolkit.h"

namespace zv_memgauge {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_memgauge

#endif  // MEMGAUGE_MEMGAUGE_H
