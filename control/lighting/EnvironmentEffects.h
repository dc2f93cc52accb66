// The light modes that follow the world outside the lighting: the sound level (Movie,
// Gaming, Party), the CPU temperature (Temp.), the screen colour (Screen Movie) and the
// sky for the time of day and weather (Clock). They read the inputs that the engine
// stores and otherwise follow the rules of the pattern effects.
#pragma once

#include "EngineState.h"

class EnvironmentEffects
{
public:
    static void movie(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void gaming(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void softwareParty(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void softwareTemp(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void screenMovie(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void clock(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);

    // The colour Temp. aims at for a CPU temperature in whole degrees.
    static COLORREF temperatureColour(int celsius);
    // How bright the sky is at `now` (seconds since 1970, UTC): 0.1 at sunrise and
    // sunset, 0.9 at midday, 0.05 at night or while no day is known.
    static float sunFactor(const EngineState &state, qint64 now);
};
