#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "platform/basalt/zv_event.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/basalt/zv_thread.h"

namespace {

class CountConsumer;

// A test event that carries a producer number and a sequence number.
class CTestEvent : public CZvInternalEvent {
 public:
  static const CZvClassID sTestClassID;
  CTestEvent(int producer, int sequence) : mProducer(producer), mSequence(sequence) { ++sLive; }
  ~CTestEvent() override { --sLive; }
  const CZvClassID& getClassID() const override { return sTestClassID; }
  void dispatchSelf(CZvEventDispatcher& dispatcher) override;

  int mProducer;
  int mSequence;
  static std::atomic<int> sLive;
};
const CZvClassID CTestEvent::sTestClassID("CTestEvent");
std::atomic<int> CTestEvent::sLive{0};

struct Received {
  int producer;
  int sequence;
  uintptr_t thread;
};

class CountConsumer : public IZvEventConsumer {
 public:
  void processEvent(const CTestEvent& event) {
    received.push_back({event.mProducer, event.mSequence, CZvThread::currentContextID()});
    if (onEvent) onEvent();
  }
  std::vector<Received> received;
  std::function<void()> onEvent;
};

void CTestEvent::dispatchSelf(CZvEventDispatcher& dispatcher) {
  CZvInternalEvent::dispatchSelf(dispatcher);
  deliverEvent(dispatcher, sTestClassID, [this](IZvEventConsumer& consumer) {
    static_cast<CountConsumer&>(consumer).processEvent(*this);
  });
}

void sendTo(IZvEventConsumer* target, int producer, int sequence) {
  auto* event = new CTestEvent(producer, sequence);
  event->setTarget(target);
  event->send();
}

TEST(CZvEventTest, EventsFromTwoProducersArriveInOrderOnTheConsumerThread) {
  CountConsumer consumer;
  constexpr int kPerProducer = 2000;
  std::atomic<int> finished{0};
  auto produce = [&](int producer) {
    for (int i = 0; i < kPerProducer; ++i) sendTo(&consumer, producer, i);
    if (++finished == 2) CZvEventLoop::current().quit();  // quit() from a foreign thread
  };
  std::thread a(produce, 1);
  std::thread b(produce, 2);
  // quit() may come before all events are processed: drain afterwards.
  while (finished.load() < 2) CZvEventLoop::current().runUntilIdle();
  a.join();
  b.join();
  CZvEventLoop::current().runUntilIdle();

  ASSERT_EQ(consumer.received.size(), 2u * kPerProducer);
  int next[3] = {0, 0, 0};
  for (const auto& r : consumer.received) {
    EXPECT_EQ(r.thread, CZvThread::currentContextID());
    ASSERT_EQ(r.sequence, next[r.producer]) << "producer " << r.producer;
    ++next[r.producer];
  }
  EXPECT_EQ(CTestEvent::sLive.load(), 0);
}

TEST(CZvEventTest, RunProcessesTasksAndReturnsAfterQuit) {
  CountConsumer consumer;
  std::vector<int> order;
  CZvEventLoop& loop = CZvEventLoop::current();
  loop.postTask([&] { order.push_back(1); });
  sendTo(&consumer, 1, 0);
  loop.postTask([&] {
    order.push_back(consumer.received.size() == 1 ? 2 : -2);  // the event ran in between
    loop.quit();
  });
  loop.postTask([&] { order.push_back(3); });  // after quit: stays queued
  loop.run();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  loop.runUntilIdle();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(CZvEventTest, NestedRunUntilIdleKeepsTheOrder) {
  std::vector<int> order;
  CZvEventLoop& loop = CZvEventLoop::current();
  loop.postTask([&] {
    order.push_back(1);
    loop.postTask([&] { order.push_back(3); });
    loop.runUntilIdle();  // from inside a callback: must run 2 before 3
  });
  loop.postTask([&] { order.push_back(2); });
  loop.runUntilIdle();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(CZvEventTest, DestroyedConsumerGetsNothingAndPendingEventsAreFreed) {
  auto* consumer = new CountConsumer();
  sendTo(consumer, 1, 0);
  sendTo(consumer, 1, 1);
  delete consumer;
  CZvEventLoop::current().runUntilIdle();  // would crash on a dangling target
  EXPECT_EQ(CTestEvent::sLive.load(), 0);
}

TEST(CZvEventTest, ListenersPerClassIDOnTheirOwnThreads) {
  CountConsumer local;
  CountConsumer bystander;  // same class, never registered
  ASSERT_TRUE(CZvEvent::addListener(CTestEvent::sTestClassID, &local));
  EXPECT_TRUE(CZvEvent::addListener(CTestEvent::sTestClassID, &local));  // twice counts once
  EXPECT_EQ(CZvEvent::listenerCount(CTestEvent::sTestClassID), 1u);

  std::atomic<CZvEventLoop*> remoteLoop{nullptr};
  std::vector<Received> remoteReceived;
  uintptr_t remoteThread = 0;
  std::thread remote([&] {
    CountConsumer remoteConsumer;
    CZvEvent::addListener(CTestEvent::sTestClassID, &remoteConsumer);
    remoteThread = CZvThread::currentContextID();
    remoteLoop = &CZvEventLoop::current();
    CZvEventLoop::current().run();
    CZvEvent::removeListener(CTestEvent::sTestClassID, &remoteConsumer);
    remoteReceived = remoteConsumer.received;
  });
  while (remoteLoop.load() == nullptr) std::this_thread::yield();

  (new CTestEvent(7, 1))->send();  // no target: every listener, each on its thread
  CZvEventLoop::current().runUntilIdle();
  while (CTestEvent::sLive.load() != 0) std::this_thread::yield();  // both deliveries done
  remoteLoop.load()->quit();
  remote.join();

  ASSERT_EQ(local.received.size(), 1u);
  EXPECT_EQ(local.received[0].thread, CZvThread::currentContextID());
  ASSERT_EQ(remoteReceived.size(), 1u);
  EXPECT_EQ(remoteReceived[0].thread, remoteThread);
  EXPECT_TRUE(bystander.received.empty());

  // After removal nothing more arrives; an event nobody listens to is freed.
  EXPECT_TRUE(CZvEvent::removeListener(CTestEvent::sTestClassID, &local));
  EXPECT_FALSE(CZvEvent::removeListener(CTestEvent::sTestClassID, &local));
  (new CTestEvent(7, 2))->send();
  CZvEventLoop::current().runUntilIdle();
  EXPECT_EQ(local.received.size(), 1u);
  EXPECT_EQ(CTestEvent::sLive.load(), 0);
}

// A listener that removes or destroys another listener of its thread while
// an event is being delivered: the other one must not be called.
TEST(CZvEventTest, ListenerRemovedOrDestroyedDuringDeliveryIsNotCalled) {
  CountConsumer first;
  CountConsumer second;
  auto* third = new CountConsumer();
  CZvEvent::addListener(CTestEvent::sTestClassID, &first);
  CZvEvent::addListener(CTestEvent::sTestClassID, &second);
  CZvEvent::addListener(CTestEvent::sTestClassID, third);
  first.onEvent = [&] {
    CZvEvent::removeListener(CTestEvent::sTestClassID, &second);
    delete third;
  };
  (new CTestEvent(1, 1))->send();
  CZvEventLoop::current().runUntilIdle();
  EXPECT_EQ(first.received.size(), 1u);
  EXPECT_TRUE(second.received.empty());
  CZvEvent::removeListener(CTestEvent::sTestClassID, &first);
  EXPECT_EQ(CZvEvent::listenerCount(CTestEvent::sTestClassID), 0u);
}

TEST(CZvEventTest, EventsToAThreadThatEndedAreFreed) {
  CountConsumer* stranded = nullptr;
  std::thread owner([&] { stranded = new CountConsumer(); });  // its loop dies with the thread
  owner.join();
  sendTo(stranded, 1, 1);
  EXPECT_EQ(CTestEvent::sLive.load(), 0);
  // The same for a listener: the delivery to the ended thread is dropped,
  // the one to this thread still happens, and the event is freed once.
  CountConsumer local;
  CZvEvent::addListener(CTestEvent::sTestClassID, stranded);
  CZvEvent::addListener(CTestEvent::sTestClassID, &local);
  (new CTestEvent(2, 1))->send();
  CZvEventLoop::current().runUntilIdle();
  EXPECT_EQ(local.received.size(), 1u);
  EXPECT_EQ(CTestEvent::sLive.load(), 0);
  CZvEvent::removeListener(CTestEvent::sTestClassID, &local);
  EXPECT_EQ(stranded->getContextID() == CZvThread::currentContextID(), false);
  delete stranded;
}

// An event owned by its sender and reused: the system hands it back through
// release() instead of deleting it, whether it was delivered or dropped.
class CReusableEvent : public CTestEvent {
 public:
  CReusableEvent() : CTestEvent(9, 0) {}
  void release() override { inFlight = false; }
  bool inFlight = false;
};

TEST(CZvEventTest, ReusableEventIsReleasedNotDeleted) {
  CReusableEvent reusable;
  CountConsumer consumer;
  for (int round = 0; round < 2; ++round) {
    reusable.inFlight = true;
    reusable.mSequence = round;
    reusable.setTarget(&consumer);
    reusable.send();
    EXPECT_TRUE(reusable.inFlight);
    CZvEventLoop::current().runUntilIdle();
    EXPECT_FALSE(reusable.inFlight);
  }
  ASSERT_EQ(consumer.received.size(), 2u);
  EXPECT_EQ(consumer.received[1].sequence, 1);

  auto* gone = new CountConsumer();
  reusable.inFlight = true;
  reusable.setTarget(gone);
  reusable.send();
  delete gone;
  CZvEventLoop::current().runUntilIdle();
  EXPECT_FALSE(reusable.inFlight);
}

TEST(CZvClassIDTest, EqualByName) {
  const char a[] = "Same";
  const char b[] = "Same";
  EXPECT_EQ(CZvClassID(a), CZvClassID(b));
  EXPECT_NE(CZvClassID("One"), CZvClassID("Two"));
  EXPECT_EQ(std::hash<CZvClassID>()(CZvClassID(a)), std::hash<CZvClassID>()(CZvClassID(b)));
}

}  // namespace
