#include "fbkit/client/most_error_handler.h"

#include <algorithm>
#include <vector>

#include "fbkit/client/most_config.h"
#include "fbkit/client/most_message_view.h"
#include "platform/basalt/zv_thread.h"

namespace {

// The process-wide handler list. It is built on first use and deleted at
// process end together with the handlers still registered, the last first.
class CErrorHandlerList {
 public:
  ~CErrorHandlerList() {
    while (!mHandlers.empty()) {
      CZvMOSTErrorHandler* last = mHandlers.back();
      mHandlers.pop_back();
      delete last;
    }
  }
  CZvCriticalSection& lock() { return mLock; }
  std::vector<CZvMOSTErrorHandler*>& handlers() { return mHandlers; }

 private:
  CZvCriticalSection mLock;
  std::vector<CZvMOSTErrorHandler*> mHandlers;
};

CErrorHandlerList& handlerList() {
  static CErrorHandlerList list;
  return list;
}

}  // namespace

void CZvMOSTConfig::addErrorHandler(CZvMOSTErrorHandler* handler) const {
  if (handler == nullptr) return;
  CErrorHandlerList& list = handlerList();
  CZvCriticalSectionLocker locker(list.lock());
  list.handlers().push_back(handler);
}

void CZvMOSTConfig::removeErrorHandler(CZvMOSTErrorHandler* handler) const {
  CErrorHandlerList& list = handlerList();
  CZvCriticalSectionLocker locker(list.lock());
  auto& handlers = list.handlers();
  auto it = std::find(handlers.begin(), handlers.end(), handler);
  if (it != handlers.end()) handlers.erase(it);
}

std::vector<CZvMOSTErrorHandler*> CZvMOSTConfig::getErrorHandlers() const {
  // A copy taken under the lock: the dispatching thread walks it while other
  // threads may add or remove handlers.
  CErrorHandlerList& list = handlerList();
  CZvCriticalSectionLocker locker(list.lock());
  return list.handlers();
}

void CZvMOSTErrorHandler::publish(const CZvMOSTMessageData& message) {
  const CZvByteStream& payload = ZvMOSTMessageView::payload(message);
  const uint8_t* p = payload.getData();
  const uint32_t size = payload.getSize();
  const uint16_t fblockKey = static_cast<uint16_t>((ZvMOSTMessageView::fblockID(message) << 8) |
                                                   ZvMOSTMessageView::instID(message));
  const uint16_t functionID = ZvMOSTMessageView::functionID(message);
  switch (ZvMOSTMessageView::opType(message)) {
    case 15: {  // Error: code, then error info
      if (size == 0) return;
      CZvByteStream info(p + 1, size - 1);
      onErrorReport(fblockKey, functionID, p[0], info);
      break;
    }
    case 9: {  // ErrorAck: sender handle, code, then error info
      if (size <= 2) return;
      const uint16_t handle = static_cast<uint16_t>((p[0] << 8) | p[1]);
      CZvByteStream info(p + 3, size - 3);
      onErrorAckReport(fblockKey, functionID, handle, p[2], info);
      break;
    }
    default:
      break;
  }
}

void CZvMOSTErrorHandler::publishWithEventCheck(const CZvLogDevInfoData& data,
                                                int32_t transmissionInfo) {
  switch (data.reason) {
    case CZvLogDevInfoData::REASON_METHOD_TIMEOUT:
    case CZvLogDevInfoData::REASON_NOTIFICATION_TIMEOUT:
    case CZvLogDevInfoData::REASON_STATUS_TIMEOUT:
    case CZvLogDevInfoData::REASON_GET_TIMEOUT:
      onLogDevEvent(data, transmissionInfo);
      return;
    default:
      break;
  }
  if (transmissionInfo == 5 || transmissionInfo == 6 || transmissionInfo == 7 ||
      transmissionInfo == 9) {
    onTransmissionError(data.fblockKey, data.functionID, transmissionInfo);
  }
}
