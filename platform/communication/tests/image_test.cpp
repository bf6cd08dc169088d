#include "platform/communication/image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace communication {
namespace {

// Decodes the PNG in |file| to 8-bit RGBA with libpng's own reader.
bool decodeRgba(FILE* file, unsigned* width, unsigned* height, std::vector<unsigned char>* pixels) {
  rewind(file);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_stdio(&image, file)) return false;
  image.format = PNG_FORMAT_RGBA;
  pixels->resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr)) return false;
  *width = image.width;
  *height = image.height;
  return true;
}

// Rows of 3 pixels with 4 bytes of padding each, to show the stride is used.
constexpr unsigned kStride = 16;
std::vector<unsigned char> paddedPixels() {
  std::vector<unsigned char> memory(2 * kStride, 0xEE);
  for (unsigned row = 0; row < 2; ++row) {
    for (unsigned byte = 0; byte < 12; ++byte) {
      memory[row * kStride + byte] = static_cast<unsigned char>(row * 40 + byte * 3);
    }
  }
  return memory;
}

TEST(ImageTest, RgbaPngDecodesToTheSamePixels) {
  std::vector<unsigned char> memory = paddedPixels();
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  Image image(3, 2, kStride, 4, Image::kRgba8888, memory.data());
  ASSERT_TRUE(image.savePng(file));

  unsigned width = 0, height = 0;
  std::vector<unsigned char> decoded;
  ASSERT_TRUE(decodeRgba(file, &width, &height, &decoded));
  fclose(file);
  EXPECT_EQ(width, 3u);
  EXPECT_EQ(height, 2u);
  for (unsigned row = 0; row < 2; ++row) {
    std::vector<unsigned char> expected(memory.begin() + row * kStride,
                                        memory.begin() + row * kStride + 12);
    std::vector<unsigned char> actual(decoded.begin() + row * 12, decoded.begin() + row * 12 + 12);
    EXPECT_EQ(actual, expected) << "row " << row;
  }
}

TEST(ImageTest, BgraPixelsAreStoredAsRgba) {
  unsigned char pixel[4] = {10, 20, 30, 255};  // B, G, R, A
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(Image(1, 1, 4, 4, Image::kBgra8888, pixel).savePng(file));
  unsigned width = 0, height = 0;
  std::vector<unsigned char> decoded;
  ASSERT_TRUE(decodeRgba(file, &width, &height, &decoded));
  fclose(file);
  EXPECT_EQ(decoded, (std::vector<unsigned char>{30, 20, 10, 255}));
}

TEST(ImageTest, InconsistentGeometryWritesNothing) {
  unsigned char memory[64] = {};
  struct Case {
    const char* what;
    Image image;
  } cases[] = {
      {"pixel size does not match layout", Image(2, 2, 8, 3, Image::kRgba8888, memory)},
      {"stride shorter than a row", Image(3, 2, 8, 4, Image::kRgba8888, memory)},
      {"no pixel memory", Image(2, 2, 8, 4, Image::kRgba8888, nullptr)},
      {"no rows", Image(2, 0, 8, 4, Image::kRgba8888, memory)},
      {"unknown layout", Image(2, 2, 8, 4, static_cast<Image::Layout>(9), memory)},
  };
  for (const Case& c : cases) {
    FILE* file = tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(c.image.savePng(file)) << c.what;
    EXPECT_EQ(ftell(file), 0L) << c.what;
    fclose(file);
  }
  EXPECT_FALSE(Image(2, 2, 8, 4, Image::kRgba8888, memory).savePng(nullptr));
}

}  // namespace
}  // namespace communication
