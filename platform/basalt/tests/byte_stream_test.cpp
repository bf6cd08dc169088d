#include <gtest/gtest.h>

#include "platform/basalt/zv_buffer.h"
#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_stream.h"

namespace {

TEST(CZvByteStreamTest, ReadsNeverPassTheEnd) {
  const uint8_t bytes[] = {1, 2, 3};
  CZvByteStream stream(bytes, sizeof(bytes));
  uint8_t out[8] = {};
  EXPECT_EQ(stream.read(out, 2), 2u);
  EXPECT_EQ(stream.read(out, 8), 1u);  // short read at the end
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(stream.read(out, 8), 0u);

  stream.rewind();
  uint32_t word = 0;
  EXPECT_FALSE(stream.readU32BE(word));  // too short: position stays
  EXPECT_EQ(stream.getReadPosition(), 0u);
  uint16_t half = 0;
  EXPECT_TRUE(stream.readU16BE(half));
  EXPECT_EQ(half, 0x0102);
  EXPECT_FALSE(stream.readU16BE(half));
  EXPECT_EQ(stream.getRemaining(), 1u);

  stream.setReadPosition(100);
  EXPECT_EQ(stream.getReadPosition(), 3u);
  stream.resize(1);
  EXPECT_EQ(stream.getReadPosition(), 1u);
}

TEST(CZvByteStreamTest, BigEndianHelpersRoundTrip) {
  CZvByteStream stream;
  stream.writeU8(0xAB);
  stream.writeU16BE(0x1234);
  stream.writeU32BE(0xDEADBEEF);
  stream.writeU64BE(0x0102030405060708ull);
  CZvString hex;
  stream.dump(hex);
  EXPECT_EQ(hex, "ab 12 34 de ad be ef 01 02 03 04 05 06 07 08");
  uint8_t a;
  uint16_t b;
  uint32_t c;
  uint64_t d;
  ASSERT_TRUE(stream.readU8(a) && stream.readU16BE(b) && stream.readU32BE(c) && stream.readU64BE(d));
  EXPECT_EQ(a, 0xAB);
  EXPECT_EQ(b, 0x1234);
  EXPECT_EQ(c, 0xDEADBEEFu);
  EXPECT_EQ(d, 0x0102030405060708ull);
}

TEST(CZvByteStreamTest, EqualityIgnoresReadPositionAndFlushEmpties) {
  const uint8_t bytes[] = {9, 8};
  CZvByteStream a(bytes, 2);
  CZvByteStream b(CZvBuffer(bytes, 2));
  uint8_t skip;
  a.readU8(skip);
  EXPECT_EQ(a, b);
  a.flush();
  EXPECT_EQ(a.getSize(), 0u);
  EXPECT_EQ(a.getReadPosition(), 0u);
  EXPECT_EQ(CZvByteStream(4).getSize(), 4u);
}

TEST(CZvByteStreamTest, AppendingFromItselfIsSafe) {
  const uint8_t bytes[] = {1, 2, 3, 4};
  CZvByteStream stream(bytes, 4);
  for (int i = 0; i < 6; ++i) stream.write(stream.getData(), stream.getSize());
  EXPECT_EQ(stream.getSize(), 256u);
  EXPECT_EQ(stream.getData()[255], 4);
}

TEST(CZvByteStreamTest, ReadFromIStreamStopsAtTheSourceEnd) {
  const uint8_t bytes[] = {1, 2, 3};
  CZvByteStream source(bytes, 3);
  CZvByteStream target;
  EXPECT_EQ(target.readFromIStream(source, 10), 3u);
  EXPECT_EQ(target, source);
}

TEST(CZvByteStreamTest, OwnStreamFormRoundTripsAndRejectsTruncation) {
  const uint8_t bytes[] = {5, 6, 7};
  CZvByteStream payload(bytes, 3);
  CZvByteStream wire;
  ASSERT_TRUE(payload.writeToStream(wire));
  EXPECT_EQ(wire.getSize(), 7u);
  CZvByteStream back;
  ASSERT_TRUE(back.readFromStream(wire));
  EXPECT_EQ(back, payload);

  const uint8_t lying[] = {0x00, 0x00, 0x00, 0xF0, 1, 2};  // claims 4 GB
  CZvByteStream bad(lying, sizeof(lying));
  EXPECT_FALSE(back.readFromStream(bad));
  EXPECT_TRUE(back.isEmpty());
}

TEST(CZvBufferTest, CopyToGrowsAndRejectsOverflow) {
  CZvBuffer buffer;
  const uint8_t bytes[] = {1, 2};
  ASSERT_TRUE(buffer.copyTo(bytes, 2, 3));
  EXPECT_EQ(buffer.getSize(), 5u);
  EXPECT_EQ(buffer.getData()[0], 0);
  EXPECT_EQ(buffer.getData()[4], 2);
  EXPECT_TRUE(buffer.copyTo(bytes, 1, 0));
  EXPECT_EQ(buffer.getSize(), 5u);
  EXPECT_FALSE(buffer.copyTo(bytes, 2, 0xFFFFFFFFu));  // offset + n wraps in 32 bits
  EXPECT_FALSE(buffer.copyTo(nullptr, 2, 0));
  EXPECT_EQ(buffer.getSize(), 5u);
}

TEST(CZvOTextStreamTest, FormatsNumbersWithWidthAndBase) {
  CZvOTextStream text;
  text << "n=" << int32_t(-5) << ' ';
  text.setWidth(10);
  text << uint32_t(42) << ' ' << uint32_t(7);  // width applies to one number only
  text.setBase(16);
  text << ' ' << uint32_t(255) << ' ' << CZvString("end") << ' ' << true;
  EXPECT_EQ(text.getText(), "n=-5         42 7 ff end true");

  CZvByteStream sink;
  CZvOTextStream toSink(&sink);
  toSink << "ab";
  toSink.streamWrite("\0c", 2);
  EXPECT_EQ(sink.getSize(), 4u);
  EXPECT_TRUE(toSink.getText().isEmpty());
}

}  // namespace
