// Chooses and builds the greeting animation of light mode 16 and shows one of its steps.
#pragma once

#include "../EngineState.h"

#include <QVector>

class ScriptLibrary
{
public:
    static constexpr int kAnimationCount = 9;

    // The step list of animation helloIndex (0 to 8); empty for any other index, which
    // tells the caller to keep the animation it has.
    static QVector<ScriptStep> build(int helloIndex);

    // Writes the step's first min(count, 5) positions into frame as COLORREF values, each
    // channel cut to its low 8 bits; brightness is not applied.
    static void showStep(const ScriptStep &step, COLORREF *frame, int count);
};
