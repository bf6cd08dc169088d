// Umbrella header of the base runtime library's trace client (trace commands, persistence).
#ifndef PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H
#define PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H

#endif  // PLATFORM_TRACE_CLIENT_TRACE_CLIENT_H
