#include "sockweave/io/zv_io_event_entry.h"

namespace ZvIO {
namespace ZvPrivate {

HandlerBase* EventEntry::exchangeReadHandler(HandlerBase* handler) {
  HandlerBase* previous = mRead;
  mRead = handler;
  return previous;
}

void EventEntry::appendWriter(HandlerBase* handler) {
  handler->mNext = nullptr;
  if (mWriteTail) {
    mWriteTail->mNext = handler;
  } else {
    mWriteHead = handler;
  }
  mWriteTail = handler;
  ++mWriteCount;
}

void EventEntry::prependWriter(HandlerBase* handler) {
  handler->mNext = mWriteHead;
  mWriteHead = handler;
  if (!mWriteTail) mWriteTail = handler;
  ++mWriteCount;
}

HandlerBase* EventEntry::popFirstWriter() {
  HandlerBase* first = mWriteHead;
  if (!first) return nullptr;
  mWriteHead = first->mNext;
  if (!mWriteHead) mWriteTail = nullptr;
  first->mNext = nullptr;
  --mWriteCount;
  return first;
}

void EventEntry::prependWritersOf(EventEntry& other) {
  if (!other.mWriteHead) return;
  other.mWriteTail->mNext = mWriteHead;
  if (!mWriteTail) mWriteTail = other.mWriteTail;
  mWriteHead = other.mWriteHead;
  mWriteCount += other.mWriteCount;
  other.mWriteHead = other.mWriteTail = nullptr;
  other.mWriteCount = 0;
}

void EventEntry::moveAllTo(EventEntry& other) {
  other.mRead = mRead;
  other.mWriteHead = mWriteHead;
  other.mWriteTail = mWriteTail;
  other.mWriteCount = mWriteCount;
  mRead = mWriteHead = mWriteTail = nullptr;
  mWriteCount = 0;
}

bool EventEntry::removeByKey(uint32_t key) {
  if (mRead && mRead->getKey() == key) {
    delete mRead;
    mRead = nullptr;
    return true;
  }
  bool removed = false;
  HandlerBase* previous = nullptr;
  for (HandlerBase* current = mWriteHead; current;) {
    HandlerBase* next = current->mNext;
    if (current->getKey() == key) {
      if (previous) {
        previous->mNext = next;
      } else {
        mWriteHead = next;
      }
      if (mWriteTail == current) mWriteTail = previous;
      --mWriteCount;
      delete current;
      removed = true;
    } else {
      previous = current;
    }
    current = next;
  }
  return removed;
}

void EventEntry::deleteAll() {
  delete mRead;
  mRead = nullptr;
  while (HandlerBase* writer = popFirstWriter()) delete writer;
}

}  // namespace ZvPrivate
}  // namespace ZvIO
