#include "platform/communication/buffer.h"

#include <gtest/gtest.h>

namespace communication {
namespace {

TEST(BufferTest, AppendKeepsTextTerminatedAndCutsAtCapacity) {
  Buffer buffer(8);
  EXPECT_EQ(buffer.append("abc"), 3u);
  EXPECT_EQ(buffer.appendFormat("%d", 12), 2u);
  EXPECT_STREQ(buffer.start(), "abc12");
  EXPECT_EQ(buffer.length(), 5u);
  // Two characters are left before the reserved terminator.
  EXPECT_EQ(buffer.append("xyz"), 2u);
  EXPECT_STREQ(buffer.start(), "abc12xy");
  EXPECT_EQ(buffer.appendFormat("%s", "more"), 0u);
  EXPECT_EQ(buffer.length(), 7u);
}

TEST(BufferTest, AdvanceRefusesToPassTheEnd) {
  Buffer buffer(4);
  EXPECT_TRUE(buffer.advance(3));
  EXPECT_FALSE(buffer.advance(2));
  EXPECT_EQ(buffer.length(), 3u);
  buffer.clear();
  EXPECT_EQ(buffer.length(), 0u);
}

TEST(BufferTest, ReleaseLeavesAnEmptyBufferThatRefusesWrites) {
  Buffer buffer(16);
  buffer.append("text");
  buffer.release();
  EXPECT_EQ(buffer.capacity(), 0u);
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_EQ(buffer.append("x"), 0u);
  EXPECT_EQ(buffer.appendFormat("x"), 0u);
  buffer.release();  // A second release is harmless.
}

}  // namespace
}  // namespace communication
