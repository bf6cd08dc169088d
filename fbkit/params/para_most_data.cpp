#include "fbkit/params/para_most_data.h"

#include <cstring>

CZvParaMOSTData::CZvParaMOSTData(const uint8_t* bytes, uint32_t count) { assign(bytes, count); }

CZvParaMOSTData::CZvParaMOSTData(const CZvParaMOSTData& other) {
  assign(other.mData.get(), other.mSize);
}

CZvParaMOSTData& CZvParaMOSTData::operator=(const CZvParaMOSTData& other) {
  if (this != &other) assign(other.mData.get(), other.mSize);
  return *this;
}

CZvParaMOSTData::~CZvParaMOSTData() = default;

void CZvParaMOSTData::assign(const uint8_t* bytes, uint32_t count) {
  if (bytes == nullptr || count == 0) {
    mData.reset();
    mSize = 0;
    return;
  }
  if (count != mSize) {
    mData.reset(new uint8_t[count]);
    mSize = count;
  }
  std::memcpy(mData.get(), bytes, count);
}

bool CZvParaMOSTData::setMOSTData(const uint8_t* bytes, uint32_t offset, uint32_t end) {
  if (bytes == nullptr) return false;
  if (offset == 0) {
    assign(bytes, end);
    return true;
  }
  if (mSize == 0 || offset > end || end > mSize) return false;
  std::memcpy(mData.get() + offset, bytes, end - offset);
  return true;
}

bool CZvParaMOSTData::setMOSTData(const uint8_t* bytes) {
  if (bytes == nullptr || mSize == 0) {
    mData.reset();
    mSize = 0;
    return false;
  }
  std::memcpy(mData.get(), bytes, mSize);
  return true;
}

uint8_t* CZvParaMOSTData::getMOSTData(uint32_t begin, uint32_t end) const {
  if (mSize == 0) return nullptr;
  if (begin == 0 && end == 0) end = mSize;
  else if (!(begin > 0 && begin < end && end <= mSize)) return nullptr;
  uint8_t* copy = new uint8_t[end - begin];
  std::memcpy(copy, mData.get() + begin, end - begin);
  return copy;
}

bool CZvParaMOSTData::writeToMOST(CZvByteStream* stream) const {
  if (stream == nullptr) return false;
  if (mSize == 0) return true;
  return stream->write(mData.get(), mSize) == mSize;
}

bool CZvParaMOSTData::readFromMOST(CZvByteStream* /*stream*/) { return false; }

bool CZvParaMOSTData::readPartFromMOST(CZvByteStream* /*stream*/, uint32_t /*count*/) {
  return false;
}
