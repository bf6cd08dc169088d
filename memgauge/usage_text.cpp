// The usage text of memgauge and the version text of the plug-in.
#include "memgauge/usage_text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "memgauge/host_callbacks.h"
#include "memgauge/plugin_interface.h"
#include "memgauge/pxm_assert.h"

namespace zv_memgauge {
namespace {

// 33 lines; the heading block appears twice, as the tool has always shown it.
const char kUsageText[] =
    "\n"
    "memgauge - monitor amount of free system memory\n"
    "\n"
    "memgauge [options]*\n"
    "\n"
    "Options:\n"
    "memgauge - monitor amount of free system memory\n"
    "\n"
    "memgauge [options]*\n"
    "\n"
    "Options:\n"
    " -c percent           report only if at least <percent> idle\n"
    " -d delay             delay time between checks (in millisec, default 1000)\n"
    " -e\"<script>@<size>\"  run <script> as a shell on reaching minFree <size> in KB\n"
    "                      remark: quotation marks are needed only if 'script'                                           does contain blanks, e.g. -e\"ls -al@200000\"\n"
    " -h                   memgauge specific help\n"
    " --h                  pxm help for controlling memgauge\n"
    " -l limit             memgauge gets active below this limit (in kB)\n"
    " -p priority          the qnx priority to use\n"
    " -q                   quiet, else every change o minFree is reported\n"
    " -t                   show timestamps\n"
    "\n"
    "Trigger Monitor:\n"
    "\n"
    "   TriggerItem:  idle\n"
    "   TriggerOp:    eq, ne, lt, le, gt, ge\n"
    "   TriggerValue: <idle value in %>\n"
    "\n"
    "   TriggerItem:  free\n"
    "   TriggerOp:    eq, ne, lt, le, gt, ge\n"
    "   TriggerValue: <freeMem value in kB>\n"
    "\n"
    "   TriggerMode: <once|continued|barrier>\n";

const char kToolVersion[] = "4.2";
const char kBuildDate[] = "14.08.2014-06:43";
constexpr size_t kVersionTextSize = 100;

}  // namespace

const char* usageText() { return kUsageText; }

void printUsage() {
  // The text holds '%' characters, so it never serves as a format itself.
  printOutput(0, "%s", kUsageText);
  fputs("\n", stdout);
}

}  // namespace zv_memgauge

extern "C" const char* get_tool_usage(void) { return zv_memgauge::usageText(); }

extern "C" char* plugin_cb_help(void) {
  char* copy = strdup(zv_memgauge::usageText());
  ZV_PXM_ASSERT(copy != nullptr);
  return copy;
}

extern "C" char* plugin_cb_version(void) {
  char* text = static_cast<char*>(malloc(zv_memgauge::kVersionTextSize));
  ZV_PXM_ASSERT(text != nullptr);
  snprintf(text, zv_memgauge::kVersionTextSize, "Tool Version: %s\nBuild Date  : %s",
           zv_memgauge::kToolVersion, zv_memgauge::kBuildDate);
  return text;
}
