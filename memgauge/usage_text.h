// Usage and version texts of memgauge.
#ifndef MEMGAUGE_USAGE_TEXT_H
#define MEMGAUGE_USAGE_TEXT_H

namespace zv_memgauge {

// The 33-line usage text, each line ended by a line feed.
const char* usageText();
// Prints the usage through the output callback (tool id 0), then a line feed
// to standard output.
void printUsage();

}  // namespace zv_memgauge

#endif  // MEMGAUGE_USAGE_TEXT_H
