// Makes a socket non-blocking for a scope and then puts its old mode back,
// leaving errno as the scope left it.
#ifndef SOCKWEAVE_ZV_SOCKET_UNBLOCKER_H
#define SOCKWEAVE_ZV_SOCKET_UNBLOCKER_H

struct SZvSocketUnblocker {
  explicit SZvSocketUnblocker(int fd);
  ~SZvSocketUnblocker();
  SZvSocketUnblocker(const SZvSocketUnblocker&) = delete;
  SZvSocketUnblocker& operator=(const SZvSocketUnblocker&) = delete;

  int mFd;
  bool mWasBlocking;
};

#endif  // SOCKWEAVE_ZV_SOCKET_UNBLOCKER_H
