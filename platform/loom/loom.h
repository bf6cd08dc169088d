// Umbrella header of the component framework (process and component names, kernel-trace user events).
#ifndef PLATFORM_LOOM_LOOM_H
#define PLATFORM_LOOM_LOOM_H

#endif  // PLATFORM_LOOM_LOOM_H
