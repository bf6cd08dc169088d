// DSYSMOSTServer costs: the wire encoding of a requestProcessMessage with a
// 45-byte payload, and round trips from this process through a server
// process and back as informationProcessMessage.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "fbkit/client/dsysmost_client_base.h"
#include "fbkit/client/dsysmost_request.h"
#include "fbkit/client/dsysmost_wire_codec.h"
#include "fbkit/client/tests/dsysmost_process.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_broker.h"

using namespace DSYSMOSTTypes;

namespace {

MessageType message45() {
  MessageType m;
  m.transmissionVariant.setTXControl(TX_CONTROL_NONE);
  m.header = {0x0101, 0x0100, 0x22, 0x01, 0x0C2, 0x0C, 0x00070100};
  std::vector<uint8_t> payload(45);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i);
  m.data = CZvBuffer(payload.data(), 45);
  return m;
}

void BM_WireEncodeProcessMessage(benchmark::State& state) {
  CDSYSMOSTServerRequest request(DSYSMOSTServer::requestProcessMessageId);
  request.processMessage = {7, message45()};
  CZvQRVOStream out;
  for (auto _ : state) {
    out.clear();
    request.writeQRV(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = out.size();
}
BENCHMARK(BM_WireEncodeProcessMessage);

void BM_WireDecodeProcessMessage(benchmark::State& state) {
  CDSYSMOSTServerRequest request(DSYSMOSTServer::requestProcessMessageId);
  request.processMessage = {7, message45()};
  CZvQRVOStream out;
  request.writeQRV(out);
  CDSYSMOSTServerRequest decoded;
  for (auto _ : state) {
    CZvQRVIStream in(out.data(), out.size());
    bool ok = decoded.readQRV(DSYSMOSTServer::requestProcessMessageId, in);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_WireDecodeProcessMessage);

// A client that ends the loop's run() once the awaited number of messages is
// back.
class EchoClient : public CDSYSMOSTServerClientBase {
 public:
  explicit EchoClient(const CZvString& role) : CDSYSMOSTServerClientBase(role) {}
  void componentConnected(CZvProxyBase*) override { CZvEventLoop::current().quit(); }
  void componentDisconnected(CZvProxyBase*) override {}
  void responseMOSTClient(uint32_t, uint16_t) override { CZvEventLoop::current().quit(); }
  void informationProcessMessage(const MessageType&) override {
    if (++received == awaited) CZvEventLoop::current().quit();
  }
  uint32_t received = 0;
  uint32_t awaited = 0;
};

struct ServerFixture {
  pid_t server = -1;
  std::unique_ptr<EchoClient> client;

  ServerFixture() {
    std::string ns = "bench" + std::to_string(getpid());
    CZvServiceBroker::setNamespace(ns.c_str());
    server = zv_test::spawnServer(ZV_DSYSMOST_TEST_SERVER, ns, "bench");
    client = std::make_unique<EchoClient>("bench");
    CZvEventLoop::current().run();  // until connected
    std::vector<uint32_t> ids = {DSYSMOSTServer::informationProcessMessageId};
    client->registerMOSTClientExt(ids, "bench");
    CZvEventLoop::current().run();  // until registered
  }
  ~ServerFixture() {
    client.reset();
    zv_test::killServer(server);
  }
};

ServerFixture& fixture() {
  static ServerFixture* f = new ServerFixture();
  return *f;
}

void BM_ProcessRoundTrip(benchmark::State& state) {
  ServerFixture& f = fixture();
  MessageType m = message45();
  std::vector<double> micros;
  micros.reserve(1 << 20);
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    f.client->received = 0;
    f.client->awaited = 1;
    f.client->requestProcessMessage(7, m);
    CZvEventLoop::current().run();
    micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(micros.begin(), micros.end());
  if (!micros.empty()) {
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProcessRoundTrip)->UseRealTime()->MinTime(2.0);

// A burst of 100 messages, sent one request each or as one vector request;
// done when all 100 came back.
void BM_ProcessBurst(benchmark::State& state) {
  ServerFixture& f = fixture();
  const bool asVector = state.range(0) != 0;
  MessageVector burst(100, message45());
  for (auto _ : state) {
    f.client->received = 0;
    f.client->awaited = static_cast<uint32_t>(burst.size());
    if (asVector) {
      f.client->requestProcessMessageVector(7, burst);
    } else {
      for (const MessageType& m : burst) f.client->requestProcessMessage(7, m);
    }
    CZvEventLoop::current().run();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(burst.size()));
}
BENCHMARK(BM_ProcessBurst)->Arg(0)->Arg(1)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
