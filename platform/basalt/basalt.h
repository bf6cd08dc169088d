// Umbrella header of the base runtime library (streams, strings, events, timers, threads, tracing).
#ifndef PLATFORM_BASALT_BASALT_H
#define PLATFORM_BASALT_BASALT_H

#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_buffer.h"
#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_event.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_options.h"
#include "platform/basalt/zv_os.h"
#include "platform/basalt/zv_perf.h"
#include "platform/basalt/zv_stream.h"
#include "platform/basalt/zv_string.h"
#include "platform/basalt/zv_syslog.h"
#include "platform/basalt/zv_test_clock.h"
#include "platform/basalt/zv_thread.h"
#include "platform/basalt/zv_timer.h"
#include "platform/basalt/zv_trace.h"
#include "platform/basalt/zv_version.h"

#endif  // PLATFORM_BASALT_BASALT_H
