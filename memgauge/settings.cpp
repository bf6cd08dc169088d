#include "memgauge/settings.h"

#include <stdlib.h>

extern "C" {
int DelayTime = 1000;
int LimitMem = -1;
int LimitIdle = -1;
int BarrierSize = -1;
int Prio = -1;
int Quiet = 0;
int ShowTimestamps = 0;
char* EmergencyScript = nullptr;
ZvFreeObserverFunc free_observer_func = nullptr;
ZvIdleObserverFunc idle_observer_func = nullptr;
}

namespace zv_memgauge {

void resetSettings() {
  setDelayTime(1000);
  LimitMem = -1;
  LimitIdle = -1;
  BarrierSize = -1;
  Prio = -1;
  Quiet = 0;
  ShowTimestamps = 0;
  free(EmergencyScript);
  EmergencyScript = nullptr;
}

// The exported variables keep their plain types for the host; atomic
// built-ins make the cross-thread accesses race-free all the same.
int delayTime() { return __atomic_load_n(&DelayTime, __ATOMIC_RELAXED); }
void setDelayTime(int milliseconds) { __atomic_store_n(&DelayTime, milliseconds, __ATOMIC_RELAXED); }

ZvFreeObserverFunc freeObserver() { return __atomic_load_n(&free_observer_func, __ATOMIC_ACQUIRE); }
ZvIdleObserverFunc idleObserver() { return __atomic_load_n(&idle_observer_func, __ATOMIC_ACQUIRE); }
void setFreeObserver(ZvFreeObserverFunc observer) {
  __atomic_store_n(&free_observer_func, observer, __ATOMIC_RELEASE);
}
void setIdleObserver(ZvIdleObserverFunc observer) {
  __atomic_store_n(&idle_observer_func, observer, __ATOMIC_RELEASE);
}

}  // namespace zv_memgauge
