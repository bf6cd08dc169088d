// The free and idle observers: they evaluate the monitor records of their
// list against a measurement and report successes to the host.
#ifndef MEMGAUGE_OBSERVERS_H
#define MEMGAUGE_OBSERVERS_H

namespace zv_memgauge {

void observeFreeMemory(long long free_kb);
void observeIdleTime(double idle_percent);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_OBSERVERS_H
