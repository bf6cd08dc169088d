// Adaptive-partition lookups. This system schedules without adaptive
// partitions, so every lookup fails and says so in the system log.
#include <errno.h>

#include "memgauge/pxm_assert.h"
#include "memgauge/system_log.h"
#include "memgauge/toolkit/toolkit.h"

using namespace zv_memgauge;

extern "C" int _tbox_get_partitionid_by_name(const char* name, int* partition_id) {
  ZV_PXM_ASSERT(name != nullptr && partition_id != nullptr);
  systemLog(kLogOpcodeError, kLogSeverityError,
            "[toolkit] _tbox_get_partitionid_by_name error(%d) for name '%s'", ENOSYS, name);
  return ENOSYS;
}

extern "C" int _tbox_get_name_by_partitionid(int partition_id, char* name, size_t size) {
  ZV_PXM_ASSERT(name != nullptr);
  if (size > 0) name[0] = '\0';
  systemLog(kLogOpcodeError, kLogSeverityError,
            "[toolkit] _tbox_get_name_by_partitionid error(%d) for id '%d'", ENOSYS, partition_id);
  return ENOSYS;
}

extern "C" int _tbox_get_number_of_partitions(int* count) {
  ZV_PXM_ASSERT(count != nullptr);
  systemLog(kLogOpcodeError, kLogSeverityError,
            "[toolkit] _tbox_get_number_of_partitions access error(%d)", ENOSYS);
  return ENOSYS;
}
