// A small dispatch layer in the style of the QNX one, built on Linux epoll.
//
// A dispatch handle watches descriptors (select attach) and receives pulses:
// small (code, value) messages sent over a connection to the handle, either by
// pulse_send() from any thread or by the pulse timers of pulse_timer.h. A
// dispatch context blocks for exactly one event at a time (dispatch_block)
// and then runs its handler (dispatch_handler) on the calling thread.
//
// Readiness is level-triggered: an attachment with SELECT_FLAG_REARM keeps
// reporting while the descriptor stays ready; without it the attachment is
// dropped after its first report. Changes of attachments are collected and
// handed to the kernel just before the next wait, so a detach followed by an
// attach of the same descriptor costs at most one system call.
//
// Threads: the handle's descriptor table belongs to the thread that runs the
// contexts; pulse_send() and the timer functions may be called from any thread.
#ifndef PLATFORM_QNX_DISPATCH_H
#define PLATFORM_QNX_DISPATCH_H

#include <cstdint>

namespace qnx {

struct dispatch_t;
struct dispatch_context_t;

// Flags of select_attach() and of the select handler's flags argument.
enum : unsigned {
  SELECT_FLAG_READ = 0x01,    // readable, or hung up / failed
  SELECT_FLAG_WRITE = 0x02,   // writable, or hung up / failed
  SELECT_FLAG_EXCEPT = 0x04,  // out-of-band data
  SELECT_FLAG_REARM = 0x08,   // attach only: keep the attachment after a report
};

// Pulse codes that applications may use, and the request to allocate one.
constexpr int PULSE_CODE_MINAVAIL = 0;
constexpr int PULSE_CODE_MAXAVAIL = 127;
constexpr int PULSE_CODE_ALLOCATE = -1;

using select_func_t = int (*)(dispatch_context_t* ctp, int fd, unsigned flags, void* handle);
using pulse_func_t = int (*)(dispatch_context_t* ctp, int code, uintptr_t value, void* handle);

// Creates a dispatch handle; null (errno set) on failure.
dispatch_t* dispatch_create();
// Destroys the handle. Connections and timers still aimed at it stop
// delivering. 0, or -1 with errno EINVAL for a null handle.
int dispatch_destroy(dispatch_t* dpp);

// Watches fd for the given SELECT_FLAG_* conditions and calls func with the
// ready subset. 0, or -1 with errno: EINVAL (bad arguments), EBUSY (fd is
// already attached), EBADF/EPERM (the kernel refuses the descriptor).
int select_attach(dispatch_t* dpp, int fd, unsigned flags, select_func_t func, void* handle);
// Stops watching fd. 0, or -1 with errno EINVAL when fd is not attached.
int select_detach(dispatch_t* dpp, int fd);

// Calls func for pulses with the given code (or a newly allocated one for
// PULSE_CODE_ALLOCATE). Returns the code, or -1 with errno EINVAL/EBUSY/EAGAIN.
int pulse_attach(dispatch_t* dpp, int code, pulse_func_t func, void* handle);
// 0, or -1 with errno EINVAL when nothing is attached to the code.
int pulse_detach(dispatch_t* dpp, int code);

// Opens a connection to the handle for pulses; its id (>= 1) or -1.
int message_connect(dispatch_t* dpp);
// Closes a connection. 0, or -1 with errno EINVAL for an unknown id.
int connect_detach(int coid);
// Queues a pulse for the handle behind the connection; thread-safe.
// 0, or -1 with errno EINVAL (unknown connection or code out of range).
int pulse_send(int coid, int priority, int code, uintptr_t value);

// A context receives and runs events of one handle on one thread.
dispatch_context_t* dispatch_context_alloc(dispatch_t* dpp);
void dispatch_context_free(dispatch_context_t* ctp);

// Blocks until one event is there and stores it in the context. Returns the
// context, or null with errno set (EINTR when a signal interrupted the wait).
dispatch_context_t* dispatch_block(dispatch_context_t* ctp);
// Runs the handler of the event stored by dispatch_block(). 0, or -1 with
// errno EINVAL when no event is stored.
int dispatch_handler(dispatch_context_t* ctp);

}  // namespace qnx

#endif  // PLATFORM_QNX_DISPATCH_H
