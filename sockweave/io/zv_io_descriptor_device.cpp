#include "sockweave/io/zv_io_descriptor_device.h"

#include <errno.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/basalt/zv_assert.h"
#include "sockweave/io/zv_io_dispatcher.h"

namespace ZvIO {

namespace {
constexpr const char* kAssertSource = "DescriptorDevice";
constexpr int kBadReadArgumentsLine = 44;
constexpr int kBadWriteArgumentsLine = 75;
}  // namespace

long DescriptorDevice::readOnce(void* buffer, size_t size) {
  return static_cast<long>(::read(mDescriptor, buffer, size));
}

long DescriptorDevice::writeOnce(const void* data, size_t size) {
  if (!mNotASocket) {
    // send() with MSG_NOSIGNAL: a vanished peer must not kill the process.
    const long rc = static_cast<long>(::send(mDescriptor, data, size, MSG_NOSIGNAL));
    if (rc >= 0 || errno != ENOTSOCK) return rc;
    mNotASocket = true;
  }
  return static_cast<long>(::write(mDescriptor, data, size));
}

size_t DescriptorDevice::read_all(void* buffer, size_t size, error_code& ec) {
  if (buffer == nullptr || size == 0) {
    doCheapAssert(kBadReadArgumentsLine, kAssertSource);
    ec = EINVAL;
    return 0;
  }
  auto* bytes = static_cast<char*>(buffer);
  size_t total = 0;
  ec = kSuccess;
  while (total < size) {
    const long rc = readOnce(bytes + total, size - total);
    if (rc > 0) {
      total += static_cast<size_t>(rc);
    } else if (rc == 0) {
      ec = kEndOfData;
      break;
    } else if (errno != EINTR) {
      ec = ZvPrivate::to_error_code(errno);
      break;
    }
  }
  return total;
}

size_t DescriptorDevice::read_some(void* buffer, size_t size, error_code& ec) {
  const long rc = readOnce(buffer, size);
  if (rc < 0) {
    ec = ZvPrivate::to_error_code(errno);
    return 0;
  }
  ec = (rc == 0 && size != 0) ? kEndOfData : kSuccess;
  return static_cast<size_t>(rc);
}

size_t DescriptorDevice::write_all(const void* data, size_t size, error_code& ec) {
  if (data == nullptr || size == 0) {
    doCheapAssert(kBadWriteArgumentsLine, kAssertSource);
    ec = EINVAL;
    return 0;
  }
  const auto* bytes = static_cast<const char*>(data);
  size_t total = 0;
  ec = kSuccess;
  while (total < size) {
    const long rc = writeOnce(bytes + total, size - total);
    if (rc > 0) {
      total += static_cast<size_t>(rc);
    } else if (rc < 0 && errno == EINTR) {
      continue;
    } else {
      // A write of 0 bytes makes no progress; report it rather than spin.
      ec = rc < 0 ? ZvPrivate::to_error_code(errno) : kOtherError;
      break;
    }
  }
  return total;
}

size_t DescriptorDevice::write_some(const void* data, size_t size, error_code& ec) {
  const long rc = writeOnce(data, size);
  if (rc < 0) {
    ec = ZvPrivate::to_error_code(errno);
    return 0;
  }
  ec = kSuccess;
  return static_cast<size_t>(rc);
}

error_code DescriptorDevice::close() {
  if (mDescriptor == -1) return kSuccess;
  if (mDispatcher != nullptr) mDispatcher->doRemoveAll(mDescriptor);
  // Not repeated after EINTR: Linux has released the number already, and a
  // second close could hit a descriptor that another thread just opened.
  int rc = ::close(mDescriptor);
  const error_code ec = (rc != 0 && errno != EINTR) ? ZvPrivate::to_error_code(errno) : kSuccess;
  mDescriptor = -1;
  mNotASocket = false;
  return ec;
}

}  // namespace ZvIO
