// mostcall: sends one MOST command to an FBlock through the MOST server and
// prints what comes back, in the MOST spy format.
//
//   mostcall [--role NAME] [--timeout MS] FBLOCKKEY FKTID OPTYPE [BYTE...]
//
// FBLOCKKEY is FBlock ID and instance ID in one 16-bit number (0x2201),
// OPTYPE a number or Set, Get, SetGet, Increment, Decrement, GetInterface,
// BYTEs the payload (0x12 or 18). Exit status 0 when a report arrived,
// 1 when the command failed or nothing came back in time, 2 for bad usage.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_view.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_timer.h"

namespace {

bool parseNumber(const char* text, unsigned long max, unsigned long& value) {
  if (text == nullptr || *text == '\0' || *text == '-') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoul(text, &end, 0);
  return errno == 0 && *end == '\0' && value <= max;
}

bool parseOpType(const char* text, uint8_t& opType) {
  static const char* const names[] = {"Set", "Get", "SetGet", "Increment", "Decrement", "GetInterface"};
  for (uint8_t i = 0; i < 6; ++i) {
    if (std::strcmp(text, names[i]) == 0) {
      opType = i;
      return true;
    }
  }
  unsigned long value = 0;
  if (!parseNumber(text, 15, value)) return false;
  opType = static_cast<uint8_t>(value);
  return true;
}

// One line as the MOST spy prints it, and the payload underneath.
void printSpy(uint16_t source, uint16_t target, uint8_t fblockID, uint8_t instID, uint16_t fktID,
              uint8_t opType, const uint8_t* data, uint32_t size, uint32_t clientID,
              const char* direction) {
  if (clientID == 0) {
    std::printf("[%04X->%04X] %02X %02X %04X %02X %04X [EXT] [%s]\n", source, target, fblockID,
                instID, fktID, opType, size, direction);
  } else {
    std::printf("[%04X->%04X] %02X %02X %04X %02X %04X [%u] [%s]\n", source, target, fblockID,
                instID, fktID, opType, size, clientID, direction);
  }
  if (size > 0) {
    std::string hex;
    char byte[4];
    for (uint32_t i = 0; i < size; ++i) {
      std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", data[i]);
      hex += byte;
    }
    std::printf("       Data: %s\n", hex.c_str());
  }
  std::fflush(stdout);
}

// Ends the wait when nothing came back in time.
class CTimeout : public IZvTimerConsumer {
 public:
  void processEvent(const CZvTimerEvent&) override {
    std::fprintf(stderr, "mostcall: no answer\n");
    CZvEventLoop::current().quit();
  }
};

class CMostCall : public CZvMOSTClientImpl, private IZvLogDevReportSink {
 public:
  CMostCall(const char* role, DSYSMOSTTypes::MessageType command, uint32_t timeoutMs)
      : CZvMOSTClientImpl(role), mCommand(std::move(command)), mTimer(mTimeout, "mostcall timeout") {
    getLogDevAdmin().setReportSink(this);
    sendLogDevRegistration(static_cast<uint16_t>((mCommand.header.fblockID << 8) | mCommand.header.instID),
                           true);
    mTimer.start(timeoutMs);
  }
  ~CMostCall() override { getLogDevAdmin().setReportSink(nullptr); }

  int result() const { return mResult; }

  // The command goes out once the client is registered and knows its node.
  void responseMOSTClient(uint32_t clientID, uint16_t deviceID) override {
    CZvMOSTClientImpl::responseMOSTClient(clientID, deviceID);
    sendWhenReady();
  }
  void onDeviceIDUpdate(uint16_t id, ZvServices::DataStateType state) override {
    CZvMOSTClientImpl::onDeviceIDUpdate(id, state);
    sendWhenReady();
  }

 private:
  void sendWhenReady() {
    if (mSent || !isRegistered() || getNodeDeviceID() == 0) return;
    mSent = true;  // a reconnection does not repeat the command
    mCommand.header.targetAddress = getOwnDeviceID();
    printSpy(getNodeDeviceID(), mCommand.header.targetAddress, mCommand.header.fblockID,
             mCommand.header.instID, mCommand.header.functionID, mCommand.header.opType,
             mCommand.data.getData(), mCommand.data.getSize(), getClientID(), "TX");
    requestServerProcessMessage(mCommand, false);
  }
  void onReport(const CZvMOSTMessageData& m) override {
    const bool failed = m.transmissionInfo >= 4 && m.transmissionInfo <= 9;
    char direction[32];
    std::snprintf(direction, sizeof direction, failed ? "TX FAILED TI %d" : "RX", m.transmissionInfo);
    printSpy(m.header.getDeviceID(), getOwnDeviceID(), m.header.getFBlockID(), m.header.getInstID(),
             m.header.getFunctionID(), m.header.getOpType(), m.data.getData(), m.data.getSize(),
             getClientID(), direction);
    if (m.header.getFunctionID() != mCommand.header.functionID) return;
    mResult = failed ? 1 : 0;
    CZvEventLoop::current().quit();
  }
  DSYSMOSTTypes::MessageType mCommand;
  CTimeout mTimeout;
  CZvTimer mTimer;
  bool mSent = false;
  int mResult = 1;
};

int usage() {
  std::fprintf(stderr,
               "usage: mostcall [--role NAME] [--timeout MS] FBLOCKKEY FKTID OPTYPE [BYTE...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* role = "MOSTSubSystem";
  unsigned long timeoutMs = 2000;
  int i = 1;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    if (std::strcmp(argv[i], "--role") == 0 && i + 1 < argc) {
      role = argv[++i];
    } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      if (!parseNumber(argv[++i], 600000, timeoutMs)) return usage();
    } else {
      return usage();
    }
  }
  if (argc - i < 3) return usage();
  unsigned long key = 0;
  unsigned long fktID = 0;
  uint8_t opType = 0;
  if (!parseNumber(argv[i], 0xFFFF, key) || !parseNumber(argv[i + 1], 0xFFF, fktID) ||
      !parseOpType(argv[i + 2], opType)) {
    return usage();
  }
  std::vector<uint8_t> payload;
  for (int j = i + 3; j < argc; ++j) {
    unsigned long byte = 0;
    if (!parseNumber(argv[j], 0xFF, byte)) return usage();
    payload.push_back(static_cast<uint8_t>(byte));
  }

  DSYSMOSTTypes::MessageType command;
  command.header.fblockID = static_cast<uint8_t>(key >> 8);
  command.header.instID = static_cast<uint8_t>(key);
  command.header.functionID = static_cast<uint16_t>(fktID);
  command.header.opType = opType;
  command.data = CZvBuffer(payload.data(), static_cast<uint32_t>(payload.size()));

  CMostCall call(role, command, static_cast<uint32_t>(timeoutMs));
  CZvEventLoop::current().run();
  return call.result();
}
