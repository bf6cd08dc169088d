#include "fbkit/client/most_header.h"

#include <cstring>

CZvMOSTHeader::CZvMOSTHeader() { std::memset(mBytes, 0, sizeof mBytes); }

CZvMOSTHeader::CZvMOSTHeader(const uint8_t* raw) {
  if (raw != nullptr) {
    std::memcpy(mBytes, raw, sizeof mBytes);
  } else {
    std::memset(mBytes, 0, sizeof mBytes);
  }
}

CZvMOSTHeader::CZvMOSTHeader(uint16_t deviceID, uint16_t fblockKey, uint16_t functionID,
                             uint8_t opType, uint16_t length) {
  setDeviceID(deviceID);
  setFBlockKey(fblockKey);
  setFunctionID(functionID);
  setOpType(opType);
  setLength(length);
}

CZvMOSTHeader::CZvMOSTHeader(uint16_t deviceID, uint8_t fblockID, uint8_t instID,
                             uint16_t functionID, uint8_t opType, uint16_t length) {
  setDeviceID(deviceID);
  setFBlockID(fblockID);
  setInstID(instID);
  setFunctionID(functionID);
  setOpType(opType);
  setLength(length);
}

void CZvMOSTHeader::setDeviceID(uint16_t deviceID) {
  mBytes[0] = static_cast<uint8_t>(deviceID >> 8);
  mBytes[1] = static_cast<uint8_t>(deviceID);
}

void CZvMOSTHeader::setFBlockKey(uint16_t fblockKey) {
  mBytes[2] = static_cast<uint8_t>(fblockKey >> 8);
  mBytes[3] = static_cast<uint8_t>(fblockKey);
}

void CZvMOSTHeader::setFunctionID(uint16_t functionID) {
  mBytes[4] = static_cast<uint8_t>(functionID >> 8);
  mBytes[5] = static_cast<uint8_t>(functionID);
}

void CZvMOSTHeader::setLength(uint16_t length) {
  mBytes[7] = static_cast<uint8_t>(length >> 8);
  mBytes[8] = static_cast<uint8_t>(length);
}

void CZvMOSTHeader::dump(CZvString& out) const {
  out.appendFormat("DevID %.4X FBlock %.4X FuncID %.4X OpType %.2X Length %.4X - ",
                   getDeviceID(), getFBlockKey(), getFunctionID(), getOpType(), getLength());
}

bool CZvMOSTHeader::writeToStream(IZvOStream& stream) const {
  uint8_t bytes[kStreamSize];
  std::memcpy(bytes, mBytes, kSize);
  bytes[9] = static_cast<uint8_t>(mReserved >> 8);
  bytes[10] = static_cast<uint8_t>(mReserved);
  return stream.write(bytes, kStreamSize) == kStreamSize;
}

bool CZvMOSTHeader::readFromStream(IZvIStream& stream) {
  uint8_t bytes[kStreamSize];
  if (stream.read(bytes, kStreamSize) != kStreamSize) return false;
  std::memcpy(mBytes, bytes, kSize);
  mReserved = static_cast<uint16_t>((bytes[9] << 8) | bytes[10]);
  return true;
}

bool CZvMOSTHeader::operator==(const CZvMOSTHeader& o) const {
  return std::memcmp(mBytes, o.mBytes, kSize) == 0 && mReserved == o.mReserved;
}
