#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/trace_client/zv_trace_persistence.h"

namespace {

TEST(CZvNullTracePersistenceTest, KeepsNothing) {
  const uint8_t bytes[] = {1, 2};
  CZvByteStream data(bytes, 2);
  EXPECT_TRUE(CZvNullTracePersistence::sInstance.write("x", data));
  EXPECT_FALSE(CZvNullTracePersistence::sInstance.read("x", data));
  EXPECT_TRUE(data.isEmpty());
}

class CZvFileTracePersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zv_persistence_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mDir = pattern;
  }
  void TearDown() override {
    std::remove((mDir + "/app_ZvDebugQRV.ztp").c_str());
    rmdir(mDir.c_str());
  }
  std::string mDir;
};

TEST_F(CZvFileTracePersistenceTest, StoresAndReadsBack) {
  CZvFileTracePersistence store(mDir.c_str());
  CZvByteStream data;
  EXPECT_FALSE(store.read("app_ZvDebugQRV", data));  // nothing stored yet
  const uint8_t bytes[] = {'Q', 'R', 0, 0xFF};
  ASSERT_TRUE(store.write("app_ZvDebugQRV", CZvByteStream(bytes, 4)));
  ASSERT_TRUE(store.read("app_ZvDebugQRV", data));
  EXPECT_EQ(data, CZvByteStream(bytes, 4));
  EXPECT_EQ(data.getReadPosition(), 0u);
}

TEST_F(CZvFileTracePersistenceTest, RefusesNamesThatLeaveTheDirectory) {
  CZvFileTracePersistence store(mDir.c_str());
  const uint8_t bytes[] = {1};
  for (const char* name : {"", "../escape", "a/b", "..", ".hidden", "a\\b"}) {
    EXPECT_FALSE(store.write(name, CZvByteStream(bytes, 1))) << name;
    EXPECT_TRUE(store.pathFor(name).isEmpty()) << name;
  }
}

}  // namespace
