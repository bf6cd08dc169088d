#include "platform/communication/process_name.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

namespace communication {
namespace {

std::string ownProgramPath() {
  char path[PATH_MAX] = {};
  FILE* file = fopen("/proc/self/cmdline", "r");
  if (!file) return "";
  size_t count = fread(path, 1, sizeof(path) - 1, file);
  fclose(file);
  path[count] = '\0';
  return path;
}

TEST(ProcessNameTest, OwnProcessHasItsProgramName) {
  char name[256];
  ASSERT_EQ(getPidNameForId(getpid(), name, sizeof(name)), 0);
  EXPECT_EQ(std::string(name), ownProgramPath());
  EXPECT_NE(std::string(name).find("communication_tests"), std::string::npos);
}

TEST(ProcessNameTest, NameIsCutToTheBuffer) {
  char name[5];
  ASSERT_EQ(getPidNameForId(getpid(), name, sizeof(name)), 0);
  EXPECT_EQ(std::string(name), ownProgramPath().substr(0, 4));
}

TEST(ProcessNameTest, UnknownProcessOrBadBufferFails) {
  char name[256] = "stale";
  errno = 0;
  EXPECT_EQ(getPidNameForId(INT_MAX, name, sizeof(name)), -1);
  EXPECT_EQ(errno, ESRCH);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(getPidNameForId(-3, name, sizeof(name)), -1);
  EXPECT_EQ(getPidNameForId(getpid(), nullptr, 10), -1);
  EXPECT_EQ(getPidNameForId(getpid(), name, 0), -1);
}

}  // namespace
}  // namespace communication
