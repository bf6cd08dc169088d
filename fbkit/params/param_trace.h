// Tracing of the parameter classes. Each class traces through the scope
// "framework_comm_most_<class>" with one definition per function; the
// definition is a function-local static so that parameters built during
// static initialisation can already trace, and the scope object is only
// made on the (rare) paths that write a line.
#ifndef FBKIT_PARAMS_PARAM_TRACE_H
#define FBKIT_PARAMS_PARAM_TRACE_H

#include "platform/basalt/zv_trace.h"

#define ZV_PARAM_TRACE_(kind, cls, function, ...)                                   \
  do {                                                                               \
    static const CZvTraceScopeDef sTraceDef("framework_comm_most_" cls, function);   \
    CZvTraceScope(sTraceDef).kind(__VA_ARGS__);                                      \
  } while (0)

#define ZV_PARAM_ERROR(cls, function, ...) \
  ZV_PARAM_TRACE_(sendFormattedError, cls, function, __VA_ARGS__)
#define ZV_PARAM_WARNING(cls, function, ...) \
  ZV_PARAM_TRACE_(sendFormattedWarning, cls, function, __VA_ARGS__)
#define ZV_PARAM_MESSAGE(cls, function, ...) \
  ZV_PARAM_TRACE_(sendFormattedMessage, cls, function, __VA_ARGS__)

#endif  // FBKIT_PARAMS_PARAM_TRACE_H
