#include <gtest/gtest.h>

#include <vector>

#include "platform/basalt/zv_byte_stream.h"
#include "platform/basalt/zv_string.h"
#include "platform/basalt/zv_version.h"

namespace {

TEST(CZvStringTest, CopiesShareUntilOneChanges) {
  CZvString a("hello");
  CZvString b = a;
  EXPECT_TRUE(a.sharesDataWith(b));
  b.append(" world");
  EXPECT_FALSE(a.sharesDataWith(b));
  EXPECT_EQ(a, "hello");
  EXPECT_EQ(b, "hello world");
}

TEST(CZvStringTest, EditingOperationsClampToTheText) {
  CZvString s("abcdef");
  s.remove(4, 100);  // past the end: removes what is there
  EXPECT_EQ(s, "abcd");
  s.remove(10, 1);  // start past the end: nothing
  EXPECT_EQ(s, "abcd");
  s.remove(1, 2);
  EXPECT_EQ(s, "ad");
  s.truncate(5);
  EXPECT_EQ(s, "ad");
  s.truncate(1);
  EXPECT_EQ(s, "a");
  s.insert(99, CZvString("z"));
  EXPECT_EQ(s, "az");
  EXPECT_EQ(CZvString("abc").substr(1), "bc");
  EXPECT_EQ(CZvString("abc").substr(5, 2), "");
  EXPECT_EQ(CZvString("abc").at(3), '\0');
  EXPECT_EQ(CZvString("a.b.c").findLast('.'), 3);
  EXPECT_EQ(CZvString("abc").find("c", 3), -1);
}

TEST(CZvStringTest, AppendingItselfDoublesTheText) {
  CZvString s("ab");
  CZvString t = s;
  s.append(s);
  EXPECT_EQ(s, "abab");
  EXPECT_EQ(t, "ab");
}

TEST(CZvStringTest, FormatHandlesLongOutput) {
  CZvString s;
  const std::string longText(1000, 'x');
  s.format("%s-%d", longText.c_str(), 42);
  EXPECT_EQ(s.length(), 1003u);
  EXPECT_TRUE(s.toStdString().rfind("-42") == 1000);
  s.appendFormat("%u", 7u);
  EXPECT_EQ(s.at(1003), '7');
}

TEST(CZvStringTest, ComparesBytewiseIncludingEmbeddedNul) {
  EXPECT_LT(CZvString("ab"), CZvString("abc"));
  EXPECT_LT(CZvString("ab"), CZvString("b"));
  EXPECT_NE(CZvString("a\0b", 3), CZvString("a"));
  EXPECT_EQ(CZvString(), CZvString(""));
  EXPECT_EQ(CZvString(nullptr), "");
}

TEST(CZvStringTest, StreamFormRoundTripsAndRejectsTruncation) {
  CZvByteStream stream;
  ASSERT_TRUE(CZvString("abc").writeToStream(stream));
  const uint8_t expected[] = {3, 0, 0, 0, 'a', 'b', 'c'};
  EXPECT_EQ(stream, CZvByteStream(expected, sizeof(expected)));
  CZvString back;
  ASSERT_TRUE(back.readFromStream(stream));
  EXPECT_EQ(back, "abc");

  // A length that promises more than is there.
  const uint8_t truncated[] = {0xFF, 0xFF, 0xFF, 0x7F, 'a'};
  CZvByteStream bad(truncated, sizeof(truncated));
  CZvString result("old");
  EXPECT_FALSE(result.readFromStream(bad));
  EXPECT_TRUE(result.isEmpty());
}

struct Utf16Case {
  const char* name;
  std::vector<uint16_t> utf16;
  const char* utf8;
  bool valid;
};

TEST(CZvStringTest, ConvertsUtf16ToUtf8) {
  const Utf16Case cases[] = {
      {"ascii", {'A', 'b'}, "Ab", true},
      {"two and three bytes", {0x00E9, 0x20AC}, "\xC3\xA9\xE2\x82\xAC", true},
      {"surrogate pair", {0xD83D, 0xDE00}, "\xF0\x9F\x98\x80", true},
      {"lone high surrogate at end", {'a', 0xD83D}, "a\xEF\xBF\xBD", false},
      {"lone low surrogate",
       {0xDE00, 'b'},
       "\xEF\xBF\xBD"
       "b",
       false},
      {"high followed by non-surrogate", {0xD83D, 'x'}, "\xEF\xBF\xBDx", false},
      {"empty", {}, "", true},
  };
  for (const auto& c : cases) {
    CZvString out("stale");
    EXPECT_EQ(CZvString::convertUTF16ToUTF8(c.utf16.data(), static_cast<uint32_t>(c.utf16.size()), out),
              c.valid)
        << c.name;
    EXPECT_EQ(out, c.utf8) << c.name;
  }
  CZvString out;
  EXPECT_FALSE(CZvString::convertUTF16ToUTF8(nullptr, 3, out));
}

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::vector<uint16_t> utf16;
  bool valid;
};

TEST(CZvStringTest, ConvertsUtf8ToUtf16) {
  const Utf8Case cases[] = {
      {"ascii", "Ab", {'A', 'b'}, true},
      {"euro", "\xE2\x82\xAC", {0x20AC}, true},
      {"four bytes", "\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, true},
      {"stray continuation",
       "a\x80"
       "b",
       {'a', 0xFFFD, 'b'},
       false},
      {"truncated at end", "a\xE2\x82", {'a', 0xFFFD}, false},
      {"truncated before ascii", "\xE2\x82z", {0xFFFD, 'z'}, false},
      {"overlong slash", "\xC0\xAF", {0xFFFD, 0xFFFD}, false},
      {"overlong three byte", "\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}, false},
      {"encoded surrogate", "\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}, false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}, false},
      {"byte FF", "\xFF", {0xFFFD}, false},
      {"embedded NUL kept", std::string("a\0b", 3), {'a', 0, 'b'}, true},
  };
  for (const auto& c : cases) {
    std::vector<uint16_t> out = {1, 2, 3};
    EXPECT_EQ(CZvString::convertUTF8ToUTF16(CZvString(c.utf8), out), c.valid) << c.name;
    EXPECT_EQ(out, c.utf16) << c.name;
  }
}

TEST(CZvStringTest, Converts8859_15Specials) {
  const struct {
    uint8_t byte;
    const char* utf8;
  } cases[] = {
      {'A', "A"},         {0xA4, "\xE2\x82\xAC"}, {0xA6, "\xC5\xA0"}, {0xA8, "\xC5\xA1"},
      {0xB4, "\xC5\xBD"}, {0xB8, "\xC5\xBE"},     {0xBC, "\xC5\x92"}, {0xBD, "\xC5\x93"},
      {0xBE, "\xC5\xB8"}, {0xA3, "\xC2\xA3"},     {0xE9, "\xC3\xA9"}, {0xFF, "\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ZvConvertFrom8859_15(&c.byte, 1), c.utf8) << int(c.byte);
  }
  EXPECT_EQ(ZvConvertFrom8859_15(nullptr, 5), "");
}

TEST(CZvVersionTest, OrdersNumerically) {
  EXPECT_LT(CZvVersion(4, 2, 0), CZvVersion(4, 10, 0));
  EXPECT_EQ(CZvVersion(1, 0, 0), CZvVersion(1, 0, 0));
  EXPECT_GT(CZvVersion(2, 0, 0), CZvVersion(1, 99, 99));
  EXPECT_EQ(CZvVersion(4, 5, 0).toString(), "4.5.0");
}

}  // namespace
