// Commands dispatched per second on one thread, from informationProcessMessage
// to the device's answer handed to the client for sending.
#include <benchmark/benchmark.h>

#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/tests/fblock_test_support.h"

namespace {

class CountingClient : public CZvMOSTClientImpl {
 public:
  CountingClient() : CZvMOSTClientImpl("FBlockBenchRole") {}
  void requestServerProcessMessage(const DSYSMOSTTypes::MessageType&, bool) override { ++answers; }
  uint64_t answers = 0;
};

DSYSMOSTTypes::MessageType commandFor(uint16_t fktID, uint8_t opType) {
  DSYSMOSTTypes::MessageType msg;
  msg.transmissionVariant.setTransmissionInfo(DSYSMOSTTypes::TRANSMISSION_INFO_NONE);
  msg.header.sourceAddress = 0x0101;
  msg.header.fblockID = 0x22;
  msg.header.instID = 0x01;
  msg.header.functionID = fktID;
  msg.header.opType = opType;
  msg.header.routingAddress = 0x00070101;
  return msg;
}

void runCommands(benchmark::State& state, uint16_t fktID, uint8_t opType) {
  CountingClient client;
  RecordingFunction functions[] = {{0x100, true}, {0x101, true}, {0x200, false}, {0x201, false}};
  auto* device = new CZvDeviceBase(0x22, 0x01, nullptr, &client, true);
  for (auto& f : functions) device->addFunction(&f);
  client.getDeviceAdmin().addDevice(0x2201, device);
  const DSYSMOSTTypes::MessageType msg = commandFor(fktID, opType);
  for (auto _ : state) client.informationProcessMessage(msg);
  state.SetItemsProcessed(state.iterations());
  state.counters["answers"] = static_cast<double>(client.answers);
}

void BM_FktIDsGet(benchmark::State& state) { runCommands(state, 0x000, 1); }
void BM_UnknownFunction(benchmark::State& state) { runCommands(state, 0x300, 1); }
void BM_FunctionCommand(benchmark::State& state) { runCommands(state, 0x100, 1); }

BENCHMARK(BM_FktIDsGet);
BENCHMARK(BM_UnknownFunction);
BENCHMARK(BM_FunctionCommand);

}  // namespace

BENCHMARK_MAIN();
