// CZvMOSTHeader: the 9-byte header of a MOST message in MOST order (device ID
// and function ID and length big-endian), plus a reserved 16-bit word that is
// copied and streamed but never interpreted.
#ifndef FBKIT_CLIENT_MOST_HEADER_H
#define FBKIT_CLIENT_MOST_HEADER_H

#include <cstdint>

#include "platform/basalt/zv_stream.h"
#include "platform/basalt/zv_string.h"

class CZvMOSTHeader {
 public:
  static constexpr uint32_t kSize = 9;
  // Size of the stream form: the 9 bytes and the reserved word.
  static constexpr uint32_t kStreamSize = 11;

  CZvMOSTHeader();
  // Copies 9 raw bytes; a null pointer gives an all-zero header.
  explicit CZvMOSTHeader(const uint8_t* raw);
  CZvMOSTHeader(uint16_t deviceID, uint16_t fblockKey, uint16_t functionID, uint8_t opType,
                uint16_t length);
  CZvMOSTHeader(uint16_t deviceID, uint8_t fblockID, uint8_t instID, uint16_t functionID,
                uint8_t opType, uint16_t length);

  uint16_t getDeviceID() const { return static_cast<uint16_t>((mBytes[0] << 8) | mBytes[1]); }
  uint8_t getFBlockID() const { return mBytes[2]; }
  uint8_t getInstID() const { return mBytes[3]; }
  // fblockID in the high byte, instID in the low byte.
  uint16_t getFBlockKey() const { return static_cast<uint16_t>((mBytes[2] << 8) | mBytes[3]); }
  uint16_t getFunctionID() const { return static_cast<uint16_t>((mBytes[4] << 8) | mBytes[5]); }
  uint8_t getOpType() const { return mBytes[6]; }
  uint16_t getLength() const { return static_cast<uint16_t>((mBytes[7] << 8) | mBytes[8]); }
  uint16_t getReserved() const { return mReserved; }
  const uint8_t* getRaw() const { return mBytes; }

  void setDeviceID(uint16_t deviceID);
  void setFBlockID(uint8_t fblockID) { mBytes[2] = fblockID; }
  void setInstID(uint8_t instID) { mBytes[3] = instID; }
  void setFBlockKey(uint16_t fblockKey);
  void setFunctionID(uint16_t functionID);
  void setOpType(uint8_t opType) { mBytes[6] = opType; }
  void setLength(uint16_t length);
  void setReserved(uint16_t reserved) { mReserved = reserved; }

  // Appends "DevID %.4X FBlock %.4X FuncID %.4X OpType %.2X Length %.4X - ".
  void dump(CZvString& out) const;

  // The 9 bytes as stored, then the reserved word big-endian.
  bool writeToStream(IZvOStream& stream) const;
  // False (header unchanged) on a short stream.
  bool readFromStream(IZvIStream& stream);

  bool operator==(const CZvMOSTHeader& o) const;
  bool operator!=(const CZvMOSTHeader& o) const { return !(*this == o); }

 private:
  uint8_t mBytes[kSize];
  uint16_t mReserved = 0;
};

#endif  // FBKIT_CLIENT_MOST_HEADER_H
