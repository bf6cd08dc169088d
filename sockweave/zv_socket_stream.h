// Streams bytes over a connected socket for the base library's stream users.
//
// Failures are sticky bits in a state word: once a read or write has failed,
// further reads (or writes) return 0 until resetFailure() clears the bits.
// A formatted read (the default) waits for the first bytes and then takes
// only what has already arrived; a short result sets "read incomplete".
// In unformatted mode a read returns whatever one receive brought.
#ifndef SOCKWEAVE_ZV_SOCKET_STREAM_H
#define SOCKWEAVE_ZV_SOCKET_STREAM_H

#include <cstdint>

#include "platform/basalt/zv_noncopyable.h"
#include "platform/basalt/zv_stream.h"
#include "sockweave/zv_socket.h"

class CZvSocketStream : public IZvIOStream, public CZvNonCopyable {
 public:
  enum : uint32_t {
    FAILURE_ERROR = 0x1,
    FAILURE_READ_INCOMPLETE = 0x2,
    FAILURE_WRITE_INCOMPLETE = 0x4,
    FAILURE_CONNECTION_LOST = 0x8,
    FAILURE_MASK = 0xFFFF,
    UNFORMATTED_IO = 0x10000,
  };

  // Uses socket, which must outlive the stream.
  explicit CZvSocketStream(CZvSocket& socket);
  ~CZvSocketStream() override;

  uint32_t read(void* buffer, uint32_t size) override { return doRead(buffer, size); }
  uint32_t write(const void* data, uint32_t size) override { return doWrite(data, size); }

  // True when the socket becomes readable (writable) within timeoutMs (< 0: no limit).
  virtual bool waitToRead(int timeoutMs);
  virtual void ready() {}
  virtual uint32_t doRead(void* buffer, uint32_t size);
  virtual void flush() {}
  virtual bool waitToWrite(int timeoutMs);
  // The socket is connected and the connection has not been lost.
  virtual bool isConnected() const;
  virtual uint32_t doWrite(const void* data, uint32_t size);

  bool isSocketValid() const { return mSocket.getDescriptor() != -1; }
  uint32_t getFailure() const { return mState & FAILURE_MASK; }
  void resetFailure(uint32_t bits) { mState = (mState & ~FAILURE_MASK) | (bits & FAILURE_MASK); }
  void setUnformattedIO(bool on) { mState = on ? (mState | UNFORMATTED_IO) : (mState & ~UNFORMATTED_IO); }
  bool isUnformattedIO() const { return (mState & UNFORMATTED_IO) != 0; }

 private:
  // Sets the bits that the last transfer call's result and errno call for.
  void noteLastResult(long result, int error, bool zeroMeansClosed);

  CZvSocket& mSocket;
  uint32_t mState = 0;
};

#endif  // SOCKWEAVE_ZV_SOCKET_STREAM_H
