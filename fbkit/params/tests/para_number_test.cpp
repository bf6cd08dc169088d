#include "fbkit/params/para_number.h"

#include <functional>

#include <gtest/gtest.h>

#include "fbkit/params/tests/param_test_util.h"
#include "platform/basalt/zv_trace.h"

namespace {

// The received value whatever the number's type.
int64_t received(const CZvParaNumber& n) {
  switch (n.getType()) {
    case CZvParaNumber::INT8: return n.getValueINT8();
    case CZvParaNumber::UINT16: return n.getValueUINT16();
    case CZvParaNumber::INT16: return n.getValueINT16();
    case CZvParaNumber::UINT32: return n.getValueUINT32();
    case CZvParaNumber::INT32: return n.getValueINT32();
    default: return n.getValueUINT8();
  }
}

struct IncomingCase {
  const char* name;
  std::function<CZvParaNumber()> make;
  Bytes payload;
  bool valid;
  int32_t error;  // after validation
  bool readOk;
  int64_t value;  // received value after the read
};

TEST(ParaNumber, ValidatesAndReadsIncomingPayloads) {
  const IncomingCase cases[] = {
      {"uint8", [] { return CZvParaNumber(uint8_t{0}); }, {0x2A}, true, 0, true, 42},
      {"uint8 1..255 refuses 0",
       [] { return CZvParaNumber(uint8_t{1}, &sParaNumberInfoUInt8_1_to_255); }, {0x00}, false, 6,
       false, 0},
      {"int8 minimum", [] { return CZvParaNumber(int8_t{0}); }, {0x80}, true, 0, true, -128},
      {"uint16", [] { return CZvParaNumber(uint16_t{0}); }, {0x12, 0x34}, true, 0, true, 0x1234},
      {"int16 negative", [] { return CZvParaNumber(int16_t{0}); }, {0xFF, 0x38}, true, 0, true,
       -200},
      {"int16 -100..100 refuses -200",
       [] { return CZvParaNumber(int16_t{0}, int16_t{-100}, int16_t{100}); }, {0xFF, 0x38}, false,
       6, false, -200},
      {"uint16 0..4095 top", [] { return CZvParaNumber(uint16_t{0}, &sParaNumberInfoUInt16_0_to_4095); },
       {0x0F, 0xFF}, true, 0, true, 4095},
      {"uint16 0..4095 one above",
       [] { return CZvParaNumber(uint16_t{0}, &sParaNumberInfoUInt16_0_to_4095); }, {0x10, 0x00},
       false, 6, false, 4096},
      {"uint32 maximum", [] { return CZvParaNumber(uint32_t{0}); }, {0xFF, 0xFF, 0xFF, 0xFF}, true,
       0, true, 4294967295LL},
      {"int32 minimum", [] { return CZvParaNumber(int32_t{0}); }, {0x80, 0, 0, 0}, true, 0, true,
       INT32_MIN},
      {"payload ends inside uint16", [] { return CZvParaNumber(uint16_t{7}); }, {0x12}, false,
       0xA004, false, 7},
      {"empty payload for uint32", [] { return CZvParaNumber(uint32_t{7}); }, {}, false, 0xA004,
       false, 7},
  };
  for (const IncomingCase& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaNumber number = c.make();
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, number.validateStream(&stream));
    EXPECT_EQ(c.error, number.getError());
    if (c.valid) {
      EXPECT_EQ(0u, stream.getRemaining());
    }
    stream.rewind();
    EXPECT_EQ(c.readOk, number.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
    EXPECT_EQ(c.value, received(number));
    // A read that found all its bytes marks the value as received.
    const bool complete = c.error != 0xA004;
    EXPECT_EQ(complete, number.hasFlag(CZvParameterBase::FLAG_UP_TO_DATE |
                                       CZvParameterBase::FLAG_INITIALIZED));
  }
}

TEST(ParaNumber, IncomingOutOfRangeIsTraced) {
  CZvTraceCapture capture("framework_comm_most_CZvParaNumber*");
  CZvParaNumber number(uint8_t{1}, &sParaNumberInfoUInt8_1_to_255);
  CZvByteStream stream = payload({0x00});
  EXPECT_FALSE(number.validateStream(&stream));
  EXPECT_TRUE(capture.contains("incoming number out of range, min: 1, max : 255, value: 0"));
  EXPECT_TRUE(capture.contains("error validating number"));
}

TEST(ParaNumber, ConstructionOutOfRangeZeroesBothValues) {
  CZvTraceCapture capture("framework_comm_most_CZvParaNumber*");
  CZvParaNumber number(uint16_t{300}, uint16_t{1}, uint16_t{255});
  EXPECT_EQ(6, number.getError());
  EXPECT_EQ(0, number.getValueUINT16());
  EXPECT_EQ(0, number.getCacheValueUINT16());
  EXPECT_TRUE(capture.contains("number out of range, min: 1, max: 255, value: 300"));
}

TEST(ParaNumber, WrongTypeSetIsRememberedUntilAGoodSet) {
  CZvParaNumber number(uint8_t{3});
  EXPECT_FALSE(number.setValueUINT16(3));
  EXPECT_EQ(0xA002, number.getError());
  EXPECT_EQ(0, number.getValueUINT16());  // wrong-type getters answer 0
  EXPECT_TRUE(number.setValueUINT8(4));
  EXPECT_EQ(0, number.getError());
  EXPECT_EQ(4, number.getCacheValueUINT8());
}

TEST(ParaNumber, SetOutsideRangeChangesNothing) {
  CZvTraceCapture capture("framework_comm_most_CZvParaNumber*");
  CZvParaNumber number(uint8_t{1}, &sParaNumberInfoUInt8_1_to_255);
  ASSERT_TRUE(number.setValueUINT8(9));
  EXPECT_FALSE(number.setValueUINT8(0));
  EXPECT_EQ(9, number.getCacheValueUINT8());
  EXPECT_TRUE(capture.contains("number out of range, min: 1, max: 255, value 0"));
}

TEST(ParaNumber, SetFlagsFollowTheValueForSending) {
  CZvParaNumber number(uint16_t{5});
  CZvByteStream stream = payload({0, 1});
  ASSERT_TRUE(number.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
  EXPECT_TRUE(number.hasFlag(CZvParameterBase::FLAG_UP_TO_DATE));
  EXPECT_FALSE(number.canBeSend());

  ASSERT_TRUE(number.setValueUINT16(1));  // first set counts as a change
  EXPECT_FALSE(number.hasFlag(CZvParameterBase::FLAG_UP_TO_DATE));
  EXPECT_TRUE(number.hasFlag(CZvParameterBase::FLAG_CACHE_INITIALIZED |
                             CZvParameterBase::FLAG_CACHE_CHANGED));
  ASSERT_TRUE(number.setValueUINT16(1));
  EXPECT_FALSE(number.hasFlag(CZvParameterBase::FLAG_CACHE_CHANGED));
  ASSERT_TRUE(number.setValueUINT16(2));
  EXPECT_TRUE(number.hasFlag(CZvParameterBase::FLAG_CACHE_CHANGED));
  EXPECT_TRUE(number.canBeSend());
}

TEST(ParaNumber, RoundTripsEveryTypeBigEndian) {
  struct Case {
    CZvParaNumber::EType type;
    int64_t value;
    Bytes bytes;
  };
  const Case cases[] = {
      {CZvParaNumber::UINT8, 0xAB, {0xAB}},
      {CZvParaNumber::INT8, -2, {0xFE}},
      {CZvParaNumber::UINT16, 0xBEEF, {0xBE, 0xEF}},
      {CZvParaNumber::INT16, -200, {0xFF, 0x38}},
      {CZvParaNumber::UINT32, 0xDEADBEEF, {0xDE, 0xAD, 0xBE, 0xEF}},
      {CZvParaNumber::INT32, -2, {0xFF, 0xFF, 0xFF, 0xFE}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    CZvParaNumber sender(c.type);
    switch (c.type) {
      case CZvParaNumber::UINT8: ASSERT_TRUE(sender.setValueUINT8(c.value)); break;
      case CZvParaNumber::INT8: ASSERT_TRUE(sender.setValueINT8(c.value)); break;
      case CZvParaNumber::UINT16: ASSERT_TRUE(sender.setValueUINT16(c.value)); break;
      case CZvParaNumber::INT16: ASSERT_TRUE(sender.setValueINT16(c.value)); break;
      case CZvParaNumber::UINT32: ASSERT_TRUE(sender.setValueUINT32(c.value)); break;
      default: ASSERT_TRUE(sender.setValueINT32(c.value)); break;
    }
    CZvByteStream stream;
    ASSERT_TRUE(sender.writeToStream(&stream, CZvParameterBase::OPTYPE_NONE));
    EXPECT_EQ(c.bytes, contents(stream));
    EXPECT_EQ(c.bytes.size(), sender.getMOSTSize());

    CZvParaNumber receiver(c.type);
    ASSERT_TRUE(receiver.validateStream(&stream));
    stream.rewind();
    ASSERT_TRUE(receiver.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
    EXPECT_EQ(c.value, received(receiver));
  }
}

TEST(ParaNumber, ReadUpdatesCacheOnlyUnderTheConfiguredRule) {
  CZvParaNumber number(uint8_t{1});
  CZvByteStream stream = payload({9});
  ASSERT_TRUE(number.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
  EXPECT_EQ(9, number.getCacheValueUINT8());  // default handling 0 copies

  ScopedSeparateCache separate;
  stream = payload({7});
  ASSERT_TRUE(number.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
  EXPECT_EQ(7, number.getValueUINT8());
  EXPECT_EQ(9, number.getCacheValueUINT8());
  stream.rewind();
  ASSERT_TRUE(number.readFromStream(&stream, true, CZvParameterBase::OPTYPE_NONE));
  EXPECT_EQ(7, number.getCacheValueUINT8());
}

TEST(ParaNumber, NullStreams) {
  CZvParaNumber number(uint16_t{5});
  EXPECT_FALSE(number.validateStream(nullptr));
  EXPECT_EQ(0xA003, number.getError());
  EXPECT_FALSE(number.readFromStream(nullptr, true, CZvParameterBase::OPTYPE_NONE));
  EXPECT_EQ(5, number.getValueUINT16());
  EXPECT_FALSE(number.writeToStream(nullptr, CZvParameterBase::OPTYPE_NONE));
}

TEST(ParaNumber, ClearErrorByCode) {
  struct Case {
    int32_t error;
    bool result;
    int32_t after;
  };
  const Case cases[] = {{0, true, 0},          {6, true, 0},          {0xA000, true, 0},
                        {0xA002, true, 0},     {0xA001, false, 0xA001}, {0xA004, false, 0xA004},
                        {5, false, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    CZvParaNumber number(uint8_t{3});
    number.setError(c.error);
    EXPECT_EQ(c.result, number.clearError());
    EXPECT_EQ(c.after, number.getError());
  }
}

TEST(ParaNumber, CopiesOwnRangeDescriptionsPrivately) {
  CZvParaNumber owning(int16_t{0}, int16_t{-10}, int16_t{10});
  ASSERT_TRUE(owning.setValueINT16(-3));
  EXPECT_TRUE(owning.hasFlag(CZvParameterBase::FLAG_PERSISTENT));

  CZvParaNumber copy(owning);
  EXPECT_NE(owning.getInfo(), copy.getInfo());
  EXPECT_EQ(-10, copy.getRangeMin());
  EXPECT_EQ(-3, copy.getCacheValueINT16());
  EXPECT_TRUE(copy.hasFlag(CZvParameterBase::FLAG_CACHE_INITIALIZED));
  EXPECT_FALSE(copy.hasFlag(CZvParameterBase::FLAG_CACHE_CHANGED));

  CZvParaNumber shared(int16_t{0});
  shared = copy;  // takes a private description
  EXPECT_TRUE(shared.ownsInfo());
  copy = CZvParaNumber(int16_t{0});  // back to the shared full range
  EXPECT_FALSE(copy.ownsInfo());
  EXPECT_EQ(&sParaNumberInfoInt16, copy.getInfo());
  EXPECT_FALSE(copy.hasFlag(CZvParameterBase::FLAG_PERSISTENT));

  shared.invalidateData();
  EXPECT_EQ(CZvParameterBase::FLAG_PERSISTENT, shared.getFlags());
  EXPECT_TRUE(shared.ownsInfo());
}

TEST(ParaNumber, NoTypeBehavesAsUInt8) {
  CZvParaNumber number(CZvParaNumber::NoType);
  EXPECT_EQ(1u, number.getMOSTSize());
  EXPECT_EQ(255, number.getRangeMax());
  EXPECT_TRUE(number.setValueUINT8(200));
}

TEST(ParaNumberInfo, RangesAndCopies) {
  EXPECT_EQ(-128, sParaNumberInfoInt8.getRangeMin());
  EXPECT_EQ(4294967295LL, sParaNumberInfoUInt32.getRangeMax());
  EXPECT_EQ(INT32_MIN, sParaNumberInfoInt32.getRangeMin());
  EXPECT_EQ(&sParaNumberInfoUInt8, LUTNumberPrecision[0]);
  EXPECT_EQ(&sParaNumberInfoInt16, LUTNumberPrecision[4]);
  EXPECT_EQ(0u, CZvParaNumberInfo().getPrecision());
  EXPECT_EQ(2u, CZvParaNumberInfo(ZvNumberInt16).getPrecision());

  CZvParaNumberInfo copy(sParaNumberInfoUInt8_0_to_5);
  EXPECT_EQ(5, copy.getRangeMax());
  EXPECT_EQ(ZvNumberUInt8, copy.getType());
}

}  // namespace
