// Umbrella header of the base runtime library's trace client (trace commands, persistence).
#ifndef PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H
#define PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H

#include "platform/trace_client/zv_trace_callback.h"
#include "platform/trace_client/zv_trace_helper.h"
#include "platform/trace_client/zv_trace_persistence.h"
#include "platform/trace_client/zv_trace_server.h"

#endif  // PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H
