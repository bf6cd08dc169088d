#include "sockweave/io/zv_io_error.h"

#include <errno.h>

namespace ZvIO {
namespace ZvPrivate {

error_code to_error_code(int error) {
  switch (error) {
    case 0:
    case EINTR:
    case EBADF:
    case EAGAIN:
    case EACCES:
    case EINVAL:
    case EMFILE:
    case EPIPE:
    case EINPROGRESS:
    case ECONNRESET:
    case EISCONN:
    case ENOTCONN:
    case ECONNREFUSED:
      return error;
    default:
      return kOtherError;
  }
}

}  // namespace ZvPrivate
}  // namespace ZvIO
