#include "sockweave/io/zv_io_handler.h"

#include <sys/socket.h>

namespace ZvIO {
namespace ZvPrivate {

error_code ConnectHandlerBase::doEval(int descriptor) {
  if (mConnectState != EINPROGRESS) return mConnectState;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
    mConnectState = kOtherError;
  } else {
    mConnectState = to_error_code(error);
  }
  return mConnectState;
}

}  // namespace ZvPrivate
}  // namespace ZvIO
