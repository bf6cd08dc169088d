// A descriptor with whole-buffer and single-call reads and writes, closed
// together with the handlers queued on it.
#ifndef SOCKWEAVE_IO_ZV_IO_DESCRIPTOR_DEVICE_H
#define SOCKWEAVE_IO_ZV_IO_DESCRIPTOR_DEVICE_H

#include <cstddef>

#include "platform/basalt/zv_noncopyable.h"
#include "sockweave/io/zv_io_error.h"

namespace ZvIO {

class Dispatcher;

class DescriptorDevice : public CZvNonCopyable {
 public:
  // dispatcher may be null; descriptor -1 means closed. The device does not
  // close the descriptor when it is destroyed; call close().
  explicit DescriptorDevice(Dispatcher* dispatcher = nullptr, int descriptor = -1)
      : mDispatcher(dispatcher), mDescriptor(descriptor) {}

  // Reads until size bytes are in (repeating after EINTR). ec: 0 when all
  // came, kEndOfData when the data ended first, else the error code. A null
  // buffer or size 0 is a cheap assertion and gives EINVAL. Returns the
  // bytes read.
  size_t read_all(void* buffer, size_t size, error_code& ec);
  // One read. ec: 0, kEndOfData at the end of data, or the error code.
  // Returns the bytes read (0 on error).
  size_t read_some(void* buffer, size_t size, error_code& ec);
  // Writes until size bytes are out; as read_all. Never raises SIGPIPE on
  // sockets. Returns the bytes written.
  size_t write_all(const void* data, size_t size, error_code& ec);
  // One write; returns the bytes written (0 on error).
  size_t write_some(const void* data, size_t size, error_code& ec);

  // Removes the descriptor's handlers from the dispatcher and closes it.
  // 0 (also when already closed) or the error code of close().
  error_code close();

  int getDescriptor() const { return mDescriptor; }
  void setDescriptor(int descriptor) { mDescriptor = descriptor; }
  Dispatcher* getDispatcher() const { return mDispatcher; }

 private:
  // One read or write; -1 with errno on failure.
  long readOnce(void* buffer, size_t size);
  long writeOnce(const void* data, size_t size);

  Dispatcher* mDispatcher;
  int mDescriptor;
  bool mNotASocket = false;  // learnt from the first write
};

}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_DESCRIPTOR_DEVICE_H
