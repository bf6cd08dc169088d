#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/basalt/zv_trace.h"
#include "platform/trace_client/trace_client.h"

namespace {

int32_t echoJoin(int32_t handle);

CZvTraceCallbackDef gEchoDef(echoJoin, "Test_echoJoin", "joins its two arguments");
CZvTraceCallbackParam gFirst(gEchoDef, "first", ZvTraceType::TEXT);
CZvTraceCallbackParam gSecond(gEchoDef, "second", ZvTraceType::TEXT);
CZvTraceCallbackRetVal gResult(gEchoDef, "result", ZvTraceType::TEXT);

int32_t echoJoin(int32_t handle) {
  CZvString joined = gFirst.getString(handle);
  joined.append('+');
  joined.append(gSecond.getString(handle));
  gResult.returnString(handle, joined.c_str());
  gEchoDef.returnString(handle, "second answer");
  return handle;
}

CZvTraceScopeDef gScope("test_trace_client", "scope");

TEST(ZvTraceCommandsTest, CallsByNameWithArguments) {
  bool found = false;
  EXPECT_EQ(ZvTraceCommands::call("Test_echoJoin", {"a", "b"}, &found),
            (std::vector<CZvString>{"a+b", "second answer"}));
  EXPECT_TRUE(found);
  // Missing arguments read as empty texts.
  EXPECT_EQ(ZvTraceCommands::call("Test_echoJoin", {"only"}).front(), "only+");
  EXPECT_TRUE(ZvTraceCommands::call("Test_nothing", {}, &found).empty());
  EXPECT_FALSE(found);
  EXPECT_EQ(ZvTraceCommands::describe("Test_echoJoin"),
            "Test_echoJoin(first, second): joins its two arguments");
  // Outside a call the handle means nothing.
  EXPECT_EQ(ZvTraceCommands::getString(12345, 0), "");
}

TEST(ZvTraceCommandsTest, LevelCommandSwitchesScopes) {
  EXPECT_EQ(ZvTraceCommands::call("ZvTrace_setLevels", {"test_trace_*=data"}),
            (std::vector<CZvString>{"Levels set"}));
  EXPECT_EQ(gScope.getConfiguredLevel(), ZvTraceLevel::Data);
  EXPECT_EQ(ZvTraceCommands::call("ZvTrace_setLevels", {"test_trace_*=bogus"}).front(), "Invalid rules");
  EXPECT_EQ(ZvTraceCommands::call("ZvTrace_listScopes", {"test_trace_*"}),
            (std::vector<CZvString>{"test_trace_client_scope data"}));
  EXPECT_EQ(ZvTraceCommands::call("ZvTrace_setLevels", {""}).front(), "Levels reset");
  EXPECT_EQ(gScope.getConfiguredLevel(), ZvTraceLevel::Warning);
}

TEST(ZvTraceServerTest, ServesCommandsOnALocalSocket) {
  const std::string path = "/tmp/zv_trace_server_test_" + std::to_string(getpid());
  ASSERT_TRUE(ZvTraceServer::start(path.c_str()));
  EXPECT_FALSE(ZvTraceServer::start(path.c_str()));  // already serving
  std::vector<CZvString> answer;
  ASSERT_TRUE(ZvTraceServer::request(path.c_str(), {"call", "Test_echoJoin", "x\ty", "z"}, answer));
  EXPECT_EQ(answer,
            (std::vector<CZvString>{"ok", "x y+z", "second answer"}));  // tab inside an argument flattened
  ASSERT_TRUE(ZvTraceServer::request(path.c_str(), {"call", "Nope"}, answer));
  EXPECT_EQ(answer, (std::vector<CZvString>{"unknown command"}));
  ASSERT_TRUE(ZvTraceServer::request(path.c_str(), {"list"}, answer));
  EXPECT_NE(std::find(answer.begin(), answer.end(),
                      CZvString("Test_echoJoin(first, second): joins its two arguments")),
            answer.end());
  ZvTraceServer::stop();
  EXPECT_FALSE(ZvTraceServer::request(path.c_str(), {"list"}, answer));
}

TEST(CZvTraceHelperTest, SingletonKnowsItsProcessName) {
  EXPECT_EQ(CZvTraceHelper::spThis, nullptr);
  {
    CZvTraceHelper helper("navi");
    ASSERT_EQ(CZvTraceHelper::spThis, &helper);
    EXPECT_EQ(CZvTraceHelper::spThis->getProcessName(), "navi");
  }
  EXPECT_EQ(CZvTraceHelper::spThis, nullptr);
}

}  // namespace
