// The command-line options of memgauge.
#ifndef MEMGAUGE_OPTIONS_H
#define MEMGAUGE_OPTIONS_H

namespace zv_memgauge {

enum class OptionOutcome {
  kRun,    // settings are in place
  kHelp,   // -h: the usage was printed
  kError,  // the error lines and the usage were printed
};

// Resets the settings to their defaults, then applies the options of argv.
OptionOutcome parseOptions(int tool_id, int argc, char** argv);

}  // namespace zv_memgauge

#endif  // MEMGAUGE_OPTIONS_H
