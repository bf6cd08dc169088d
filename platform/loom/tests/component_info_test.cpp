#include "platform/loom/component_info.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/loom/process_info.h"

namespace {

TEST(ProcessInfoTest, DefaultsToTheProgramFileNameAndCanBeSet) {
  EXPECT_EQ(ZvApplication::getProcessName(), "loom_tests");
  ZvApplication::setProcessName("HMIProcess");
  EXPECT_EQ(ZvApplication::getProcessName(), "HMIProcess");
  ZvApplication::setProcessName(nullptr);
  EXPECT_EQ(ZvApplication::getProcessName(), "loom_tests");
}

TEST(ComponentInfoTest, CurrentComponentIsPerThreadWithTheProcessAsDefault) {
  EXPECT_EQ(CZvComponentInfo::getCurrentComponentName(), "loom_tests");
  CZvComponentInfo media("MediaPlayer");
  {
    CZvComponentScope scope(media);
    EXPECT_EQ(CZvComponentInfo::getCurrentComponentName(), "MediaPlayer");
    std::string otherThreadName;
    std::thread other([&] { otherThreadName = CZvComponentInfo::getCurrentComponentName(); });
    other.join();
    EXPECT_EQ(otherThreadName, "loom_tests");
    CZvComponentInfo nested("Tuner");
    {
      CZvComponentScope inner(nested);
      EXPECT_EQ(CZvComponentInfo::getCurrentComponentName(), "Tuner");
    }
    EXPECT_EQ(CZvComponentInfo::getCurrentComponentName(), "MediaPlayer");
  }
  EXPECT_EQ(CZvComponentInfo::getCurrentComponentName(), "loom_tests");
}

}  // namespace
