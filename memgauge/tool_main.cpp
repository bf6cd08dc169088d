// The tool memgauge: samples free memory and processor idle time once per
// period, reports them, runs the emergency script and feeds the observers.
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "memgauge/host_callbacks.h"
#include "memgauge/instance_mapping.h"
#include "memgauge/measurement_source.h"
#include "memgauge/monitor_table.h"
#include "memgauge/options.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/pxm_assert.h"
#include "memgauge/settings.h"
#include "memgauge/tool_callbacks.h"
#include "memgauge/tool_commands.h"

namespace zv_memgauge {
namespace {

void ignoreAlarm(int) {}

// Installs the host's SIGALRM handler (a do-nothing one when the host gave
// none: the default action would end the process) without SA_RESTART, so the
// signal interrupts the sleep.
void installAlarmHandler() {
  struct sigaction action;
  memset(&action, 0, sizeof action);
  ZvHostSignalHandlerFunc handler = hostAlarmHandler();
  action.sa_handler = handler ? handler : ignoreAlarm;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
}

void sleepRealMilliseconds(int milliseconds) {
  timespec duration{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&duration, &duration) != 0) {
  }
}

bool applyPriority(int tool_id) {
  if (Prio == -1) return true;
  int policy;
  sched_param param;
  if (pthread_getschedparam(pthread_self(), &policy, &param) != 0 ||
      Prio < sched_get_priority_min(policy) || Prio > sched_get_priority_max(policy)) {
    printError(tool_id, " priority out of range!");
    return false;
  }
  pthread_setschedprio(pthread_self(), Prio);
  return true;
}

void runEmergencyScript(int tool_id, long long free_kb) {
  if (EmergencyScript == nullptr || BarrierSize < free_kb) return;
  printOutput(tool_id, "emergency limit of %dKB RAM reached, executing script '%s'", BarrierSize,
              EmergencyScript);
  int status = system(EmergencyScript);
  int exit_code = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  printOutput(tool_id, "'%s' returned '%d'", EmergencyScript, exit_code);
}

void report(int tool_id, IZvMeasurementSource& source, long long free_kb, long long min_kb,
            double idle) {
  if (ShowTimestamps) {
    long long now_ms = source.monotonicNanoseconds() / 1000000;
    printOutput(tool_id, "t=%9lld [msec], %7lld free [kB], %7lld min [kB], %s%6.2f%% CPU idle",
                now_ms, free_kb, min_kb, "", idle);
  } else {
    printOutput(tool_id, "%7lld free [kB], %7lld min [kB], %s%6.2f%% CPU idle", free_kb, min_kb,
                "", idle);
  }
  runEmergencyScript(tool_id, free_kb);
}

// The sampling loop; returns the status the tool ends with.
int runLoop(int tool_id) {
  IZvMeasurementSource& source = measurementSource();
  int processors = source.processorCount();
  if (processors < 1) {
    printError(tool_id, "System with %d cpu not supported", processors);
    return ZV_TOOL_STATUS_ERROR;
  }
  int64_t free_bytes = 0;
  int64_t total_bytes = 0;
  if (!source.readFreeBytes(&free_bytes) || !source.readTotalBytes(&total_bytes)) {
    return ZV_TOOL_STATUS_ERROR;
  }
  long long min_kb = free_bytes / 1024;
  bool have_period = false;
  uint64_t idle_ns = 0;
  int64_t period_ns = 0;
  while (!stopRequested()) {
    if (!source.readFreeBytes(&free_bytes)) return ZV_TOOL_STATUS_ERROR;
    if (free_bytes < 0) {
      printError(tool_id, "aborted due to previous error.");
      return ZV_TOOL_STATUS_ERROR;
    }
    long long free_kb = free_bytes / 1024;
    if (free_kb < min_kb) min_kb = free_kb;
    if (ZvFreeObserverFunc observer = freeObserver()) observer(free_kb);
    if (have_period && period_ns > 0) {
      double idle = static_cast<double>(idle_ns) * 100.0 / static_cast<double>(period_ns);
      if (ZvIdleObserverFunc observer = idleObserver()) observer(idle);
      if (idle >= LimitIdle && (LimitMem < 0 || free_kb < LimitMem)) {
        report(tool_id, source, free_kb, min_kb, idle);
      }
    }
    fflush(stdout);

    int64_t idle_before = 0;
    int64_t idle_after = 0;
    if (!source.readIdleNanoseconds(&idle_before)) return ZV_TOOL_STATUS_ERROR;
    int64_t start_ns = source.monotonicNanoseconds();
    source.sleepMilliseconds(delayTime());
    if (!source.readIdleNanoseconds(&idle_after)) return ZV_TOOL_STATUS_ERROR;
    // Counters may wrap; their difference is still right.
    idle_ns = static_cast<uint64_t>(idle_after) - static_cast<uint64_t>(idle_before);
    period_ns = source.monotonicNanoseconds() - start_ns;
    have_period = true;
  }
  return ZV_TOOL_STATUS_FINISHED;
}

int runTool(int tool_id, int argc, char** argv) {
  switch (parseOptions(tool_id, argc, argv)) {
    case OptionOutcome::kHelp:
      return ZV_TOOL_STATUS_FINISHED;
    case OptionOutcome::kError:
      sendStatus(tool_id, ZV_TOOL_STATUS_ERROR);
      return ZV_TOOL_STATUS_ERROR;
    case OptionOutcome::kRun:
      break;
  }
  if (!applyPriority(tool_id)) {
    sendStatus(tool_id, ZV_TOOL_STATUS_ERROR);
    return ZV_TOOL_STATUS_ERROR;
  }
  sendStatus(tool_id, ZV_TOOL_STATUS_RUNNING);
  int status = runLoop(tool_id);
  if (status == ZV_TOOL_STATUS_ERROR) sendStatus(tool_id, ZV_TOOL_STATUS_ERROR);
  return status;
}

// Takes a SIGALRM that arrived after the last sleep, so it does not hit the
// thread once the signal is unblocked again.
void drainPendingAlarm() {
  sigset_t alarm_only;
  sigemptyset(&alarm_only);
  sigaddset(&alarm_only, SIGALRM);
  timespec no_wait{0, 0};
  while (sigtimedwait(&alarm_only, nullptr, &no_wait) == SIGALRM) {
  }
}

}  // namespace
}  // namespace zv_memgauge

using namespace zv_memgauge;

extern "C" int plugin_cb_main(SZvToolArguments* arguments) {
  ZV_PXM_ASSERT(arguments != nullptr);
  ZV_PXM_ASSERT(arguments->argc >= 1 && arguments->argv != nullptr);
  int tool_id = arguments->tool_id;
  int start_delay = startDelayMilliseconds();
  if (start_delay > 0) sleepRealMilliseconds(start_delay);

  installAlarmHandler();
  // SIGALRM stays blocked on this thread except during the sleep of the loop.
  sigset_t alarm_only;
  sigset_t previous_mask;
  sigemptyset(&alarm_only);
  sigaddset(&alarm_only, SIGALRM);
  pthread_sigmask(SIG_BLOCK, &alarm_only, &previous_mask);

  // Cleared before the thread becomes known, so no stop aimed at this run is lost.
  clearStopRequest();
  if (!addInstance(pthread_self(), tool_id, 0)) {
    printError(tool_id, "too many tools running (%d)", kInstanceMappingSize);
  }
  pthread_setname_np(pthread_self(), "memgauge_main");
  set_tool_callback_func(ZV_TOOL_CB_STOP, reinterpret_cast<ZvGenericFunc>(stopTool));
  set_tool_callback_func(ZV_TOOL_CB_TRIGGER, reinterpret_cast<ZvGenericFunc>(triggerTool));
  set_tool_callback_func(ZV_TOOL_CB_MONITOR, reinterpret_cast<ZvGenericFunc>(monitorActivateTool));

  int status = runTool(tool_id, arguments->argc, arguments->argv);

  // An error run ends on its status 4; a run that finished reports 0 twice,
  // around the release of its resources, as hosts have always seen it.
  restoreDefaultToolCallbacks();
  if (status == ZV_TOOL_STATUS_FINISHED) sendStatus(tool_id, ZV_TOOL_STATUS_FINISHED);
  free(EmergencyScript);
  EmergencyScript = nullptr;
  setFreeObserver(nullptr);
  setIdleObserver(nullptr);
  clearMonitors();
  if (status == ZV_TOOL_STATUS_FINISHED) sendStatus(tool_id, ZV_TOOL_STATUS_FINISHED);
  removeInstance(pthread_self());
  drainPendingAlarm();
  pthread_sigmask(SIG_SETMASK, &previous_mask, nullptr);
  return status;
}
