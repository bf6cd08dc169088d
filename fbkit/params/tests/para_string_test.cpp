#include "fbkit/params/para_string.h"

#include <cstring>

#include <gtest/gtest.h>

#include "fbkit/params/tests/param_test_util.h"
#include "platform/basalt/zv_trace.h"

namespace {

constexpr uint8_t kNone = CZvParameterBase::OPTYPE_NONE;

Bytes written(CZvParaString& text) {
  CZvByteStream stream;
  EXPECT_TRUE(text.writeToStream(&stream, kNone));
  return contents(stream);
}

// An application's 8-bit character set for the tests: upper-cases ASCII on
// the way in and writes '#' for everything that is not ASCII on the way out.
CZvString upperFrom(const uint8_t* bytes, uint32_t count) {
  CZvString text;
  for (uint32_t i = 0; i < count; ++i) {
    const char c = static_cast<char>(bytes[i]);
    text.append(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
  }
  return text;
}

uint32_t hashTo(const CZvString& text, uint8_t* buffer, uint32_t size, uint8_t replacement) {
  uint32_t n = 0;
  for (uint32_t i = 0; i < text.length() && n < size; ++i) {
    const uint8_t c = static_cast<uint8_t>(text.at(i));
    if (c < 0x80) {
      buffer[n++] = c;
    } else if ((c & 0xC0) == 0xC0) {
      buffer[n++] = replacement;
    }
  }
  return n;
}

TEST(ParaString, ValidatesAndReadsIncomingPayloads) {
  struct Case {
    const char* name;
    Bytes payload;
    bool valid;
    int32_t error;
    bool readOk;
    const char* value;
  };
  const Case cases[] = {
      {"latin-9", {0x01, 'H', 'i', 0x00}, true, 0, true, "Hi"},
      {"latin-9 euro sign", {0x01, 0xA4, 0x00}, true, 0, true, "\xE2\x82\xAC"},
      {"utf-8 unchanged", {0x02, 0xC3, 0xA4, 'x', 0x00}, true, 0, true, "\xC3\xA4x"},
      {"utf-16", {0x00, 0x00, 'H', 0x00, 'i', 0x00, 0x00}, true, 0, true, "Hi"},
      {"utf-16 surrogate pair", {0x00, 0xD8, 0x3D, 0xDE, 0x00, 0x00, 0x00}, true, 0, true,
       "\xF0\x9F\x98\x80"},
      // A lone surrogate cannot be converted: the read fails.
      {"utf-16 lone surrogate", {0x00, 0xD8, 0x3D, 0x00, 0x00}, true, 0, false, ""},
      // The terminator must sit on a code unit boundary.
      {"utf-16 odd length", {0x00, 'H', 0x00, 0x00}, false, 0xA004, false, ""},
      {"empty utf-16", {0x00, 0x00, 0x00}, true, 0, true, ""},
      {"no terminator", {0x02, 'a', 'b'}, false, 0xA004, false, ""},
      {"identifier only", {0x01}, false, 0xA004, false, ""},
      {"unknown identifier", {0x03, 'a', 0x00}, false, 0xA003, false, ""},
      // Nothing at all reads as an empty string.
      {"empty payload", {}, false, 0xA004, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaString text;
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, text.validateStream(&stream));
    EXPECT_EQ(c.error, text.getError());
    if (c.valid) {
      EXPECT_EQ(0u, stream.getRemaining());
    }
    stream.rewind();
    EXPECT_EQ(c.readOk, text.readFromStream(&stream, false, kNone));
    EXPECT_STREQ(c.value, text.getValueString().c_str());
    if (c.readOk) {
      EXPECT_EQ(0u, stream.getRemaining());
    }
  }
}

TEST(ParaString, LimitsCountCharacters) {
  struct Case {
    const char* name;
    Bytes payload;
    bool valid;
    int32_t error;
  };
  // Limited to 3 characters.
  const Case cases[] = {
      {"three ascii", {0x01, 'a', 'b', 'c', 0x00}, true, 0},
      {"four ascii", {0x01, 'a', 'b', 'c', 'd', 0x00}, false, 5},
      {"three two-byte characters", {0x02, 0xC3, 0xA4, 0xC3, 0xB6, 0xC3, 0xBC, 0x00}, true, 0},
      {"four two-byte characters",
       {0x02, 0xC3, 0xA4, 0xC3, 0xB6, 0xC3, 0xBC, 0xC3, 0x9F, 0x00}, false, 5},
      {"three utf-16 units", {0x00, 0, 'a', 0, 'b', 0, 'c', 0, 0}, true, 0},
      {"four utf-16 units", {0x00, 0, 'a', 0, 'b', 0, 'c', 0, 'd', 0, 0}, false, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaString text("", 3, false);
    CZvByteStream stream = payload(c.payload);
    EXPECT_EQ(c.valid, text.validateStream(&stream));
    EXPECT_EQ(c.error, text.getError());
  }
}

TEST(ParaString, WritesEachEncoding) {
  struct Case {
    const char* name;
    int32_t encoding;
    const char* text;
    Bytes expected;
  };
  const Case cases[] = {
      {"auto ascii", CZvParaString::STR_AUTO, "Hi", {0x01, 'H', 'i', 0x00}},
      {"auto non-ascii", CZvParaString::STR_AUTO, "\xC3\xA4", {0x02, 0xC3, 0xA4, 0x00}},
      {"utf-16", CZvParaString::STR_UTF16, "Hi", {0x00, 0x00, 'H', 0x00, 'i', 0x00, 0x00}},
      {"utf-16 surrogates", CZvParaString::STR_UTF16, "\xF0\x9F\x98\x80",
       {0x00, 0xD8, 0x3D, 0xDE, 0x00, 0x00, 0x00}},
      {"utf-8", CZvParaString::STR_UTF8, "Hi", {0x02, 'H', 'i', 0x00}},
      {"auto-utf16 ascii", CZvParaString::STR_AUTO_UTF16, "Hi", {0x01, 'H', 'i', 0x00}},
      {"auto-utf16 non-ascii", CZvParaString::STR_AUTO_UTF16, "\xC3\xA4",
       {0x00, 0x00, 0xE4, 0x00, 0x00}},
      {"empty", CZvParaString::STR_AUTO, "", {0x01, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CZvParaString text;
    ASSERT_TRUE(text.setStringEncoding(c.encoding));
    ASSERT_TRUE(text.setValueString(c.text));
    EXPECT_EQ(c.expected, written(text));
  }
}

TEST(ParaString, EmbeddedNulEndsTheTextOnTheBus) {
  for (int32_t encoding : {0, 2, 255}) {
    SCOPED_TRACE(encoding);
    CZvParaString sender;
    ASSERT_TRUE(sender.setStringEncoding(encoding));
    ASSERT_TRUE(sender.setValueString(CZvString("ab\0cd", 5)));
    CZvByteStream stream;
    ASSERT_TRUE(sender.writeToStream(&stream, kNone));
    CZvParaString receiver;
    ASSERT_TRUE(receiver.validateStream(&stream));
    EXPECT_EQ(0u, stream.getRemaining());  // nothing left for a next parameter
    stream.rewind();
    ASSERT_TRUE(receiver.readFromStream(&stream, false, kNone));
    EXPECT_STREQ("ab", receiver.getValueString().c_str());
  }
}

TEST(ParaString, RoundTripsThroughEveryEncoding) {
  const char* kText = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x98\x80";
  for (int32_t encoding : {0, 2, 255, 256}) {
    SCOPED_TRACE(encoding);
    CZvParaString sender;
    ASSERT_TRUE(sender.setStringEncoding(encoding));
    ASSERT_TRUE(sender.setValueString(kText));
    CZvByteStream stream;
    ASSERT_TRUE(sender.writeToStream(&stream, kNone));
    CZvParaString receiver;
    ASSERT_TRUE(receiver.validateStream(&stream));
    stream.rewind();
    ASSERT_TRUE(receiver.readFromStream(&stream, false, kNone));
    EXPECT_STREQ(kText, receiver.getValueString().c_str());
  }
}

TEST(ParaString, EightBitEncodingNeedsAsciiOrAConverter) {
  CZvParaString text;
  ASSERT_TRUE(text.setStringEncoding(CZvParaString::STR_ISO8859_15));
  ASSERT_TRUE(text.setValueString("\xC3\xA4"));
  CZvByteStream stream;
  EXPECT_FALSE(text.writeToStream(&stream, kNone));
  EXPECT_EQ(6, text.getError());
  // A text that can be written clears the error again.
  ASSERT_TRUE(text.setStringEncoding(CZvParaString::STR_UTF8));
  text.setError(6);
  EXPECT_TRUE(text.writeToStream(&stream, kNone));
  EXPECT_EQ(0, text.getError());
}

TEST(ParaString, ApplicationConvertersHandleIdentifierOne) {
  CZvParaString text(upperFrom, hashTo, '#');
  ASSERT_TRUE(text.setValueString("a\xC3\xA4z"));
  EXPECT_EQ((Bytes{0x01, 'a', '#', 'z', 0x00}), written(text));

  CZvByteStream incoming = payload({0x01, 'a', 'b', 0x00});
  ASSERT_TRUE(text.readFromStream(&incoming, false, kNone));
  EXPECT_STREQ("AB", text.getValueString().c_str());
}

TEST(ParaString, SetRespectsTheLimit) {
  CZvParaString truncating("", 4, true);
  ASSERT_TRUE(truncating.setValueString("abcdef"));
  EXPECT_STREQ("abcd", truncating.getCacheValue().c_str());
  // Multi-byte characters are never split.
  ASSERT_TRUE(truncating.setValueString("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA4"));
  EXPECT_STREQ("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", truncating.getCacheValue().c_str());

  CZvTraceCapture capture("framework_comm_most_CZvParaString*");
  CZvParaString strict("", 4, false);
  EXPECT_FALSE(strict.setValueString("abcdef"));
  EXPECT_EQ(5, strict.getError());
  EXPECT_FALSE(strict.canBeSend());
  EXPECT_TRUE(capture.contains("string to long, length: 6, max 4"));
  EXPECT_TRUE(capture.contains("problem setting string"));
}

TEST(ParaString, EncodingSelection) {
  CZvParaString text;
  EXPECT_TRUE(text.setStringEncoding(CZvParaString::STR_AUTO));
  EXPECT_TRUE(text.setStringEncoding(CZvParaString::STR_ISO8859_15));
  EXPECT_FALSE(text.setStringEncoding(4));
  EXPECT_EQ(CZvParaString::STR_ISO8859_15, text.getStringEncoding());
  EXPECT_FALSE(text.setStringEncoding(77));
  EXPECT_EQ(CZvParaString::STR_AUTO, text.getStringEncoding());

  // ISO 8859-15 only while the received value is plain ASCII.
  CZvByteStream incoming = payload({0x02, 0xC3, 0xA4, 0x00});
  ASSERT_TRUE(text.readFromStream(&incoming, false, kNone));
  ASSERT_TRUE(text.setStringEncoding(CZvParaString::STR_UTF16));
  EXPECT_FALSE(text.setStringEncoding(CZvParaString::STR_ISO8859_15));
  EXPECT_EQ(CZvParaString::STR_AUTO, text.getStringEncoding());

  // A read returns to automatic encoding.
  ASSERT_TRUE(text.setStringEncoding(CZvParaString::STR_UTF16));
  incoming.rewind();
  ASSERT_TRUE(text.readFromStream(&incoming, false, kNone));
  EXPECT_EQ(CZvParaString::STR_AUTO, text.getStringEncoding());
}

TEST(ParaString, CacheRuleMatchAndSize) {
  CZvParaString text("init");
  EXPECT_EQ(4u, text.getMaxLength());
  EXPECT_FALSE(text.isLimited());
  CZvByteStream incoming = payload({0x01, 'n', 'e', 'w', 0x00});
  {
    ScopedSeparateCache separate;
    ASSERT_TRUE(text.readFromStream(&incoming, false, kNone));
    EXPECT_STREQ("init", text.getCacheValue().c_str());
  }
  EXPECT_TRUE(text.match("new"));
  EXPECT_TRUE(text.match("init"));
  EXPECT_FALSE(text.match("other"));
  EXPECT_EQ(4u, text.getMOSTSize());
  incoming.rewind();
  ASSERT_TRUE(text.readFromStream(&incoming, false, kNone));
  EXPECT_STREQ("new", text.getCacheValue().c_str());
}

TEST(ParaString, UnknownEncodingsAreTracedAsErrors) {
  CZvTraceCapture capture("framework_comm_most_CZvParaString*");
  CZvParaString text;
  CZvByteStream incoming = payload({0x07, 'a', 0x00});
  EXPECT_FALSE(text.validateStream(&incoming));
  incoming.rewind();
  EXPECT_FALSE(text.readFromStream(&incoming, false, kNone));
  bool sawValidationError = false;
  bool sawReadError = false;
  for (const SZvTraceLine& line : capture.lines()) {
    if (line.level != ZvTraceLevel::Error) continue;
    sawValidationError |= line.text == "unknown string encoding";
    sawReadError |= line.text == "unknown encoding for incoming string";
  }
  EXPECT_TRUE(sawValidationError);
  EXPECT_TRUE(sawReadError);
}

}  // namespace
