/* The record of calls kept by this capture library, for tests that check
 * what reached it, and a way to make the next call of a function fail. */
#ifndef PLATFORM_CAPTURE_CAPTURE_RECORDER_H
#define PLATFORM_CAPTURE_CAPTURE_RECORDER_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct capture_call_record {
  char function[32];   /* e.g. "capture_update" */
  uint64_t args[3];    /* the arguments as passed, pointers as addresses */
  int64_t result;      /* the return value, pointers as addresses; 0 for void */
  int error;           /* errno as the call left it when it failed, else 0 */
} capture_call_record;

size_t capture_recorder_call_count(void);
/* Copies call |index| (0 = oldest); 0 on success, -1 when out of range. */
int capture_recorder_get_call(size_t index, capture_call_record* record);
/* Forgets every recorded call and pending failure. */
void capture_recorder_reset(void);
/* The next call of |function| fails with its error result and errno |error|. */
void capture_recorder_fail_next(const char* function, int error);

#ifdef __cplusplus
}
#endif

#endif /* PLATFORM_CAPTURE_CAPTURE_RECORDER_H */
