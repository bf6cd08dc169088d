// Umbrella header of the base runtime library (streams, strings, events, timers, threads, tracing).
#ifndef PLATFORM_BASALT_BASALT_H
#define PLATFORM_BASALT_BASALT_H

#endif  // PLATFORM_BASALT_BASALT_H
