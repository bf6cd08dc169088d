// The trace settings of the environment, read when the first scope is
// defined. The variables are set by a constructor that runs before this
// file's static scope definitions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/basalt/zv_trace.h"

namespace {

std::string tracePath() { return "/tmp/zv_trace_env_test_" + std::to_string(getpid()) + ".log"; }

__attribute__((constructor(101))) void setTraceEnvironment() {
  setenv("ZV_TRACE", "framework_comm_most_*=message, sys_most_*=data", 1);
  setenv("ZV_TRACE_FILE", tracePath().c_str(), 1);
}

CZvTraceScopeDef gClient("framework_comm_most_CZvMOSTClientImpl", "informationConnect");
CZvTraceScopeDef gSpy("sys_most_mss_MOSTSpy", "");
CZvTraceScopeDef gOther("QRV_trace_ZvDebug", "persistence");

TEST(ZvTraceEnvironmentTest, RulesAndFileComeFromTheEnvironment) {
  EXPECT_EQ(gClient.getConfiguredLevel(), ZvTraceLevel::Message);
  EXPECT_EQ(gSpy.getConfiguredLevel(), ZvTraceLevel::Data);
  EXPECT_EQ(gOther.getConfiguredLevel(), ZvTraceLevel::Warning);

  CZvTraceScope(gClient).sendFormattedMessage("connected %d", 3);
  ASSERT_TRUE(ZvTrace::setOutputFile(nullptr));  // closes the file
  std::ifstream in(tracePath());
  std::stringstream content;
  content << in.rdbuf();
  std::remove(tracePath().c_str());
  EXPECT_NE(content.str().find("M framework_comm_most_CZvMOSTClientImpl_informationConnect: connected 3"),
            std::string::npos)
      << content.str();
}

}  // namespace
