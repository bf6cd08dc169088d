// Umbrella header of the QNX-only system calls and the dispatch layer, built on Linux.
#ifndef PLATFORM_QNX_QNX_H
#define PLATFORM_QNX_QNX_H

#include "platform/qnx/dispatch.h"
#include "platform/qnx/pulse_timer.h"

#endif  // PLATFORM_QNX_QNX_H
