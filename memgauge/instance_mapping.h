// Which thread runs which tool: the tool thread adds itself when it starts and
// removes itself when it ends.
#ifndef MEMGAUGE_INSTANCE_MAPPING_H
#define MEMGAUGE_INSTANCE_MAPPING_H

#include <pthread.h>
#include <signal.h>
#include <sys/types.h>

namespace zv_memgauge {

constexpr int kInstanceMappingSize = 40;

// False when all entries are taken.
bool addInstance(pthread_t thread, int tool_id, pid_t external_pid);
void removeInstance(pthread_t thread);
// Tool id of `thread`, 0 when it runs no tool.
int toolIdOfThread(pthread_t thread);
// Sends `signal_number` to `thread` if it still runs a tool. The check and
// the signal happen under the mapping's lock, and a tool thread removes itself
// under the same lock before it ends, so a signal never reaches a thread that
// is gone.
bool signalInstance(pthread_t thread, int signal_number);
// Tool id of the most recently started tool that still runs, 0 if none; used
// for lines written on behalf of a tool from a host thread.
int activeToolId();

}  // namespace zv_memgauge

#endif  // MEMGAUGE_INSTANCE_MAPPING_H
