// Booleans, bool fields and bit fields.
#include <gtest/gtest.h>

#include "fbkit/params/para_bit_field.h"
#include "fbkit/params/para_bool.h"
#include "fbkit/params/para_bool_field.h"
#include "fbkit/params/tests/param_test_util.h"
#include "platform/basalt/zv_assert.h"
#include "platform/basalt/zv_trace.h"

namespace {

constexpr uint8_t kNone = CZvParameterBase::OPTYPE_NONE;
constexpr uint8_t kSet = 0;
constexpr uint8_t kStatus = CZvParameterBase::OPTYPE_STATUS;

TEST(ParaBool, ValidatesAndReadsIncomingBytes) {
  struct Case {
    Bytes payload;
    bool valid;
    int32_t error;
    bool readOk;
    bool value;
  };
  const Case cases[] = {
      {{0x00}, true, 0, true, false},
      {{0x01}, true, 0, true, true},
      // Only 1 reads as true; validation refuses everything above 1.
      {{0x02}, false, 6, true, false},
      {{0xFF}, false, 6, true, false},
      {{}, false, 0xA004, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.payload));
    CZvParaBool flag(true);
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, flag.validateStream(&stream));
    EXPECT_EQ(c.error, flag.getError());
    stream.rewind();
    EXPECT_EQ(c.readOk, flag.readFromStream(&stream, false, kNone));
    EXPECT_EQ(c.value, flag.getValueBool());
  }
}

TEST(ParaBool, RoundTripAndErrors) {
  CZvParaBool sender;
  EXPECT_FALSE(sender.canBeSend());
  ASSERT_TRUE(sender.setValueBool(true));
  EXPECT_TRUE(sender.canBeSend());
  CZvByteStream stream;
  ASSERT_TRUE(sender.writeToStream(&stream, kNone));
  EXPECT_EQ(Bytes{0x01}, contents(stream));

  CZvParaBool receiver;
  ASSERT_TRUE(receiver.readFromStream(&stream, false, kNone));
  EXPECT_TRUE(receiver.getValueBool());
  EXPECT_TRUE(receiver.getCacheValueBool());

  CZvTraceCapture capture("framework_comm_most_CZvParaBool*");
  EXPECT_FALSE(receiver.readFromStream(&stream, false, kNone));  // consumed
  EXPECT_EQ(0xA004, receiver.getError());
  EXPECT_TRUE(capture.contains("error reading bool value"));
  EXPECT_FALSE(receiver.validateStream(nullptr));
  EXPECT_EQ(0xA003, receiver.getError());
  EXPECT_FALSE(receiver.clearError());
  receiver.setError(6);
  EXPECT_TRUE(receiver.clearError());
}

TEST(ParaBoolField, SizesPositionsAndEncoding) {
  CZvParaBoolField field(12);
  EXPECT_EQ(2u, field.getMOSTSize());
  EXPECT_FALSE(field.setValueBool(true, 12));
  EXPECT_EQ(6, field.getError());
  ASSERT_TRUE(field.setValueBool(true, 0));
  ASSERT_TRUE(field.setValueBool(true, 11));
  EXPECT_EQ(0, field.getError());
  CZvByteStream stream;
  ASSERT_TRUE(field.writeToStream(&stream, kNone));
  EXPECT_EQ((Bytes{0x08, 0x01}), contents(stream));
  EXPECT_TRUE(field.getCacheValueBool(11));
  EXPECT_FALSE(field.getCacheValueBool(12));
}

TEST(ParaBoolField, ValidatesAndReadsIncomingPayloads) {
  struct Case {
    uint32_t bitCount;
    Bytes payload;
    bool valid;
    int32_t error;
    bool readOk;
    uint64_t value;
  };
  const Case cases[] = {
      {12, {0x0F, 0xFF}, true, 0, true, 0x0FFF},
      // A position beyond the field's width.
      {12, {0x10, 0x00}, false, 0, true, 0x1000},
      {12, {0x0F}, false, 0xA004, false, 0},
      {1, {0x01}, true, 0, true, 1},
      {1, {0x02}, false, 0, true, 2},
      // 64 positions take any value.
      {64, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, true, 0, true, UINT64_MAX},
      {64, {0x80, 0, 0, 0, 0, 0, 0, 0x01}, true, 0, true, 0x8000000000000001ULL},
      {33, {0x01, 0x80, 0, 0, 0}, true, 0, true, 0x180000000ULL},
      {33, {0x02, 0, 0, 0, 0}, false, 0, true, 0x200000000ULL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bitCount << " " << testing::PrintToString(c.payload));
    CZvParaBoolField field(c.bitCount);
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, field.validateStream(&stream));
    EXPECT_EQ(c.error, field.getError());
    stream.rewind();
    EXPECT_EQ(c.readOk, field.readFromStream(&stream, false, kNone));
    EXPECT_EQ(c.value, field.extractBoolField().value);
  }
}

TEST(ParaBoolField, HighPositionsOfA64PositionField) {
  CZvParaBoolField sender(64);
  ASSERT_TRUE(sender.setValueBool(true, 32));
  ASSERT_TRUE(sender.setValueBool(true, 63));
  CZvByteStream stream;
  ASSERT_TRUE(sender.writeToStream(&stream, kNone));
  EXPECT_EQ((Bytes{0x80, 0, 0, 0x01, 0, 0, 0, 0}), contents(stream));

  CZvParaBoolField receiver(64);
  ASSERT_TRUE(receiver.validateStream(&stream));
  stream.rewind();
  ASSERT_TRUE(receiver.readFromStream(&stream, false, kNone));
  EXPECT_TRUE(receiver.getValueBool(32));
  EXPECT_TRUE(receiver.getValueBool(63));
  EXPECT_FALSE(receiver.getValueBool(31));
  EXPECT_FALSE(receiver.getValueBool(64));
}

TEST(ParaBoolField, StaleStreamErrorIsNotReportedForALaterPayload) {
  CZvParaBoolField field(4);
  CZvByteStream empty;
  EXPECT_FALSE(field.validateStream(&empty));
  EXPECT_EQ(0xA004, field.getError());
  CZvByteStream wide = payload({0x10});
  EXPECT_FALSE(field.validateStream(&wide));
  // 0xA004 would tell an array that its data ended here.
  EXPECT_EQ(0, field.getError());
}

TEST(ParaBitField, EncodesStandardAndCompactLayouts) {
  struct Case {
    uint32_t bitCount;
    bool compact;
    uint8_t opType;
    Bytes expected;
  };
  // Every field sets bit 0 to 0 and bit 2 to 1 (mask 0x05, data 0x04).
  const Case cases[] = {
      {6, false, kSet, {0x05, 0x04}},
      {6, false, kStatus, {0x00, 0x04}},
      {3, true, kSet, {0x54}},
      {8, true, kSet, {0x05, 0x04}},
      {12, true, kSet, {0x00, 0x05, 0x00, 0x04}},
      {12, false, kSet, {0x00, 0x05, 0x00, 0x04}},
      {20, false, kSet, {0x00, 0x00, 0x05, 0x00, 0x00, 0x04}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bitCount << (c.compact ? " compact" : ""));
    CZvParaBitField field(c.bitCount, c.compact);
    ASSERT_TRUE(field.setValueBit(false, 0));
    ASSERT_TRUE(field.setValueBit(true, 2));
    CZvByteStream stream;
    ASSERT_TRUE(field.writeToStream(&stream, c.opType));
    EXPECT_EQ(c.expected, contents(stream));
    EXPECT_EQ(c.expected.size(), field.getMOSTSize());
  }

  CZvParaBitField three(3, true);
  ASSERT_TRUE(three.setValueBit(false, 0));
  ASSERT_TRUE(three.setValueBit(true, 1));
  ASSERT_TRUE(three.setValueBit(false, 2));
  CZvByteStream stream;
  ASSERT_TRUE(three.writeToStream(&stream, kSet));
  EXPECT_EQ(Bytes{0x72}, contents(stream));
}

TEST(ParaBitField, CompactFieldsAbove16BitsCannotBeEncoded) {
  CZvParaBitField field(17, true);
  EXPECT_EQ(0u, field.getMOSTSize());
  ASSERT_TRUE(field.setValueBit(true, 16));
  CZvByteStream stream;
  EXPECT_FALSE(field.writeToStream(&stream, kSet));
  EXPECT_EQ(5, field.getError());
  EXPECT_FALSE(field.validateStream(&stream));
}

TEST(ParaBitField, ValidatesIncomingData) {
  struct Case {
    uint32_t bitCount;
    bool compact;
    Bytes payload;
    bool valid;
    int32_t error;
  };
  const Case cases[] = {
      {6, false, {0xFF, 0x3F}, true, 0},
      // Bit 6 of a 6-bit field: exactly 2 to the power of 6.
      {6, false, {0xFF, 0x40}, false, 0},
      {3, true, {0xF7}, true, 0},
      {3, true, {0xF8}, false, 0},
      {3, false, {0x07, 0xF0}, false, 0},
      {16, true, {0xFF, 0xFF, 0xFF, 0xFF}, true, 0},
      {32, false, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, true, 0},
      {64, false, Bytes(16, 0xFF), true, 0},
      {6, false, {0x05}, false, 0xA004},
      {12, true, {0x00, 0x05, 0x00}, false, 0xA004},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bitCount << " " << testing::PrintToString(c.payload));
    CZvParaBitField field(c.bitCount, c.compact);
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, field.validateStream(&stream));
    EXPECT_EQ(c.error, field.getError());
    if (c.valid) {
      EXPECT_EQ(0u, stream.getRemaining());
    }
  }
}

TEST(ParaBitField, CommandsChangeOnlyMaskedBitsStatusReplacesAll) {
  CZvParaBitField field(6);
  CZvByteStream status = payload({0x00, 0x06});
  ASSERT_TRUE(field.readFromStream(&status, false, kStatus));
  EXPECT_EQ(0x06u, field.extractBitField().data);

  CZvByteStream set = payload({0x01, 0x01});
  ASSERT_TRUE(field.readFromStream(&set, false, kSet));
  SZvBitFieldValue value = field.extractBitField();
  EXPECT_EQ(0x07u, value.data);
  EXPECT_EQ(0x01u << 16, value.mask);  // small fields report the stored word

  status = payload({0x3F, 0x20});
  ASSERT_TRUE(field.readFromStream(&status, false, kStatus));
  EXPECT_EQ(0x20u, field.extractBitField().data);
  EXPECT_TRUE(field.getValueBit(5));
  EXPECT_FALSE(field.getValueBit(1));
}

TEST(ParaBitField, CacheFollowsReadsUnderTheConfiguredRule) {
  CZvParaBitField field(8);
  ASSERT_TRUE(field.setValueBit(true, 7));
  {
    ScopedSeparateCache separate;
    CZvByteStream set = payload({0x01, 0x01});
    ASSERT_TRUE(field.readFromStream(&set, false, kSet));
    EXPECT_TRUE(field.getValueBit(0));
    EXPECT_FALSE(field.getCacheValueBit(0));
    // A Status always replaces the value for sending too.
    CZvByteStream status = payload({0x00, 0x02});
    ASSERT_TRUE(field.readFromStream(&status, false, kStatus));
    EXPECT_TRUE(field.getCacheValueBit(1));
    EXPECT_FALSE(field.getCacheValueBit(7));
  }
  CZvByteStream set = payload({0x80, 0x80});
  ASSERT_TRUE(field.readFromStream(&set, false, kSet));
  EXPECT_TRUE(field.getCacheValueBit(7));
  EXPECT_TRUE(field.getCacheValueBit(1));
  CZvByteStream out;
  ASSERT_TRUE(field.writeToStream(&out, kSet));
  EXPECT_EQ((Bytes{0x80, 0x82}), contents(out));
}

TEST(ParaBitField, HighBitsOfA64BitField) {
  CZvParaBitField sender(64);
  ASSERT_TRUE(sender.setValueBit(true, 32));
  ASSERT_TRUE(sender.setValueBit(true, 63));
  CZvByteStream stream;
  ASSERT_TRUE(sender.writeToStream(&stream, kSet));
  const Bytes word = {0x80, 0, 0, 0x01, 0, 0, 0, 0};
  Bytes expected = word;
  expected.insert(expected.end(), word.begin(), word.end());
  EXPECT_EQ(expected, contents(stream));

  CZvParaBitField receiver(64);
  ASSERT_TRUE(receiver.validateStream(&stream));
  stream.rewind();
  ASSERT_TRUE(receiver.readFromStream(&stream, false, kSet));
  EXPECT_TRUE(receiver.getValueBit(32));
  EXPECT_TRUE(receiver.getValueBit(63));
  EXPECT_EQ(0x8000000100000000ULL, receiver.extractBitField().mask);
}

TEST(ParaBitField, ReadErrorsAndPositionChecks) {
  CZvParaBitField field(6);
  field.setError(0xA001);
  CZvByteStream shortPayload = payload({0x01});
  EXPECT_FALSE(field.readFromStream(&shortPayload, false, kSet));
  EXPECT_EQ(5, field.getError());
  field.setError(0xA001);
  CZvByteStream good = payload({0x01, 0x01});
  EXPECT_TRUE(field.readFromStream(&good, false, kSet));
  EXPECT_EQ(0, field.getError());

  CZvTraceCapture capture("framework_comm_most_CZvParaBitField*");
  EXPECT_FALSE(field.setValueBit(true, 6));
  EXPECT_TRUE(capture.contains("bitfield pos out of range"));
  EXPECT_FALSE(field.getValueBit(6));
}

TEST(ParaFields, OversizedFieldsAssertAndHaveNoPositions) {
  ZvAssertStats::reset();
  CZvParaBoolField bools(65);
  CZvParaBitField bits(65);
  EXPECT_EQ(2u, ZvAssertStats::cheapAsserts());
  EXPECT_EQ(0u, bools.getMOSTSize());
  EXPECT_EQ(0u, bits.getMOSTSize());
  EXPECT_FALSE(bools.setValueBool(true, 0));
  EXPECT_FALSE(bits.setValueBit(true, 0));
}

}  // namespace
