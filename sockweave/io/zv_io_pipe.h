// A bidirectional pipe made of a connected pair of local stream sockets.
#ifndef SOCKWEAVE_IO_ZV_IO_PIPE_H
#define SOCKWEAVE_IO_ZV_IO_PIPE_H

namespace ZvIO {

struct Pipe {
  // Fills descriptors with the two connected ends; true on success.
  static bool create(int descriptors[2]);
  // Closes both ends that are open and sets them to -1.
  static void destroy(int descriptors[2]);
};

}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_PIPE_H
