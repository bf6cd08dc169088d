#include "platform/qrvi/control_codec.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlCodec, HelloAndIdListsRoundTrip) {
  CZvQRVOStream hello;
  ZvServices::encodeHello("DSYSMOSTServer", "MOSTSubSystem", hello);
  CZvString iface;
  CZvString role;
  ASSERT_TRUE(ZvServices::decodeHello(hello.data(), hello.size(), iface, role));
  EXPECT_EQ(iface, "DSYSMOSTServer");
  EXPECT_EQ(role, "MOSTSubSystem");

  const uint32_t ids[] = {0x80000000, 0xC0000001};
  CZvQRVOStream list;
  ZvServices::encodeIdList(ids, 2, list);
  EXPECT_EQ(list.bytes(), (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0, 0x80, 1, 0, 0, 0xC0}));
  std::vector<uint32_t> back;
  ASSERT_TRUE(ZvServices::decodeIdList(list.data(), list.size(), back));
  EXPECT_EQ(back, (std::vector<uint32_t>{0x80000000, 0xC0000001}));
}

TEST(ControlCodec, MalformedBodiesAreRejected) {
  struct Case {
    const char* what;
    std::vector<uint8_t> body;
  } lists[] = {
      {"empty", {}},
      {"count beyond the bytes", {3, 0, 0, 0, 1, 0, 0, 0}},
      {"huge count", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"byte left over", {1, 0, 0, 0, 1, 0, 0, 0, 9}},
  };
  for (const Case& c : lists) {
    std::vector<uint32_t> ids;
    EXPECT_FALSE(ZvServices::decodeIdList(c.body.data(), static_cast<uint32_t>(c.body.size()), ids))
        << c.what;
  }
  CZvString iface;
  CZvString role;
  const std::vector<uint8_t> oneString = {2, 0, 0, 0, 'a', 0};
  EXPECT_FALSE(ZvServices::decodeHello(oneString.data(), 6, iface, role));
  const std::vector<uint8_t> unterminated = {2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0};
  EXPECT_FALSE(ZvServices::decodeHello(unterminated.data(), 10, iface, role));
}

}  // namespace
