#include "platform/communication/file_type.h"

#include <gtest/gtest.h>

namespace communication {
namespace {

TEST(FileTypeTest, ClassifiesByExtensionOfTheLastPathComponent) {
  struct Case {
    const char* name;
    FileType::Type expected;
  } cases[] = {
      {"/tmp/shot.png", FileType::kPng},      {"SHOT.PNG", FileType::kPng},
      {"a.b/c.jpeg", FileType::kJpeg},        {"x.bmp", FileType::kBmp},
      {"/tmp/shot.png.txt", FileType::kText}, {"/tmp.png/shot", FileType::kUnknown},
      {"shot.", FileType::kUnknown},          {".png", FileType::kUnknown},
      {"", FileType::kUnknown},               {nullptr, FileType::kUnknown},
      {"shot.pngx", FileType::kUnknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileType(c.name).type(), c.expected) << (c.name ? c.name : "(null)");
  }
  EXPECT_EQ(static_cast<int>(FileType::kPng), 3);
}

TEST(FileTypeTest, AssignmentReclassifies) {
  FileType type("a.png");
  EXPECT_TRUE(type == FileType::kPng);
  type = "a.raw";
  EXPECT_TRUE(type == FileType::kRaw);
}

}  // namespace
}  // namespace communication
