// Umbrella header of libsockweave: include this to use the whole library.
#ifndef SOCKWEAVE_SOCKWEAVE_H
#define SOCKWEAVE_SOCKWEAVE_H

#include "sockweave/io/zv_io_descriptor_device.h"
#include "sockweave/io/zv_io_dispatcher.h"
#include "sockweave/io/zv_io_endpoint.h"
#include "sockweave/io/zv_io_error.h"
#include "sockweave/io/zv_io_handler.h"
#include "sockweave/io/zv_io_iov.h"
#include "sockweave/io/zv_io_native_timer.h"
#include "sockweave/io/zv_io_pipe.h"
#include "sockweave/zv_socket.h"
#include "sockweave/zv_socket_api.h"
#include "sockweave/zv_socket_server.h"
#include "sockweave/zv_socket_stream.h"

namespace zv_sockweave {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_sockweave

#endif  // SOCKWEAVE_SOCKWEAVE_H
