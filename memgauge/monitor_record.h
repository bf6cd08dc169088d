// The monitor record shared by the resource-monitor host and its plug-ins.
//
// The host allocates a record with malloc, fills it and hands it to the
// plug-in through plugin_cb_monitor_activate(); from then on the plug-in owns
// it and frees it (with free) when the tool ends or the record is refused.
// The field order and the sizes of the text fields are fixed; `next` is a
// native pointer so the record works on 32 and 64 bits alike, and the compiled
// pattern is the C library's own regex_t.
#ifndef MEMGAUGE_MONITOR_RECORD_H
#define MEMGAUGE_MONITOR_RECORD_H

#include <regex.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Size of the item and value text fields, terminator included. A field that
// fills all its bytes without a terminator is read as 251 characters.
#define ZV_MONITOR_TEXT_SIZE 252

// Operator codes: the measured value is on the left, the record's value on
// the right ("free lt 1000" is true while free memory < 1000 kB).
enum {
  ZV_MONITOR_OP_EQ = 0,
  ZV_MONITOR_OP_LT = 1,
  ZV_MONITOR_OP_GT = 2,
  ZV_MONITOR_OP_NE = 3,
  ZV_MONITOR_OP_LE = 4,
  ZV_MONITOR_OP_GE = 5,
};

// Modes: once reports the first success only; continued reports every
// success; barrier reports only when the result changes to true.
enum {
  ZV_MONITOR_MODE_ONCE = 0,
  ZV_MONITOR_MODE_CONTINUED = 1,
  ZV_MONITOR_MODE_BARRIER = 2,
};

typedef struct SZvMonitorRecord {
  int32_t monitor_id;
  char item[ZV_MONITOR_TEXT_SIZE];   // "idle", "free" or "regex"
  int32_t op;                        // ZV_MONITOR_OP_*
  char value[ZV_MONITOR_TEXT_SIZE];  // number or pattern, as text
  int32_t mode;                      // ZV_MONITOR_MODE_*
  int32_t active;                    // host sets 1; cleared when a once record fired
  int32_t last_result;               // result of the previous evaluation
  regex_t pattern;                   // compiled value of a "regex" record
  struct SZvMonitorRecord* next;
} SZvMonitorRecord;

#ifdef __cplusplus
}  // extern "C"

#include <cstddef>

// Up to the compiled pattern the layout is the same on every target; the
// pattern and the link follow with the platform's own sizes and alignment.
static_assert(offsetof(SZvMonitorRecord, item) == 4, "record layout");
static_assert(offsetof(SZvMonitorRecord, op) == 256, "record layout");
static_assert(offsetof(SZvMonitorRecord, value) == 260, "record layout");
static_assert(offsetof(SZvMonitorRecord, mode) == 512, "record layout");
static_assert(offsetof(SZvMonitorRecord, active) == 516, "record layout");
static_assert(offsetof(SZvMonitorRecord, last_result) == 520, "record layout");
static_assert(offsetof(SZvMonitorRecord, pattern) >= 524, "record layout");
#endif

#endif  // MEMGAUGE_MONITOR_RECORD_H
