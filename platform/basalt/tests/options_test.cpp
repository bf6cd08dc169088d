#include <gtest/gtest.h>

#include "platform/basalt/zv_options.h"

namespace {

TEST(ZvCommandLineOptionsTest, ParsesBothSyntaxes) {
  const char* argv[] = {"/usr/bin/app.bin",     "-qrvtp", "/tmp/f.txt", "--mmulticcachesize=100",
                        "--trczvtd-use-typeid", "-x",     "--empty=",   "positional"};
  ZvCommandLineOptions::init(8, argv);
  EXPECT_EQ(ZvCommandLineOptions::getARG(0), "/usr/bin/app.bin");
  EXPECT_EQ(ZvCommandLineOptions::getARG(99), "");
  EXPECT_EQ(ZvCommandLineOptions::getARGCount(), 8u);

  const struct {
    const char* name;
    bool set;
    const char* value;
  } cases[] = {
      {"qrvtp", true, "/tmp/f.txt"},
      {"--qrvtp", true, "/tmp/f.txt"},
      {"mmulticcachesize", true, "100"},
      {"--trczvtd-use-typeid", true, ""},  // followed by another option: no value
      {"x", true, ""},                     // next is "--empty=": no value
      {"empty", true, ""},
      {"positional", false, ""},
      {"trccachesize", false, ""},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ZvCommandLineOptions::isOptionSet(c.name), c.set) << c.name;
    EXPECT_EQ(ZvCommandLineOptions::getOptionArg(c.name), c.value) << c.name;
  }
}

}  // namespace
