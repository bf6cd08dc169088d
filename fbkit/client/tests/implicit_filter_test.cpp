#include <gtest/gtest.h>

#include <thread>

#include "fbkit/client/implicit_filter.h"

namespace {

class ImplicitFilterTest : public ::testing::Test {
 protected:
  void SetUp() override { CZvMOSTImplicitFilter::clearAll(); }
  void TearDown() override { CZvMOSTImplicitFilter::clearAll(); }
};

TEST_F(ImplicitFilterTest, ATripleIsListedOnceAndClearedWithItsFBlock) {
  CZvMOSTImplicitFilter::disableImplicitNotification(0x2201, 0x100, 0x0101);
  CZvMOSTImplicitFilter::disableImplicitNotification(0x2201, 0x100, 0x0101);
  CZvMOSTImplicitFilter::disableImplicitNotification(0x3101, 0x100, 0x0101);
  EXPECT_EQ(CZvMOSTImplicitFilter::size(), 2u);
  EXPECT_TRUE(CZvMOSTImplicitFilter::isDisabled(0x2201, 0x100, 0x0101));

  CZvMOSTImplicitFilter::clear(0x2201);
  EXPECT_FALSE(CZvMOSTImplicitFilter::isDisabled(0x2201, 0x100, 0x0101));
  EXPECT_TRUE(CZvMOSTImplicitFilter::isDisabled(0x3101, 0x100, 0x0101));
}

TEST_F(ImplicitFilterTest, OnlyTheExactTripleIsDisabled) {
  CZvMOSTImplicitFilter::disableImplicitNotification(0x2201, 0x100, 0x0101);
  EXPECT_FALSE(CZvMOSTImplicitFilter::isDisabled(0x2201, 0x100, 0x0102));  // other device
  EXPECT_FALSE(CZvMOSTImplicitFilter::isDisabled(0x2201, 0x101, 0x0101));  // other function
  EXPECT_FALSE(CZvMOSTImplicitFilter::isDisabled(0x2202, 0x100, 0x0101));  // other instance
}

}  // namespace

namespace {

// FBlocks of several client threads consult the one list at the same time.
TEST(ImplicitFilterThreadTest, ThreadsShareTheListSafely) {
  CZvMOSTImplicitFilter::clearAll();
  auto worker = [](uint16_t fblockKey) {
    for (uint16_t fkt = 0; fkt < 200; ++fkt) {
      CZvMOSTImplicitFilter::disableImplicitNotification(fblockKey, fkt, 0x0101);
      EXPECT_TRUE(CZvMOSTImplicitFilter::isDisabled(fblockKey, fkt, 0x0101));
    }
    CZvMOSTImplicitFilter::clear(fblockKey);
  };
  std::thread a(worker, 0x2201);
  std::thread b(worker, 0x3101);
  a.join();
  b.join();
  EXPECT_EQ(CZvMOSTImplicitFilter::size(), 0u);
}

}  // namespace
