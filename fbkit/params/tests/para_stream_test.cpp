// Streams, short streams and classified streams.
#include <gtest/gtest.h>

#include "fbkit/params/para_classified_stream.h"
#include "fbkit/params/para_stream.h"
#include "fbkit/params/tests/param_test_util.h"
#include "platform/basalt/zv_trace.h"

namespace {

constexpr uint8_t kNone = CZvParameterBase::OPTYPE_NONE;

TEST(ParaStream, TakesTheRestOrItsFixedSize) {
  struct Case {
    const char* name;
    bool limited;
    uint32_t maxSize;
    Bytes payload;
    Bytes value;
    uint32_t left;  // bytes after the parameter
  };
  const Case cases[] = {
      {"unlimited takes all", false, 0, {1, 2, 3}, {1, 2, 3}, 0},
      {"unlimited on empty payload", false, 0, {}, {}, 0},
      {"limited takes its size", true, 2, {1, 2, 3}, {1, 2}, 1},
      {"limited with less data", true, 4, {1, 2}, {1, 2}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaStream stream = c.limited ? CZvParaStream(c.maxSize) : CZvParaStream();
    CZvByteStream in = payload(c.payload);
    EXPECT_TRUE(stream.validateStream(&in));
    EXPECT_EQ(c.left, in.getRemaining());
    in.rewind();
    EXPECT_TRUE(stream.readFromStream(&in, false, kNone));
    EXPECT_EQ(c.left, in.getRemaining());
    EXPECT_EQ(c.value, contents(stream.getValueStream()));
    EXPECT_EQ(c.value, contents(stream.getCacheValue()));
    EXPECT_EQ(c.value.size(), stream.getMOSTSize());
  }
}

TEST(ParaStream, SetChecksLimitAndChange) {
  CZvTraceCapture capture("framework_comm_most_CZvParaStream*");
  CZvParaStream stream(3);
  EXPECT_FALSE(stream.setValueStream(nullptr));
  EXPECT_EQ(6, stream.getError());
  CZvByteStream tooLong = payload({1, 2, 3, 4});
  EXPECT_FALSE(stream.setValueStream(&tooLong));
  EXPECT_EQ(5, stream.getError());
  EXPECT_TRUE(capture.contains("stream to long, length: 4, max: 3"));
  EXPECT_TRUE(capture.contains("error setting stream"));

  CZvByteStream abc = payload({1, 2, 3});
  ASSERT_TRUE(stream.setValueStream(&abc));
  EXPECT_EQ(0, stream.getError());
  ASSERT_TRUE(stream.setValueStream(&abc));
  EXPECT_FALSE(stream.hasFlag(CZvParameterBase::FLAG_CACHE_CHANGED));
  // A shorter stream with the same beginning is still a change.
  CZvByteStream ab = payload({1, 2});
  ASSERT_TRUE(stream.setValueStream(&ab));
  EXPECT_TRUE(stream.hasFlag(CZvParameterBase::FLAG_CACHE_CHANGED));

  CZvByteStream out;
  ASSERT_TRUE(stream.writeToStream(&out, kNone));
  EXPECT_EQ((Bytes{1, 2}), contents(out));
  EXPECT_FALSE(stream.writeToStream(nullptr, kNone));
  EXPECT_EQ(5, stream.getError());
  EXPECT_FALSE(stream.validateStream(nullptr));
  EXPECT_EQ(0xA003, stream.getError());
  EXPECT_FALSE(stream.readFromStream(nullptr, false, kNone));
  EXPECT_EQ(5, stream.getError());
}

TEST(ParaShortStream, ValidatesAndReadsIncomingPayloads) {
  struct Case {
    const char* name;
    bool limited;
    uint8_t maxSize;
    Bytes payload;
    bool valid;
    int32_t error;
    bool readOk;
    Bytes value;
  };
  const Bytes ten = {10, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Case cases[] = {
      {"unlimited, 10 bytes", false, 0, ten, true, 0, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"empty short stream", false, 0, {0}, true, 0, true, {}},
      {"limit 4 refuses 10", true, 4, ten, false, 5, true, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"data ends early", false, 0, {3, 1, 2}, false, 5, false, {}},
      {"no length byte", false, 0, {}, false, 0xA004, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaShortStream stream = c.limited ? CZvParaShortStream(c.maxSize) : CZvParaShortStream();
    CZvByteStream in = payload(c.payload);
    EXPECT_EQ(c.valid, stream.validateStream(&in));
    EXPECT_EQ(c.error, stream.getError());
    in.rewind();
    EXPECT_EQ(c.readOk, stream.readFromStream(&in, false, kNone));
    EXPECT_EQ(c.value, contents(stream.getValueStream()));
  }
}

TEST(ParaShortStream, WritesLengthThenBytesAndCapsAt255) {
  CZvParaShortStream stream;
  CZvByteStream data = payload({0xAA, 0xBB});
  ASSERT_TRUE(stream.setValueStream(&data));
  CZvByteStream out;
  ASSERT_TRUE(stream.writeToStream(&out, kNone));
  EXPECT_EQ((Bytes{2, 0xAA, 0xBB}), contents(out));

  // 256 bytes cannot be counted by the length byte.
  CZvByteStream big = payload(Bytes(256, 1));
  EXPECT_FALSE(stream.setValueStream(&big));
  EXPECT_EQ(5, stream.getError());
  CZvByteStream max = payload(Bytes(255, 1));
  EXPECT_TRUE(stream.setValueStream(&max));

  CZvParaShortStream fromBig(big, false);
  EXPECT_EQ(255u, fromBig.getMaxSize());
}

TEST(ParaClassifiedStream, ValidatesAndReadsIncomingPayloads) {
  struct Case {
    const char* name;
    uint16_t maxLength;
    Bytes payload;
    bool valid;
    int32_t error;
    bool readOk;
    const char* mediaType;
    Bytes value;
  };
  const Case cases[] = {
      {"complete", 8, {0, 2, 'i', 'm', 'g', 0, 0xAA, 0xBB}, true, 0, true, "img", {0xAA, 0xBB}},
      {"empty media type and data", 8, {0, 0, 0}, true, 0, true, "", {}},
      {"length above limit", 8, {0, 9, 't', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, false, 5, true, "t",
       {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"data ends early", 8, {0, 3, 't', 0, 1}, false, 5, false, "x", {}},
      {"media type without terminator", 8, {0, 0, 't', 'x'}, false, 5, false, "x", {}},
      {"no length", 8, {0}, false, 0xA004, false, "x", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaClassifiedStream stream(c.maxLength, "x");
    CZvByteStream in = payload(c.payload);
    EXPECT_EQ(c.valid, stream.validateStream(&in));
    EXPECT_EQ(c.error, stream.getError());
    if (c.valid) {
      EXPECT_EQ(0u, in.getRemaining());
    }
    in.rewind();
    EXPECT_EQ(c.readOk, stream.readFromStream(&in, false, kNone));
    EXPECT_STREQ(c.mediaType, stream.getMediaType().c_str());
    EXPECT_EQ(c.value, contents(stream.getValueStream()));
  }
}

TEST(ParaClassifiedStream, RoundTripAndLimits) {
  CZvParaClassifiedStream sender(4, "");
  sender.setMediaType("text/plain");
  CZvByteStream tooLong = payload({1, 2, 3, 4, 5});
  EXPECT_FALSE(sender.setValueStream(&tooLong));
  EXPECT_EQ(0, sender.getError());
  EXPECT_FALSE(sender.setValueStream(nullptr));
  EXPECT_EQ(6, sender.getError());
  CZvByteStream data = payload({1, 2, 3});
  ASSERT_TRUE(sender.setValueStream(&data));
  EXPECT_EQ(3u + 0u + 3u, sender.getMOSTSize());  // received media type is still empty

  CZvByteStream out;
  ASSERT_TRUE(sender.writeToStream(&out, kNone));
  Bytes expected = {0, 3};
  for (const char* p = "text/plain"; *p; ++p) expected.push_back(static_cast<uint8_t>(*p));
  expected.insert(expected.end(), {0, 1, 2, 3});
  EXPECT_EQ(expected, contents(out));

  CZvParaClassifiedStream receiver;
  ASSERT_TRUE(receiver.validateStream(&out));
  out.rewind();
  ASSERT_TRUE(receiver.readFromStream(&out, false, kNone));
  EXPECT_STREQ("text/plain", receiver.getCacheMediaType().c_str());
  EXPECT_EQ((Bytes{1, 2, 3}), contents(receiver.getCacheValue()));
  EXPECT_EQ(0u, receiver.getValueStream().getReadPosition());

  CZvParaClassifiedStream nonAscii(4, "");
  nonAscii.setMediaType("\xC3\xA4");
  EXPECT_FALSE(nonAscii.writeToStream(&out, kNone));
}

}  // namespace
