// Umbrella header of the component framework (process and component names,
// kernel-trace user events).
#ifndef PLATFORM_LOOM_LOOM_H
#define PLATFORM_LOOM_LOOM_H

#include "platform/loom/component_info.h"
#include "platform/loom/kernel_trace.h"
#include "platform/loom/process_info.h"

#endif  // PLATFORM_LOOM_LOOM_H
