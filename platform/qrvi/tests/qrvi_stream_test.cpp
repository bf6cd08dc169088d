#include "platform/qrvi/qrvi_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

TEST(QRVOStream, AlignsSixteenAndThirtyTwoBitValuesFromBlockStart) {
  CZvQRVOStream s;
  s.writeU8(0xAA);
  s.writeU16(0x1122);  // one pad byte before
  s.writeU8(0xBB);
  s.writeU32(0x33445566);  // three pad bytes before
  s.writeU8(0xCC);
  s.writeI32(-1);
  EXPECT_EQ(s.bytes(), bytesOf({0xAA, 0, 0x22, 0x11, 0xBB, 0, 0, 0, 0x66, 0x55, 0x44, 0x33, 0xCC, 0,
                                0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(QRVOStream, StringsAndBuffers) {
  struct Case {
    const char* text;
    std::vector<uint8_t> expected;
  } cases[] = {
      {"", bytesOf({0, 0, 0, 0})},
      {"ab", bytesOf({3, 0, 0, 0, 'a', 'b', 0})},
  };
  for (const Case& c : cases) {
    CZvQRVOStream s;
    s.writeString(c.text, static_cast<uint32_t>(strlen(c.text)));
    EXPECT_EQ(s.bytes(), c.expected) << c.text;
  }
  CZvQRVOStream s;
  const uint8_t raw[] = {9, 8};
  s.writeU8(1);
  s.writeBuffer(raw, 2);
  EXPECT_EQ(s.bytes(), bytesOf({1, 0, 0, 0, 2, 0, 0, 0, 9, 8}));
}

TEST(QRVIStream, ReadsBackWhatWasWritten) {
  CZvQRVOStream out;
  out.writeU8(7);
  out.writeU16(0xBEEF);
  out.writeString("hello", 5);
  out.writeU32(42);
  CZvQRVIStream in(out.data(), out.size());
  uint8_t a = 0;
  uint16_t b = 0;
  const char* text = nullptr;
  uint32_t length = 0;
  uint32_t c = 0;
  ASSERT_TRUE(in.readU8(a) && in.readU16(b) && in.readString(text, length) && in.readU32(c));
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 0xBEEF);
  EXPECT_EQ(std::string(text, length), "hello");
  EXPECT_EQ(c, 42u);
  EXPECT_TRUE(in.atEnd());
}

TEST(QRVIStream, RejectsMalformedInputWithoutReadingPastTheEnd) {
  // Each block is truncated or inconsistent at the last value read.
  struct Case {
    const char* what;
    std::vector<uint8_t> block;
  } cases[] = {
      {"string longer than block", bytesOf({9, 0, 0, 0, 'a', 0})},
      {"string without terminator", bytesOf({2, 0, 0, 0, 'a', 'b'})},
      {"buffer longer than block", bytesOf({5, 0, 0, 0, 1, 2})},
      {"count larger than bytes left", bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 1, 2})},
      {"truncated u32", bytesOf({1, 2, 3})},
  };
  for (const Case& c : cases) {
    // A copy on the heap of exactly the block's size lets ASan see any overrun.
    std::vector<uint8_t> copy(c.block);
    CZvQRVIStream in(copy.data(), static_cast<uint32_t>(copy.size()));
    const char* text = nullptr;
    const uint8_t* bytes = nullptr;
    uint32_t n = 0;
    bool ok;
    if (std::string(c.what).find("string") == 0) {
      ok = in.readString(text, n);
    } else if (std::string(c.what).find("buffer") == 0) {
      ok = in.readBuffer(bytes, n);
    } else if (std::string(c.what).find("count") == 0) {
      ok = in.readCount(n, 2);
    } else {
      ok = in.readU32(n);
    }
    EXPECT_FALSE(ok) << c.what;
    EXPECT_FALSE(in.ok()) << c.what;
    uint8_t after = 0;
    EXPECT_FALSE(in.readU8(after)) << c.what << ": the stream stays bad";
  }
}

TEST(QRVIStream, PaddingThatRunsPastTheEndFails) {
  const uint8_t block[] = {1, 2};
  CZvQRVIStream in(block, 2);
  uint8_t a = 0;
  uint32_t b = 0;
  ASSERT_TRUE(in.readU8(a));
  EXPECT_FALSE(in.readU32(b));
}

}  // namespace
