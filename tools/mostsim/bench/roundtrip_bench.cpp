// FktIDs round trips per second between processes: a controller here, the
// simulated server and the demo FBlock application as their own processes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_message_data.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_broker.h"

namespace {

constexpr uint16_t kKey = 0x2201;

pid_t spawn(const char* path, std::vector<const char*> args) {
  const pid_t pid = fork();
  if (pid == 0) {
    args.insert(args.begin(), path);
    args.push_back(nullptr);
    execv(path, const_cast<char* const*>(args.data()));
    _exit(127);
  }
  return pid;
}

class Controller : public CZvMOSTClientImpl, public IZvLogDevReportSink {
 public:
  Controller() : CZvMOSTClientImpl("MOSTSubSystem") {
    getLogDevAdmin().setReportSink(this);
    sendLogDevRegistration(kKey, true);
  }
  ~Controller() override { getLogDevAdmin().setReportSink(nullptr); }
  void onReport(const CZvMOSTMessageData&) override {
    ++reports;
    CZvEventLoop::current().quit();
  }
  void informationConnect(const DSYSMOSTServer::DeviceInfoVector& devices) override {
    CZvMOSTClientImpl::informationConnect(devices);
    connected = true;
  }
  uint64_t reports = 0;
  bool connected = false;
};

void BM_FktIDsRoundTripAcrossProcesses(benchmark::State& state) {
  const std::string ns = "mostsim-bench-" + std::to_string(getpid());
  setenv("ZV_QRVI_NAMESPACE", ns.c_str(), 1);
  CZvServiceBroker::setNamespace(ns.c_str());
  const pid_t server = spawn(ZV_MOSTSIM_BINARY, {});
  const pid_t fblock = spawn(ZV_DEMO_FBLOCK_BINARY, {"--fblock", "0x2201"});
  {
    Controller controller;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!controller.connected && std::chrono::steady_clock::now() < deadline) {
      CZvEventLoop::current().runUntilIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!controller.connected) {
      state.SkipWithError("the FBlock did not come up");
    } else {
      DSYSMOSTTypes::MessageType get;
      get.header.fblockID = kKey >> 8;
      get.header.instID = kKey & 0xFF;
      get.header.functionID = 0x000;
      get.header.opType = 1;
      for (auto _ : state) {
        const uint64_t before = controller.reports;
        controller.requestServerProcessMessage(get, false);
        while (controller.reports == before) CZvEventLoop::current().run();
      }
      state.SetItemsProcessed(state.iterations());
    }
  }
  CZvEventLoop::current().runUntilIdle();
  for (pid_t pid : {fblock, server}) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
}

BENCHMARK(BM_FktIDsRoundTripAcrossProcesses)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
