// Image: a view of pixel memory (not copied) that can be written as PNG.
#ifndef PLATFORM_COMMUNICATION_IMAGE_H
#define PLATFORM_COMMUNICATION_IMAGE_H

#include <cstdio>

namespace communication {

class Image {
 public:
  // Byte order of one pixel in memory, 8 bits per channel.
  enum Layout : int {
    kRgba8888 = 0,  // R, G, B, A
    kBgra8888 = 1,  // B, G, R, A
    kRgb888 = 2,    // R, G, B
    kGray8 = 3,     // one luminance byte
  };

  // |stride| is the distance in bytes between the starts of two rows.
  Image(unsigned width, unsigned height, unsigned stride, unsigned bytesPerPixel, Layout layout,
        void* data);

  unsigned width() const { return width_; }
  unsigned height() const { return height_; }

  // True when the geometry is consistent: a known layout whose pixel size is
  // bytesPerPixel, non-zero width and height, rows that fit in the stride
  // and pixel memory present.
  bool isValid() const;

  // Writes the image as PNG to |file| (opened for binary writing). Returns
  // false, writing nothing, for an invalid image; false also when libpng
  // fails part way (the stream then holds an incomplete file).
  bool savePng(FILE* file) const;

 private:
  unsigned width_;
  unsigned height_;
  unsigned stride_;
  unsigned bytesPerPixel_;
  Layout layout_;
  void* data_;
};

}  // namespace communication

#endif  // PLATFORM_COMMUNICATION_IMAGE_H
