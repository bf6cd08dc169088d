#include "platform/basalt/zv_timer.h"

#include "platform/basalt/zv_event_internal.h"

CZvTimer::CZvTimer(IZvTimerConsumer& consumer, const char* name)
    : mConsumer(consumer), mName(name), mLoop(ZvEventInternal::currentCore()) {}

CZvTimer::~CZvTimer() { mLoop->stopTimer(this); }

bool CZvTimer::start(uint32_t ms, int32_t count) { return mLoop->startTimer(this, ms, count); }

void CZvTimer::stop() { mLoop->stopTimer(this); }

bool CZvTimer::isRunning() const { return mLoop->isTimerArmed(this); }

int32_t CZvTimer::getRemainingCount() const { return mLoop->timerRemaining(this); }
