// The handlers queued on one descriptor: at most one read handler and a FIFO
// queue of write handlers. Internal to the dispatcher.
#ifndef SOCKWEAVE_IO_ZV_IO_EVENT_ENTRY_H
#define SOCKWEAVE_IO_ZV_IO_EVENT_ENTRY_H

#include <cstdint>

#include "sockweave/io/zv_io_handler.h"

namespace ZvIO {
namespace ZvPrivate {

class EventEntry {
 public:
  EventEntry() = default;
  ~EventEntry() { deleteAll(); }
  EventEntry(const EventEntry&) = delete;
  EventEntry& operator=(const EventEntry&) = delete;

  // kPollIn when there is a read handler, plus kPollOut when writers wait.
  int mask() const { return (mRead ? kPollIn : 0) | (mWriteCount ? kPollOut : 0); }

  HandlerBase* readHandler() const { return mRead; }
  // Puts a read handler in place and returns the one it replaced, if any.
  HandlerBase* exchangeReadHandler(HandlerBase* handler);
  HandlerBase* takeReadHandler() { return exchangeReadHandler(nullptr); }

  uint32_t writeCount() const { return mWriteCount; }
  void appendWriter(HandlerBase* handler);
  void prependWriter(HandlerBase* handler);
  HandlerBase* popFirstWriter();
  // Puts other's writers in front of this entry's writers; other is left empty.
  void prependWritersOf(EventEntry& other);
  // Moves every handler into other (which must be empty).
  void moveAllTo(EventEntry& other);

  // Deletes the read handler with key, or else every writer with key (the
  // others keep their order). True if something was deleted.
  bool removeByKey(uint32_t key);
  void deleteAll();

  // While the handlers of this descriptor run, they sit in this backup entry.
  EventEntry* backup = nullptr;
  // The mask the dispatch layer is watching the descriptor for.
  int attachedMask = 0;

 private:
  HandlerBase* mRead = nullptr;
  HandlerBase* mWriteHead = nullptr;
  HandlerBase* mWriteTail = nullptr;
  uint32_t mWriteCount = 0;
};

}  // namespace ZvPrivate
}  // namespace ZvIO

#endif  // SOCKWEAVE_IO_ZV_IO_EVENT_ENTRY_H
