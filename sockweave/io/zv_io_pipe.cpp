#include "sockweave/io/zv_io_pipe.h"

#include <sys/socket.h>
#include <unistd.h>

namespace ZvIO {

bool Pipe::create(int descriptors[2]) {
  return ::socketpair(AF_UNIX, SOCK_STREAM, 0, descriptors) == 0;
}

void Pipe::destroy(int descriptors[2]) {
  for (int i = 0; i < 2; ++i) {
    // Not repeated after EINTR: the number is released either way on Linux.
    if (descriptors[i] >= 0) ::close(descriptors[i]);
    descriptors[i] = -1;
  }
}

}  // namespace ZvIO
