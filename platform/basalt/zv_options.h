// Command-line options of the process.
//
// Syntax: an argument beginning with '-' or "--" names an option; its value
// is the text after '=' ("--name=value", "-name=value") or else the next
// argument when that does not begin with '-' ("-name value"). Names are
// compared without their leading dashes, so isOptionSet("qrvtp"),
// isOptionSet("-qrvtp") and isOptionSet("--qrvtp") are the same question.
// Without init() the arguments are read from /proc/self/cmdline on first use.
#ifndef PLATFORM_BASALT_ZV_OPTIONS_H
#define PLATFORM_BASALT_ZV_OPTIONS_H

#include <cstdint>

#include "platform/basalt/zv_string.h"

namespace ZvCommandLineOptions {
void init(int argc, const char* const* argv);
uint32_t getARGCount();
// Argument i (0 is the program), "" when out of range.
CZvString getARG(uint32_t i);
bool isOptionSet(const char* name);
// The option's value, "" when absent or without value.
CZvString getOptionArg(const char* name);
}  // namespace ZvCommandLineOptions

#endif  // PLATFORM_BASALT_ZV_OPTIONS_H
