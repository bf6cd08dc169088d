#include "sockweave/zv_socket_unblocker.h"

#include <errno.h>

#include "sockweave/zv_socket_api.h"

SZvSocketUnblocker::SZvSocketUnblocker(int fd) : mFd(fd), mWasBlocking(ZvSocket::isBlocking(fd)) {
  if (mWasBlocking) ZvSocket::setBlockingMode(mFd, false);
}

SZvSocketUnblocker::~SZvSocketUnblocker() {
  if (!mWasBlocking) return;
  const int savedErrno = errno;
  ZvSocket::setBlockingMode(mFd, true);
  errno = savedErrno;
}
