#include "platform/pxm/pxm_commands.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <sstream>
#include <vector>

namespace zv_pxm {
namespace {

std::vector<std::string> splitWords(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> words;
  std::string word;
  while (stream >> word) words.push_back(word);
  return words;
}

bool parseInt32(const std::string& text, int32_t* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long number = strtol(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || number < INT32_MIN || number > INT32_MAX) return false;
  *value = static_cast<int32_t>(number);
  return true;
}

// Copies into a fixed text field, which keeps room for the terminator.
bool copyField(const std::string& text, char (&field)[ZV_MONITOR_TEXT_SIZE]) {
  if (text.size() >= ZV_MONITOR_TEXT_SIZE) return false;
  memset(field, 0, sizeof field);
  memcpy(field, text.data(), text.size());
  return true;
}

struct NamedCode {
  const char* name;
  int32_t code;
};

constexpr NamedCode kOperators[] = {
    {"eq", ZV_MONITOR_OP_EQ}, {"lt", ZV_MONITOR_OP_LT}, {"gt", ZV_MONITOR_OP_GT},
    {"ne", ZV_MONITOR_OP_NE}, {"le", ZV_MONITOR_OP_LE}, {"ge", ZV_MONITOR_OP_GE},
};
constexpr NamedCode kModes[] = {
    {"once", ZV_MONITOR_MODE_ONCE},
    {"continued", ZV_MONITOR_MODE_CONTINUED},
    {"barrier", ZV_MONITOR_MODE_BARRIER},
};

template <size_t N>
bool lookUp(const NamedCode (&table)[N], const std::string& name, int32_t* code) {
  for (const NamedCode& entry : table) {
    if (name == entry.name) {
      *code = entry.code;
      return true;
    }
  }
  return false;
}

}  // namespace

bool parseTriggerText(const std::string& text, SZvTriggerCommand* trigger, std::string* error) {
  std::vector<std::string> words = splitWords(text);
  SZvTriggerCommand result{};
  if (words.size() < 2 || words.size() > 3) {
    *error = "trigger needs <command id> <data type> [<value>]";
    return false;
  }
  if (!parseInt32(words[0], &result.command_id) || !parseInt32(words[1], &result.data_type)) {
    *error = "trigger command id and data type must be numbers";
    return false;
  }
  if (words.size() == 3 && !copyField(words[2], result.value)) {
    *error = "trigger value longer than 251 characters";
    return false;
  }
  *trigger = result;
  return true;
}

bool parseMonitorText(const std::string& text, SZvMonitorRecord* monitor, std::string* error) {
  std::vector<std::string> words = splitWords(text);
  if (words.size() != 4) {
    *error = "monitor needs <item> <operator> <value> <mode>";
    return false;
  }
  SZvMonitorRecord result;
  memset(&result, 0, sizeof result);
  if (!copyField(words[0], result.item) || !copyField(words[2], result.value)) {
    *error = "monitor item or value longer than 251 characters";
    return false;
  }
  if (!lookUp(kOperators, words[1], &result.op)) {
    *error = "unknown monitor operator '" + words[1] + "' (eq, ne, lt, le, gt, ge)";
    return false;
  }
  if (!lookUp(kModes, words[3], &result.mode)) {
    *error = "unknown monitor mode '" + words[3] + "' (once, continued, barrier)";
    return false;
  }
  *monitor = result;
  return true;
}

bool parsePxmCommand(const std::string& line, SZvPxmCommand* command, std::string* error) {
  SZvPxmCommand result;
  std::string trimmed = line;
  size_t start = trimmed.find_first_not_of(" \t\r");
  if (start == std::string::npos || trimmed[start] == '#') {
    *command = result;
    return true;
  }
  trimmed = trimmed.substr(start);
  size_t end_of_verb = trimmed.find_first_of(" \t");
  std::string verb = trimmed.substr(0, end_of_verb);
  std::string rest = end_of_verb == std::string::npos ? "" : trimmed.substr(end_of_verb);
  if (verb == "trigger") {
    result.kind = PxmCommandKind::kTrigger;
    if (!parseTriggerText(rest, &result.trigger, error)) return false;
  } else if (verb == "monitor") {
    result.kind = PxmCommandKind::kMonitor;
    if (!parseMonitorText(rest, &result.monitor, error)) return false;
  } else if (verb == "stop" || verb == "quit") {
    result.kind = PxmCommandKind::kStop;
  } else if (verb == "help") {
    result.kind = PxmCommandKind::kHelp;
  } else {
    *error = "unknown command '" + verb + "' (try 'help')";
    return false;
  }
  *command = result;
  return true;
}

const char* pxmCommandHelp() {
  return "commands (from -x/-m options or lines on standard input):\n"
         "  trigger <command id> <data type> <value>\n"
         "      memgauge: 'trigger 0 0' shows the trigger help,\n"
         "                'trigger 1 1 <ms>' sets the sampling period\n"
         "  monitor <item> <operator> <value> <mode>\n"
         "      item: idle (value in %) or free (value in kB)\n"
         "      operator: eq, ne, lt, le, gt, ge; mode: once, continued, barrier\n"
         "  stop      stops the tool (as Ctrl-C does)\n"
         "  help      shows this text\n";
}

}  // namespace zv_pxm
