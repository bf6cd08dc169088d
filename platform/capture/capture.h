/* The capture API: video capture contexts, their properties and frames.
 *
 * A context is created, configured through properties (identified by
 * four-character codes, the first character in the least significant byte),
 * given buffers, started with capture_update() and then yields frames with
 * capture_get_frame(). Functions returning int give -1 with errno set on
 * failure; capture_create_context() gives NULL. */
#ifndef PLATFORM_CAPTURE_CAPTURE_H
#define PLATFORM_CAPTURE_CAPTURE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct capture_context* capture_context_t;

#define CAPTURE_PROPERTY(a, b, c, d)                                          \
  ((uint32_t)(uint8_t)(a) | ((uint32_t)(uint8_t)(b) << 8) |                   \
   ((uint32_t)(uint8_t)(c) << 16) | ((uint32_t)(uint8_t)(d) << 24))

/* Integer properties. */
#define CAPTURE_PROPERTY_DEVICE CAPTURE_PROPERTY('D', 'E', 'V', 'I')
#define CAPTURE_PROPERTY_SOURCE_INDEX CAPTURE_PROPERTY('S', 'R', 'C', 'I')
#define CAPTURE_PROPERTY_WIDTH CAPTURE_PROPERTY('W', 'I', 'D', 'T')
#define CAPTURE_PROPERTY_HEIGHT CAPTURE_PROPERTY('H', 'E', 'I', 'G')
#define CAPTURE_PROPERTY_BUFFER_COUNT CAPTURE_PROPERTY('B', 'U', 'F', 'N')
#define CAPTURE_PROPERTY_ENABLE CAPTURE_PROPERTY('E', 'N', 'A', 'B')
/* Pointer properties. */
#define CAPTURE_PROPERTY_FRAME_BUFFERS CAPTURE_PROPERTY('F', 'B', 'U', 'F')
#define CAPTURE_PROPERTY_USER_DATA CAPTURE_PROPERTY('U', 'S', 'E', 'R')

/* Flags of capture_get_frame(). */
#define CAPTURE_FLAG_LATEST_FRAME 0x1u

/* Time-out of capture_get_frame() that waits without limit. */
#define CAPTURE_TIMEOUT_INFINITE UINT64_MAX

capture_context_t capture_create_context(uint32_t flags);
void capture_destroy_context(capture_context_t context);
/* Creates the buffers that |property| (a pointer property) will list. */
int capture_create_buffers(capture_context_t context, uint32_t property);
/* Makes every pending and later capture_get_frame() fail with ECANCELED. */
int capture_abort_context(capture_context_t context);
/* 1 when the context knows |property|, 0 otherwise (not an error). */
int capture_is_property(capture_context_t context, uint32_t property);
int capture_set_property_i(capture_context_t context, uint32_t property, int32_t value);
int capture_set_property_p(capture_context_t context, uint32_t property, void* value);
int capture_get_property_i(capture_context_t context, uint32_t property, int32_t* value);
int capture_get_property_p(capture_context_t context, uint32_t property, void** value);
/* Applies the properties set so far. */
int capture_update(capture_context_t context, uint32_t flags);
/* Index of the next captured frame's buffer; |timeout| in nanoseconds. */
int capture_get_frame(capture_context_t context, uint64_t timeout, uint32_t flags);
int capture_release_frame(capture_context_t context, uint32_t index);
int capture_put_buffer(capture_context_t context, uint32_t index, uint32_t flags);

#ifdef __cplusplus
}
#endif

#endif /* PLATFORM_CAPTURE_CAPTURE_H */
