// pxm: a small resource-monitor host. It loads a tool plug-in, runs the tool
// on a thread of its own with the arguments of its command line, shows the
// tool's output, errors, status changes and monitor successes, passes trigger
// and monitor commands on, and stops the tool on Ctrl-C.
#include <getopt.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/pxm/plugin_loader.h"
#include "platform/pxm/pxm_commands.h"

namespace zv_pxm {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kToolId = 1;
constexpr auto kStopRepeat = std::chrono::milliseconds(200);

struct SZvHostState {
  std::mutex mutex;
  std::condition_variable changed;
  bool running = false;
  bool ended = false;
  bool stop_wanted = false;
  int tool_result = 0;
  std::deque<SZvPxmCommand> pending;
};

SZvHostState g_state;
std::mutex g_print_mutex;
std::string g_tool_name;
SZvPluginFunctions g_plugin;

void printToolOutput(int, const char* format, ...) {
  std::lock_guard<std::mutex> lock(g_print_mutex);
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
  fputc('\n', stdout);
  fflush(stdout);
}

void printToolError(int, const char* format, ...) {
  std::lock_guard<std::mutex> lock(g_print_mutex);
  fflush(stdout);
  fprintf(stderr, "%s: error: ", g_tool_name.c_str());
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fputc('\n', stderr);
  fflush(stderr);
}

void note(const char* format, ...) __attribute__((format(printf, 1, 2)));
void note(const char* format, ...) {
  std::lock_guard<std::mutex> lock(g_print_mutex);
  fflush(stdout);
  fputs("[pxm] ", stderr);
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  fputc('\n', stderr);
  fflush(stderr);
}

const char* statusName(int status) {
  switch (status) {
    case ZV_TOOL_STATUS_FINISHED: return "finished";
    case ZV_TOOL_STATUS_RUNNING: return "running";
    case ZV_TOOL_STATUS_ERROR: return "error";
    default: return "unknown";
  }
}

void reportStatus(int tool_id, int status) {
  note("tool %d status %d (%s)", tool_id, status, statusName(status));
  std::lock_guard<std::mutex> lock(g_state.mutex);
  g_state.running = status == ZV_TOOL_STATUS_RUNNING;
  g_state.changed.notify_all();
}

void reportMonitorSuccess(int tool_id, int monitor_id) {
  note("tool %d monitor %d succeeded", tool_id, monitor_id);
}

void onAlarm(int) {}
int outputHandle(int) { return STDOUT_FILENO; }
const char* toolName(int) { return g_tool_name.c_str(); }

void requestStop() {
  std::lock_guard<std::mutex> lock(g_state.mutex);
  g_state.stop_wanted = true;
  g_state.changed.notify_all();
}

void queueCommand(const SZvPxmCommand& command) {
  std::lock_guard<std::mutex> lock(g_state.mutex);
  g_state.pending.push_back(command);
  g_state.changed.notify_all();
}

// Sends one command to the running tool.
void sendCommand(SZvPxmCommand command, int* next_monitor_id) {
  switch (command.kind) {
    case PxmCommandKind::kTrigger: {
      int result = g_plugin.trigger(&command.trigger);
      if (result != 0) note("trigger %d refused (%d)", command.trigger.command_id, result);
      break;
    }
    case PxmCommandKind::kMonitor: {
      auto* record = static_cast<SZvMonitorRecord*>(malloc(sizeof(SZvMonitorRecord)));
      if (record == nullptr) return;
      *record = command.monitor;
      record->monitor_id = (*next_monitor_id)++;
      record->active = 1;
      record->last_result = 0;
      record->next = nullptr;
      note("monitor %d: %s op %d value %s mode %d", record->monitor_id, command.monitor.item,
           command.monitor.op, command.monitor.value, command.monitor.mode);
      // The plug-in owns the record from here on, accepted or not.
      if (g_plugin.monitor_activate(record) != 0) note("monitor refused");
      break;
    }
    case PxmCommandKind::kHelp:
      note("%s", pxmCommandHelp());
      break;
    case PxmCommandKind::kStop:
      requestStop();
      break;
    case PxmCommandKind::kNone:
      break;
  }
}

void* signalThread(void* signals) {
  for (;;) {
    int received = 0;
    if (sigwait(static_cast<sigset_t*>(signals), &received) == 0) {
      note("signal %d: stopping the tool", received);
      requestStop();
    }
  }
  return nullptr;
}

void* inputThread(void*) {
  char* line = nullptr;
  size_t capacity = 0;
  ssize_t length;
  while ((length = getline(&line, &capacity, stdin)) > 0) {
    std::string text(line, static_cast<size_t>(length));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    SZvPxmCommand command;
    std::string error;
    if (!parsePxmCommand(text, &command, &error)) {
      note("%s", error.c_str());
    } else if (command.kind == PxmCommandKind::kStop) {
      requestStop();
    } else if (command.kind != PxmCommandKind::kNone) {
      queueCommand(command);
    }
  }
  free(line);
  return nullptr;
}

struct SZvToolRun {
  SZvToolArguments arguments;
};

void* toolThread(void* run) {
  int result = g_plugin.main(&static_cast<SZvToolRun*>(run)->arguments);
  std::lock_guard<std::mutex> lock(g_state.mutex);
  g_state.ended = true;
  g_state.tool_result = result;
  g_state.changed.notify_all();
  return nullptr;
}

// Waits for the tool to end; passes commands on once it runs and repeats
// the stop call until the tool has heard it.
int superviseTool(pthread_t tool, int run_ms) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(run_ms);
  Clock::time_point last_stop{};
  int next_monitor_id = 1;
  std::unique_lock<std::mutex> lock(g_state.mutex);
  while (!g_state.ended) {
    g_state.changed.wait_for(lock, std::chrono::milliseconds(50));
    if (run_ms > 0 && Clock::now() >= deadline) g_state.stop_wanted = true;
    while (g_state.running && !g_state.pending.empty() && !g_state.ended) {
      SZvPxmCommand command = g_state.pending.front();
      g_state.pending.pop_front();
      lock.unlock();
      sendCommand(command, &next_monitor_id);
      lock.lock();
    }
    if (g_state.stop_wanted && !g_state.ended && Clock::now() - last_stop >= kStopRepeat) {
      last_stop = Clock::now();
      lock.unlock();
      g_plugin.stop(tool);
      lock.lock();
    }
  }
  return g_state.tool_result;
}

// A non-negative number of milliseconds, or -1.
int parseMilliseconds(const char* text) {
  char* end = nullptr;
  long value = strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0 || value > 0x7fffffff) return -1;
  return static_cast<int>(value);
}

std::string defaultToolName(const std::string& plugin_path) {
  std::string name = plugin_path.substr(plugin_path.find_last_of('/') + 1);
  if (name.compare(0, 3, "lib") == 0) name.erase(0, 3);
  size_t so = name.find(".so");
  if (so != std::string::npos) name.erase(so);
  return name.empty() ? "tool" : name;
}

void printUsage(FILE* out) {
  fprintf(out,
          "usage: pxm [options] PLUGIN [tool arguments...]\n"
          "  -n NAME    tool name (default: from the plug-in file name)\n"
          "  -s MS      start delay of the tool\n"
          "  -D MS      stop the tool after MS milliseconds (default: run until Ctrl-C)\n"
          "  -m TEXT    activate a monitor once the tool runs: \"item op value mode\"\n"
          "  -x TEXT    send a trigger once the tool runs: \"command type value\"\n"
          "  -V         print the plug-in's version and exit\n"
          "  -h         this text; a first tool argument --h shows the control commands\n"
          "The exit status is the tool's (0 finished, 4 error); 1 load failure, 2 usage.\n\n%s",
          pxmCommandHelp());
}

int run(int argc, char** argv) {
  std::string name;
  int start_delay = 0;
  int run_ms = 0;
  bool print_version = false;
  std::vector<SZvPxmCommand> initial;
  int option;
  while ((option = getopt(argc, argv, "+n:s:D:m:x:Vh")) != -1) {
    SZvPxmCommand command;
    std::string error;
    switch (option) {
      case 'n': name = optarg; break;
      case 's':
      case 'D': {
        int milliseconds = parseMilliseconds(optarg);
        if (milliseconds < 0) {
          fprintf(stderr, "pxm: -%c needs milliseconds, not '%s'\n", option, optarg);
          return 2;
        }
        (option == 's' ? start_delay : run_ms) = milliseconds;
        break;
      }
      case 'm':
        command.kind = PxmCommandKind::kMonitor;
        if (!parseMonitorText(optarg, &command.monitor, &error)) {
          fprintf(stderr, "pxm: %s\n", error.c_str());
          return 2;
        }
        initial.push_back(command);
        break;
      case 'x':
        command.kind = PxmCommandKind::kTrigger;
        if (!parseTriggerText(optarg, &command.trigger, &error)) {
          fprintf(stderr, "pxm: %s\n", error.c_str());
          return 2;
        }
        initial.push_back(command);
        break;
      case 'V': print_version = true; break;
      case 'h': printUsage(stdout); return 0;
      default: printUsage(stderr); return 2;
    }
  }
  if (optind >= argc) {
    printUsage(stderr);
    return 2;
  }
  std::string plugin_path = argv[optind++];
  g_tool_name = name.empty() ? defaultToolName(plugin_path) : name;
  if (optind < argc && strcmp(argv[optind], "--h") == 0) {
    printf("%s", pxmCommandHelp());
    return 0;
  }
  std::string error;
  if (!loadPlugin(plugin_path, &g_plugin, &error)) {
    fprintf(stderr, "pxm: %s\n", error.c_str());
    return 1;
  }
  if (print_version) {
    char* version = g_plugin.version();
    printf("%s\n", version);
    free(version);
    return 0;
  }

  g_plugin.set_callback_function(ZV_HOST_CB_PRINT_OUTPUT, reinterpret_cast<ZvGenericFunc>(printToolOutput));
  g_plugin.set_callback_function(ZV_HOST_CB_PRINT_ERROR, reinterpret_cast<ZvGenericFunc>(printToolError));
  g_plugin.set_callback_function(ZV_HOST_CB_STATUS, reinterpret_cast<ZvGenericFunc>(reportStatus));
  g_plugin.set_callback_function(ZV_HOST_CB_MONITOR_SUCCESS,
                                 reinterpret_cast<ZvGenericFunc>(reportMonitorSuccess));
  g_plugin.set_callback_function(ZV_HOST_CB_SIGALRM_HANDLER, reinterpret_cast<ZvGenericFunc>(onAlarm));
  g_plugin.set_callback_function(ZV_HOST_CB_OUTPUT_HANDLE, reinterpret_cast<ZvGenericFunc>(outputHandle));
  g_plugin.set_callback_function(ZV_HOST_CB_TOOL_NAME, reinterpret_cast<ZvGenericFunc>(toolName));
  g_plugin.set_start_delay(start_delay);
  for (const SZvPxmCommand& command : initial) queueCommand(command);

  // Ctrl-C and SIGTERM are taken by a thread of their own; every other thread,
  // the tool's included, keeps them blocked.
  static sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  // A shell starts background commands with SIGINT ignored, and an ignored
  // signal never reaches sigwait.
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  pthread_t signal_thread;
  pthread_t input_thread;
  pthread_create(&signal_thread, nullptr, signalThread, &stop_signals);
  pthread_detach(signal_thread);
  pthread_create(&input_thread, nullptr, inputThread, nullptr);
  pthread_detach(input_thread);

  std::vector<char*> tool_argv;
  tool_argv.push_back(const_cast<char*>(g_tool_name.c_str()));
  for (int index = optind; index < argc; ++index) tool_argv.push_back(argv[index]);
  tool_argv.push_back(nullptr);
  static SZvToolRun tool_run;
  tool_run.arguments.tool_id = kToolId;
  tool_run.arguments.argc = static_cast<int32_t>(tool_argv.size() - 1);
  tool_run.arguments.argv = tool_argv.data();
  pthread_t tool;
  if (pthread_create(&tool, nullptr, toolThread, &tool_run) != 0) {
    fprintf(stderr, "pxm: cannot start the tool thread\n");
    return 1;
  }
  int result = superviseTool(tool, run_ms);
  pthread_join(tool, nullptr);
  note("tool %d ended (%d)", kToolId, result);
  return result;
}

}  // namespace
}  // namespace zv_pxm

int main(int argc, char** argv) {
  int status = zv_pxm::run(argc, argv);
  fflush(stdout);
  // The input and signal threads may still wait for input: end without
  // running static destructors under them.
  _exit(status);
}
