// Platform demo: a worker thread posts events to a consumer on the main
// thread, one timer fires once and another repeatedly, and everything is
// traced. Options:
//   --count N         events the worker sends (default 5)
//   --serve PATH      serve the trace commands on a local socket meanwhile
//                     (call them with: zvtrace PATH list)
//   --linger MS       keep running this long after the work is done
#include <cstdlib>
#include <thread>

#include "platform/basalt/basalt.h"
#include "platform/trace_client/trace_client.h"

namespace {

CZvTraceScopeDef gMainScope("platform_demo", "main");
CZvTraceScopeDef gWorkerScope("platform_demo", "worker");
CZvTraceScopeDef gConsumerScope("platform_demo", "consumer");

class CWorkEvent;

class IWorkConsumer : public IZvEventConsumer {
 public:
  virtual void processEvent(const CWorkEvent& event) = 0;
};

// One unit of work, sent by the worker to the consumer.
class CWorkEvent : public CZvInternalEvent {
 public:
  static const CZvClassID sWorkClassID;
  CWorkEvent(int number, CZvString text) : mNumber(number), mText(std::move(text)) {}
  const CZvClassID& getClassID() const override { return sWorkClassID; }
  void dispatchSelf(CZvEventDispatcher& dispatcher) override {
    CZvInternalEvent::dispatchSelf(dispatcher);
    deliverEvent(dispatcher, sWorkClassID, [this](IZvEventConsumer& consumer) {
      static_cast<IWorkConsumer&>(consumer).processEvent(*this);
    });
  }
  int number() const { return mNumber; }
  const CZvString& text() const { return mText; }

 private:
  int mNumber;
  CZvString mText;
};
const CZvClassID CWorkEvent::sWorkClassID("CWorkEvent");

class CDemoConsumer : public IWorkConsumer, public IZvTimerConsumer {
 public:
  CDemoConsumer(int expectedEvents, uint32_t lingerMs)
      : mExpected(expectedEvents),
        mLingerMs(lingerMs),
        mOnce(*this, "once"),
        mRepeat(*this, "repeat"),
        mLinger(*this, "linger") {
    mOnce.start(150);
    mRepeat.start(100, CZvTimer::CONTINUOUSLY);
  }

  void processEvent(const CWorkEvent& event) override {
    CZvTraceScope(gConsumerScope)
        .sendFormattedMessage("event %d \"%s\" arrived on thread %lu", event.number(), event.text().c_str(),
                              static_cast<unsigned long>(CZvThread::currentContextID()));
    ++mReceived;
    finishIfDone();
  }

  void processEvent(const CZvTimerEvent& event) override {
    CZvTimer& timer = event.getTimer();
    if (timer == mLinger) {
      CZvEventLoop::current().quit();
      return;
    }
    CZvTraceScope(gConsumerScope).sendFormattedMessage("timer %s fired", timer.getName().c_str());
    if (timer == mRepeat && ++mRepeats == 3) {
      mRepeat.stop();
      CZvTraceScope(gConsumerScope).sendFormattedMessage("timer repeat stopped after 3 expiries");
    }
    finishIfDone();
  }

 private:
  void finishIfDone() {
    if (mReceived < mExpected || mRepeats < 3 || mOnce.isRunning() || mDone) return;
    mDone = true;
    CZvTraceScope(gConsumerScope).sendFormattedMessage("all %d events and timers done", mReceived);
    mLinger.start(mLingerMs);
  }

  int mExpected;
  uint32_t mLingerMs;
  int mReceived = 0;
  int mRepeats = 0;
  bool mDone = false;
  CZvTimer mOnce;
  CZvTimer mRepeat;
  CZvTimer mLinger;
};

}  // namespace

int main(int argc, char** argv) {
  ZvCommandLineOptions::init(argc, argv);
  // Show this demo's messages unless ZV_TRACE already says otherwise.
  if (std::getenv("ZV_TRACE") == nullptr) ZvTrace::setLevels("platform_demo_*=message");
  CZvTraceHelper helper("platform_demo");

  const CZvString countText = ZvCommandLineOptions::getOptionArg("count");
  const int count = countText.isEmpty() ? 5 : std::atoi(countText.c_str());
  const CZvString lingerText = ZvCommandLineOptions::getOptionArg("linger");
  const uint32_t lingerMs =
      lingerText.isEmpty() ? 0 : static_cast<uint32_t>(std::strtoul(lingerText.c_str(), nullptr, 10));
  const CZvString socketPath = ZvCommandLineOptions::getOptionArg("serve");
  if (!socketPath.isEmpty()) {
    if (ZvTraceServer::start(socketPath.c_str())) {
      CZvTraceScope(gMainScope).sendFormattedMessage("serving trace commands on %s", socketPath.c_str());
    } else {
      CZvTraceScope(gMainScope).sendFormattedError("cannot serve trace commands on %s", socketPath.c_str());
    }
  }

  CZvTraceScope(gMainScope)
      .sendFormattedMessage("main thread %lu, sending %d events from a worker",
                            static_cast<unsigned long>(CZvThread::currentContextID()), count);
  CDemoConsumer consumer(count, lingerMs);
  std::thread worker([&consumer, count] {
    for (int i = 1; i <= count; ++i) {
      auto* event = new CWorkEvent(i, CZvString::formatted("work item %d", i));
      event->setTarget(&consumer);
      CZvTraceScope(gWorkerScope)
          .sendFormattedMessage("worker thread %lu sends event %d",
                                static_cast<unsigned long>(CZvThread::currentContextID()), i);
      event->send();
    }
  });
  CZvEventLoop::current().run();
  worker.join();
  ZvTraceServer::stop();
  CZvTraceScope(gMainScope).sendFormattedMessage("demo finished");
  return 0;
}
