// The two readings of the wall clock that the effects use: milliseconds since local
// midnight (the seed of their random numbers) and seconds since 1970 UTC (the sky of
// Clock). Tests pin both to fixed values so a frame's result can be reproduced.
#pragma once

#include <QtGlobal>

class EffectClock
{
public:
    static qint64 msecsSinceMidnight();
    static qint64 secsSinceEpoch();

    static void setFixed(qint64 msecsSinceMidnight, qint64 secsSinceEpoch);
    static void useSystemTime();
};
