#include "platform/qrvi/service_frame.h"

#include <gtest/gtest.h>

namespace {

SZvServiceFrame sampleFrame() {
  SZvServiceFrame f;
  f.type = ZvServices::FRAME_REQUEST;
  f.kind = 256;
  f.updateID = 0x80000001;
  f.sequence = 7;
  f.registration = 3;
  f.body = {1, 2, 3};
  return f;
}

TEST(ServiceFrame, HeaderIsLittleEndianFieldByField) {
  std::vector<uint8_t> out;
  ZvEncodeServiceFrame(sampleFrame(), out);
  const std::vector<uint8_t> expected = {
      0x5A, 0x56, 0x51, 0x52,  // magic
      3, 0, 0, 0,              // body length
      3, 0, 0, 0,              // type, flags
      0, 1, 0, 0,              // kind 256
      1, 0, 0, 0x80,           // update ID
      7, 0, 0, 0, 3, 0, 0, 0,  // sequence, registration
      1, 2, 3};
  EXPECT_EQ(out, expected);
}

TEST(ServiceFrame, AssemblerCutsFramesFromAnyChunking) {
  std::vector<uint8_t> stream;
  ZvEncodeServiceFrame(sampleFrame(), stream);
  SZvServiceFrame second = sampleFrame();
  second.body.clear();
  second.sequence = 8;
  ZvEncodeServiceFrame(second, stream);
  // Byte by byte: each frame appears exactly when its last byte arrives.
  CZvServiceFrameAssembler assembler;
  std::vector<SZvServiceFrame> frames;
  for (uint8_t byte : stream) {
    assembler.append(&byte, 1);
    SZvServiceFrame f;
    while (assembler.next(f) == CZvServiceFrameAssembler::FRAME_READY) frames.push_back(f);
  }
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].body, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(frames[0].updateID, 0x80000001u);
  EXPECT_EQ(frames[1].sequence, 8u);
  EXPECT_TRUE(frames[1].body.empty());
  EXPECT_EQ(assembler.buffered(), 0u);
}

TEST(ServiceFrame, MalformedHeadersAreFinal) {
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
  } cases[] = {
      {"bad magic", 0, 0x00},
      {"unknown type", 8, 9},
      {"flags set", 10, 1},
      {"body length beyond the limit", 7, 0x10},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    ZvEncodeServiceFrame(sampleFrame(), bytes);
    bytes[c.offset] = c.value;
    CZvServiceFrameAssembler assembler;
    assembler.append(bytes.data(), static_cast<uint32_t>(bytes.size()));
    SZvServiceFrame f;
    EXPECT_EQ(assembler.next(f), CZvServiceFrameAssembler::MALFORMED) << c.what;
    std::vector<uint8_t> good;
    ZvEncodeServiceFrame(sampleFrame(), good);
    assembler.append(good.data(), static_cast<uint32_t>(good.size()));
    EXPECT_EQ(assembler.next(f), CZvServiceFrameAssembler::MALFORMED) << c.what;
  }
}

}  // namespace
