// Small helpers shared by the DSYSMOSTServer tests.
#ifndef FBKIT_CLIENT_TESTS_DSYSMOST_TEST_UTIL_H
#define FBKIT_CLIENT_TESTS_DSYSMOST_TEST_UTIL_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "fbkit/client/dsysmost_types.h"
#include "platform/basalt/zv_stream.h"

namespace zv_test {

inline std::vector<uint8_t> bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

// An output stream into a byte vector.
class VectorOStream : public IZvOStream {
 public:
  uint32_t write(const void* data, uint32_t n) override {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    mBytes.insert(mBytes.end(), p, p + n);
    return n;
  }
  std::vector<uint8_t> mBytes;
};

// An input stream over a byte vector (a copy of exactly its size).
class VectorIStream : public IZvIStream {
 public:
  explicit VectorIStream(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}
  uint32_t read(void* buf, uint32_t n) override {
    uint32_t left = static_cast<uint32_t>(mBytes.size()) - mPos;
    uint32_t take = n < left ? n : left;
    for (uint32_t i = 0; i < take; ++i) static_cast<uint8_t*>(buf)[i] = mBytes[mPos + i];
    mPos += take;
    return take;
  }
  bool atEnd() const { return mPos == mBytes.size(); }

 private:
  std::vector<uint8_t> mBytes;
  uint32_t mPos = 0;
};

// The sample message of the tables: a Status to 0x0101 with two payload bytes.
inline DSYSMOSTTypes::MessageType sampleMessage() {
  DSYSMOSTTypes::MessageType m;
  m.transmissionType = DSYSMOSTTypes::TRANSMISSION_TYPE_CONTROL;
  m.transmissionVariant.setTXControl(DSYSMOSTTypes::TX_CONTROL_IMPLICIT_NOTIFICATION);
  m.header.targetAddress = 0x0101;
  m.header.sourceAddress = 0x0100;
  m.header.fblockID = 0x22;
  m.header.instID = 0x01;
  m.header.functionID = 0x0C2;
  m.header.opType = 0x0C;
  m.header.routingAddress = 0x00050100;
  const uint8_t payload[] = {0xAA, 0xBB};
  m.data = CZvBuffer(payload, 2);
  return m;
}

}  // namespace zv_test

#endif  // FBKIT_CLIENT_TESTS_DSYSMOST_TEST_UTIL_H
