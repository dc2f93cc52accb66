#include "EffectClock.h"

#include <QDateTime>
#include <QTime>

#include <atomic>

namespace {
// Read on the frame thread and written by whoever pins the clock, hence atomics.
std::atomic<bool> fixedTime{false};
std::atomic<qint64> fixedMsecs{0};
std::atomic<qint64> fixedSecs{0};
}

qint64 EffectClock::msecsSinceMidnight()
{
    if (fixedTime.load(std::memory_order_acquire))
        return fixedMsecs.load(std::memory_order_relaxed);
    const QTime now = QTime::currentTime();
    return now.isValid() ? now.msecsSinceStartOfDay() : 0;
}

qint64 EffectClock::secsSinceEpoch()
{
    if (fixedTime.load(std::memory_order_acquire))
        return fixedSecs.load(std::memory_order_relaxed);
    return QDateTime::currentSecsSinceEpoch();
}

void EffectClock::setFixed(qint64 msecsSinceMidnight, qint64 secsSinceEpoch)
{
    fixedMsecs.store(msecsSinceMidnight, std::memory_order_relaxed);
    fixedSecs.store(secsSinceEpoch, std::memory_order_relaxed);
    fixedTime.store(true, std::memory_order_release);
}

void EffectClock::useSystemTime()
{
    fixedTime.store(false, std::memory_order_release);
}
