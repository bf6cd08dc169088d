// CZvParaMOSTData: raw payload bytes the framework does not interpret.
#ifndef FBKIT_PARAMS_PARA_MOST_DATA_H
#define FBKIT_PARAMS_PARA_MOST_DATA_H

#include <cstdint>
#include <memory>

#include "platform/basalt/zv_byte_stream.h"

class CZvParaMOSTData {
 public:
  CZvParaMOSTData() = default;
  // Copies count bytes; nothing is stored for count 0 or null bytes.
  CZvParaMOSTData(const uint8_t* bytes, uint32_t count);
  CZvParaMOSTData(const CZvParaMOSTData& other);
  CZvParaMOSTData& operator=(const CZvParaMOSTData& other);
  virtual ~CZvParaMOSTData();

  // offset 0: the content becomes the first end bytes of bytes.
  // offset > 0: end - offset bytes of bytes are copied to offset, when
  // offset <= end <= size. False for null bytes or a range outside the
  // content.
  bool setMOSTData(const uint8_t* bytes, uint32_t offset, uint32_t end);
  // Copies size bytes of bytes over the content; null releases the content.
  bool setMOSTData(const uint8_t* bytes);

  // A new copy (release with delete[]) of the bytes [begin, end) when
  // 0 < begin < end <= size, of everything when both are 0; else null.
  uint8_t* getMOSTData(uint32_t begin, uint32_t end) const;
  uint8_t* getAllStoredMOSTData() const { return getMOSTData(0, 0); }
  uint32_t getSize() const { return mSize; }
  // The stored bytes without copying (null when empty).
  const uint8_t* getData() const { return mData.get(); }

  // Appends the content; true when every byte was written.
  bool writeToMOST(CZvByteStream* stream) const;
  // Raw data is never taken from a message; both return false.
  bool readFromMOST(CZvByteStream* stream);
  bool readPartFromMOST(CZvByteStream* stream, uint32_t count);

 private:
  void assign(const uint8_t* bytes, uint32_t count);

  std::unique_ptr<uint8_t[]> mData;
  uint32_t mSize = 0;
};

#endif  // FBKIT_PARAMS_PARA_MOST_DATA_H
