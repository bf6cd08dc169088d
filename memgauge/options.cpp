#include "memgauge/options.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "memgauge/host_callbacks.h"
#include "memgauge/settings.h"
#include "memgauge/toolkit/toolkit.h"
#include "memgauge/usage_text.h"

namespace zv_memgauge {
namespace {

constexpr char kOptionString[] = "c:d:e:ghl:p:qt";

// Whole text as a number with base detection (decimal, 0x hexadecimal,
// 0 octal) that fits an int.
bool parseInt(const char* text, int* value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  long number = strtol(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || number < INT_MIN || number > INT_MAX) {
    return false;
  }
  *value = static_cast<int>(number);
  return true;
}

OptionOutcome failOption(int tool_id) {
  printUsage();
  printError(tool_id, "optional param does not match");
  return OptionOutcome::kError;
}

OptionOutcome failValue(int tool_id, char option, const char* text) {
  printError(tool_id, "invalid value '%s' for option -%c", text ? text : "", option);
  return failOption(tool_id);
}

// "-e script@size": split at the first '@'.
bool parseEmergency(int tool_id, const char* text) {
  const char* at = strchr(text, '@');
  if (at == nullptr) {
    printError(tool_id, "delimiter '@' not found");
    return false;
  }
  if (at[1] == '\0') {
    printError(tool_id, "no value found after delimiter '@'");
    return false;
  }
  int size;
  if (!parseInt(at + 1, &size)) {
    printError(tool_id, "invalid value '%s' for option -%c", at + 1, 'e');
    return false;
  }
  char* script = strndup(text, static_cast<size_t>(at - text));
  if (script == nullptr) return false;
  free(EmergencyScript);  // a repeated -e replaces the earlier one
  EmergencyScript = script;
  BarrierSize = size;
  printOutput(tool_id, "using '%s' as emergency script at %dKB", EmergencyScript, BarrierSize);
  return true;
}

}  // namespace

OptionOutcome parseOptions(int tool_id, int argc, char** argv) {
  resetSettings();
  SZvGetoptState state = ZV_TBOX_GETOPT_INIT;
  int option;
  while ((option = _tbox_getopt(argc, argv, kOptionString, &state)) != -1) {
    const char* value = state.optarg;
    int number = 0;
    switch (option) {
      case 'c':
        if (!parseInt(value, &number)) return failValue(tool_id, 'c', value);
        LimitIdle = number;
        break;
      case 'd':
        // A period of 0 or less would spin without sleeping.
        if (!parseInt(value, &number) || number <= 0) return failValue(tool_id, 'd', value);
        setDelayTime(number);
        break;
      case 'e':
        if (!parseEmergency(tool_id, value)) return failOption(tool_id);
        break;
      case 'h':
        printUsage();
        return OptionOutcome::kHelp;
      case 'l':
        if (!parseInt(value, &number)) return failValue(tool_id, 'l', value);
        LimitMem = number;
        break;
      case 'p':
        if (!parseInt(value, &number)) return failValue(tool_id, 'p', value);
        Prio = number;
        break;
      case 'q':
        Quiet = 1;
        break;
      case 't':
        ShowTimestamps = 1;
        break;
      default:  // unknown, missing value, and -g (listed but never had a meaning)
        return failOption(tool_id);
    }
  }
  return OptionOutcome::kRun;
}

}  // namespace zv_memgauge
