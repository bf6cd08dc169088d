// Base classes of the handlers that the dispatcher runs for descriptor events.
#ifndef SOCKWEAVE_IO_ZV_IO_HANDLER_H
#define SOCKWEAVE_IO_ZV_IO_HANDLER_H

#include <errno.h>

#include <cstdint>

#include "platform/basalt/zv_noncopyable.h"
#include "sockweave/io/zv_io_error.h"

namespace ZvIO {

// Event bits handed to handlers and taken by Dispatcher::doEnqueueEvent().
// These are the dispatch layer's own values, not those of the host's <poll.h>.
enum : int {
  kPollRdNorm = 0x01,
  kPollWrNorm = 0x02,
  kPollRdBand = 0x04,
  kPollPri = 0x08,
  kPollWrBand = 0x10,
  kPollErr = 0x20,
  kPollHup = 0x40,
  kPollNval = 0x80,
  kPollIn = kPollRdNorm | kPollRdBand,  // 5
  kPollOut = kPollWrNorm,               // 2
};

namespace ZvPrivate {
class EventEntry;
}

class HandlerBase : public CZvNonCopyable {
 public:
  explicit HandlerBase(uint32_t key = 0) : mKey(key) {}
  virtual ~HandlerBase() = default;

  // Runs for an event on descriptor; returning true keeps the handler queued.
  virtual bool handleEvent(int descriptor, int pollEvents) = 0;

  // Handlers are removed by key (Dispatcher::removeEvent).
  uint32_t getKey() const { return mKey; }
  void setKey(uint32_t key) { mKey = key; }

 private:
  friend class ZvPrivate::EventEntry;
  HandlerBase* mNext = nullptr;  // next in its queue; null for the last
  uint32_t mKey;
};

namespace ZvPrivate {

// A handler that waits for a non-blocking connect to finish.
class ConnectHandlerBase : public HandlerBase {
 public:
  explicit ConnectHandlerBase(uint32_t key = 0) : HandlerBase(key) {}

  // Resolves the connect: a settled state is returned as it is; while it is
  // in progress the socket's pending error decides (0, its error code, or
  // kOtherError when it cannot be read). The result is kept.
  error_code doEval(int descriptor);

  error_code getConnectState() const { return mConnectState; }
  void setConnectState(error_code state) { mConnectState = state; }

 private:
  error_code mConnectState = EINPROGRESS;  // while the connect runs
};

}  // namespace ZvPrivate
}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_HANDLER_H
