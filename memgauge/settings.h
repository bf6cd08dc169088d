// The settings of memgauge, exported under their plain names. Options set
// them before the loop; DelayTime and the observers may also change while it
// runs (trigger and monitor calls from host threads), so those are read and
// written through the accessors below.
#ifndef MEMGAUGE_SETTINGS_H
#define MEMGAUGE_SETTINGS_H

typedef void (*ZvFreeObserverFunc)(long long free_kb);
typedef void (*ZvIdleObserverFunc)(double idle_percent);

extern "C" {
extern int DelayTime;        // milliseconds between samples
extern int LimitMem;         // report only below this many kB; -1: no limit
extern int LimitIdle;        // report only at or above this idle percentage
extern int BarrierSize;      // emergency limit in kB
extern int Prio;             // scheduling priority; -1 keeps the current one
extern int Quiet;
extern int ShowTimestamps;
extern char* EmergencyScript;  // heap text, null when none
extern ZvFreeObserverFunc free_observer_func;
extern ZvIdleObserverFunc idle_observer_func;
}

namespace zv_memgauge {

// Puts every option-set value back to its default (and frees the script).
void resetSettings();

int delayTime();
void setDelayTime(int milliseconds);
ZvFreeObserverFunc freeObserver();
ZvIdleObserverFunc idleObserver();
void setFreeObserver(ZvFreeObserverFunc observer);
void setIdleObserver(ZvIdleObserverFunc observer);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_SETTINGS_H
