// Event throughput: dispatch on one thread, and posting across threads.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "platform/basalt/zv_event.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_string.h"
#include "platform/basalt/zv_test_clock.h"
#include "platform/basalt/zv_timer.h"
#include "platform/basalt/zv_trace.h"

namespace {

class CountingConsumer : public IZvEventConsumer {
 public:
  uint64_t count = 0;
};

class CBenchEvent : public CZvInternalEvent {
 public:
  static const CZvClassID sBenchClassID;
  const CZvClassID& getClassID() const override { return sBenchClassID; }
  void dispatchSelf(CZvEventDispatcher& dispatcher) override {
    deliverEvent(dispatcher, sBenchClassID,
                 [](IZvEventConsumer* consumer) { ++static_cast<CountingConsumer*>(consumer)->count; });
  }
};
const CZvClassID CBenchEvent::sBenchClassID("CBenchEvent");

void sendTo(IZvEventConsumer* target) {
  auto* event = new CBenchEvent();
  event->setTarget(target);
  event->send();
}

// Send and dispatch on the same thread, in batches of range(0).
void BM_SameThreadEvents(benchmark::State& state) {
  CountingConsumer consumer;
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) sendTo(&consumer);
    CZvEventLoop::current().runUntilIdle();
  }
  state.SetItemsProcessed(static_cast<int64_t>(consumer.count));
}
BENCHMARK(BM_SameThreadEvents)->Arg(1)->Arg(100)->Arg(10000);

// A producer thread posts range(0) events to a consumer whose thread runs
// its loop; measures until the last one is delivered.
void BM_CrossThreadEvents(benchmark::State& state) {
  CountingConsumer consumer;
  const int batch = static_cast<int>(state.range(0));
  uint64_t expected = 0;
  for (auto _ : state) {
    expected += static_cast<uint64_t>(batch);
    std::thread producer([&] {
      for (int i = 0; i < batch; ++i) sendTo(&consumer);
    });
    while (consumer.count < expected) CZvEventLoop::current().runUntilIdle();
    producer.join();
  }
  state.SetItemsProcessed(static_cast<int64_t>(consumer.count));
}
BENCHMARK(BM_CrossThreadEvents)->Arg(10000)->Arg(100000)->UseRealTime();

// Broadcast to one listener on this thread (class-ID lookup per send).
void BM_ListenerBroadcast(benchmark::State& state) {
  CountingConsumer consumer;
  CZvEvent::addListener(CBenchEvent::sBenchClassID, &consumer);
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) (new CBenchEvent())->send();
    CZvEventLoop::current().runUntilIdle();
  }
  CZvEvent::removeListener(CBenchEvent::sBenchClassID, &consumer);
  state.SetItemsProcessed(static_cast<int64_t>(consumer.count));
}
BENCHMARK(BM_ListenerBroadcast);

class NullTimerConsumer : public IZvTimerConsumer {
 public:
  void processEvent(const CZvTimerEvent&) override { ++count; }
  uint64_t count = 0;
};

// Virtual-time expiries of 100 repeating timers.
void BM_TimerExpiries(benchmark::State& state) {
  ZvTestClock::enable();
  NullTimerConsumer consumer;
  std::vector<std::unique_ptr<CZvTimer>> timers;
  for (int i = 0; i < 100; ++i) {
    timers.push_back(std::make_unique<CZvTimer>(consumer, "bench"));
    timers.back()->start(1 + i % 7, CZvTimer::CONTINUOUSLY);
  }
  for (auto _ : state) ZvTestClock::advance(10);
  timers.clear();
  ZvTestClock::disable();
  state.SetItemsProcessed(static_cast<int64_t>(consumer.count));
}
BENCHMARK(BM_TimerExpiries);

void BM_StringCopyOnWrite(benchmark::State& state) {
  const CZvString original("framework_comm_most_CZvDeviceAdmin");
  for (auto _ : state) {
    CZvString copy = original;
    benchmark::DoNotOptimize(copy.c_str());
  }
}
BENCHMARK(BM_StringCopyOnWrite);

CZvTraceScopeDef gBenchScope("bench_trace", "scope");

// A message on a scope whose message level is off: the common case in
// production code.
void BM_TraceMessageSwitchedOff(benchmark::State& state) {
  CZvTraceScope scope(gBenchScope);
  int i = 0;
  for (auto _ : state) scope.sendFormattedMessage("value %d", ++i);
}
BENCHMARK(BM_TraceMessageSwitchedOff);

// A formatted message recorded by a capture (no output).
void BM_TraceMessageCaptured(benchmark::State& state) {
  CZvTraceScope scope(gBenchScope);
  int i = 0;
  for (auto _ : state) {
    CZvTraceCapture capture("bench_trace_*", ZvTraceLevel::Message);
    for (int k = 0; k < 100; ++k) scope.sendFormattedMessage("value %d", ++i);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_TraceMessageCaptured);

}  // namespace

BENCHMARK_MAIN();
