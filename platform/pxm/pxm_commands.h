// The control commands of the resource-monitor host, from its options and
// from lines on its standard input:
//   trigger <command id> <data type> <value>
//   monitor <item> <eq|ne|lt|le|gt|ge> <value> <once|continued|barrier>
//   stop
//   help
#ifndef PLATFORM_PXM_PXM_COMMANDS_H
#define PLATFORM_PXM_PXM_COMMANDS_H

#include <string>

#include "memgauge/plugin_interface.h"

namespace zv_pxm {

enum class PxmCommandKind { kNone, kTrigger, kMonitor, kStop, kHelp };

struct SZvPxmCommand {
  PxmCommandKind kind = PxmCommandKind::kNone;
  SZvTriggerCommand trigger{};
  // Item, operator, value and mode; id, flags and links are set when sent.
  SZvMonitorRecord monitor{};
};

// "<command id> <data type> <value>"
bool parseTriggerText(const std::string& text, SZvTriggerCommand* trigger, std::string* error);
// "<item> <operator> <value> <mode>"
bool parseMonitorText(const std::string& text, SZvMonitorRecord* monitor, std::string* error);
// One input line; an empty line or a comment ("#...") gives kNone.
bool parsePxmCommand(const std::string& line, SZvPxmCommand* command, std::string* error);

// The help text of the commands above.
const char* pxmCommandHelp();

}  // namespace zv_pxm

#endif  // PLATFORM_PXM_PXM_COMMANDS_H
