// Error codes of the I/O dispatcher and its devices.
#ifndef SOCKWEAVE_IO_ZV_IO_ERROR_H
#define SOCKWEAVE_IO_ZV_IO_ERROR_H

namespace ZvIO {

// 0 success, -1 end of data, -2 any error not listed in to_error_code();
// otherwise the errno value itself.
using error_code = int;

constexpr error_code kSuccess = 0;
constexpr error_code kEndOfData = -1;
constexpr error_code kOtherError = -2;

namespace ZvPrivate {
// Maps errno to an error code: EINTR, EBADF, EAGAIN, EACCES, EINVAL, EMFILE,
// EPIPE, EINPROGRESS, ECONNRESET, EISCONN, ENOTCONN and ECONNREFUSED stay as
// they are, 0 stays 0, everything else becomes kOtherError.
error_code to_error_code(int error);
}  // namespace ZvPrivate

}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_ERROR_H
