#include "sockweave/zv_socket_stream.h"

#include <errno.h>

#include "platform/basalt/zv_assert.h"
#include "sockweave/zv_socket_api.h"
#include "sockweave/zv_socket_unblocker.h"

namespace {
// Where the null-buffer reports point, as the unit's logs have always shown.
constexpr const char* kAssertSource = "CZvSocketStream";
constexpr int kNullWriteDataLine = 116;
constexpr int kNullReadBufferLine = 190;
}  // namespace

CZvSocketStream::CZvSocketStream(CZvSocket& socket) : mSocket(socket) {}

CZvSocketStream::~CZvSocketStream() = default;

bool CZvSocketStream::waitToRead(int timeoutMs) {
  return ZvSocket::readselect(mSocket.getDescriptor(), timeoutMs) > 0;
}

bool CZvSocketStream::waitToWrite(int timeoutMs) {
  return ZvSocket::writeselect(mSocket.getDescriptor(), timeoutMs) > 0;
}

bool CZvSocketStream::isConnected() const {
  return mSocket.isConnected() && (mState & FAILURE_CONNECTION_LOST) == 0;
}

void CZvSocketStream::noteLastResult(long result, int error, bool zeroMeansClosed) {
  if (result == 0) {
    if (zeroMeansClosed) mState |= FAILURE_CONNECTION_LOST;
    return;
  }
  if (result > 0 || error == EAGAIN || error == EWOULDBLOCK) return;
  if (error == EPIPE || error == ECONNRESET || error == ENOTCONN) {
    mState |= FAILURE_CONNECTION_LOST;
  } else {
    mState |= FAILURE_ERROR;
  }
}

uint32_t CZvSocketStream::doRead(void* buffer, uint32_t size) {
  if (buffer == nullptr && size != 0) doCheapAssert(kNullReadBufferLine, kAssertSource);
  if ((mState & (FAILURE_ERROR | FAILURE_READ_INCOMPLETE | FAILURE_CONNECTION_LOST)) != 0 ||
      buffer == nullptr) {
    return 0;
  }
  // Nothing to transfer: a receive of 0 bytes would look like a closed peer.
  if (size == 0) return 0;

  const int fd = mSocket.getDescriptor();
  auto* bytes = static_cast<uint8_t*>(buffer);
  ssize_t last = ZvSocket::recv(fd, bytes, size);
  int lastError = errno;
  uint32_t total = last > 0 ? static_cast<uint32_t>(last) : 0;
  if (last > 0 && total < size && !isUnformattedIO()) {
    // Take what has arrived already, without waiting for the rest.
    SZvSocketUnblocker unblocker(fd);
    while (total < size) {
      last = ZvSocket::recv(fd, bytes + total, size - total);
      lastError = errno;
      if (last <= 0) break;
      total += static_cast<uint32_t>(last);
    }
  }
  noteLastResult(last, lastError, true);
  if (total == 0 || (total < size && !isUnformattedIO())) mState |= FAILURE_READ_INCOMPLETE;
  return total;
}

uint32_t CZvSocketStream::doWrite(const void* data, uint32_t size) {
  if (data == nullptr && size != 0) doCheapAssert(kNullWriteDataLine, kAssertSource);
  if ((mState & (FAILURE_ERROR | FAILURE_WRITE_INCOMPLETE | FAILURE_CONNECTION_LOST)) != 0 ||
      data == nullptr) {
    return 0;
  }
  if (size == 0) return 0;

  const int fd = mSocket.getDescriptor();
  const auto* bytes = static_cast<const uint8_t*>(data);
  ssize_t last = ZvSocket::send(fd, bytes, size);
  int lastError = errno;
  uint32_t total = last > 0 ? static_cast<uint32_t>(last) : 0;
  if (last > 0 && total < size) {
    SZvSocketUnblocker unblocker(fd);
    while (total < size) {
      last = ZvSocket::send(fd, bytes + total, size - total);
      lastError = errno;
      if (last <= 0) break;
      total += static_cast<uint32_t>(last);
    }
  }
  noteLastResult(last, lastError, false);
  if (total < size) mState |= FAILURE_WRITE_INCOMPLETE;
  return total;
}
