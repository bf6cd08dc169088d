#include "platform/communication/image.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>

namespace communication {
namespace {

// Pixel size of each layout; 0 for an unknown one.
unsigned pixelSizeOf(Image::Layout layout) {
  switch (layout) {
    case Image::kRgba8888:
    case Image::kBgra8888:
      return 4;
    case Image::kRgb888:
      return 3;
    case Image::kGray8:
      return 1;
  }
  return 0;
}

int pngColorTypeOf(Image::Layout layout) {
  switch (layout) {
    case Image::kRgb888:
      return PNG_COLOR_TYPE_RGB;
    case Image::kGray8:
      return PNG_COLOR_TYPE_GRAY;
    default:
      return PNG_COLOR_TYPE_RGB_ALPHA;
  }
}

// Kept free of C++ objects: libpng reports errors by longjmp back here.
bool writePng(FILE* file, png_uint_32 width, png_uint_32 height, size_t stride, int colorType,
              bool swapRedBlue, const unsigned char* pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  if (swapRedBlue) png_set_bgr(png);
  for (png_uint_32 row = 0; row < height; ++row) {
    png_write_row(png, const_cast<png_bytep>(pixels + row * stride));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

Image::Image(unsigned width, unsigned height, unsigned stride, unsigned bytesPerPixel,
             Layout layout, void* data)
    : width_(width),
      height_(height),
      stride_(stride),
      bytesPerPixel_(bytesPerPixel),
      layout_(layout),
      data_(data) {}

bool Image::isValid() const {
  unsigned pixelSize = pixelSizeOf(layout_);
  // PNG limits a dimension to 2^31 - 1; stay well inside it.
  constexpr unsigned kMaxDimension = 1u << 20;
  return data_ && pixelSize != 0 && bytesPerPixel_ == pixelSize && width_ > 0 && height_ > 0 &&
         width_ <= kMaxDimension && height_ <= kMaxDimension &&
         static_cast<uint64_t>(width_) * pixelSize <= stride_;
}

bool Image::savePng(FILE* file) const {
  if (!file || !isValid()) return false;
  if (!writePng(file, width_, height_, stride_, pngColorTypeOf(layout_), layout_ == kBgra8888,
                static_cast<const unsigned char*>(data_))) {
    return false;
  }
  return fflush(file) == 0;
}

}  // namespace communication
