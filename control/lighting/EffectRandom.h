// The random numbers of one module's effect. The stream is seeded once, when the effect
// starts, with the milliseconds since midnight plus the module position (so modules
// started in the same millisecond still differ, and a pinned clock makes a run
// reproducible), and every draw after that comes from the same stream. Seeding again for
// every draw would tie the numbers to the frame clock: frames exactly 40 ms apart then
// give draws that repeat their remainders, and an effect can wait tens of seconds for a
// drop. The sequence is the one qsrand/qrand give with this framework (the minimal
// standard generator), without their per-thread state and their deprecation.
#pragma once

#include "LightingTypes.h"

#include <random>

class EffectRandom
{
public:
    EffectRandom() = default;
    explicit EffectRandom(int module);

    // Starts the stream afresh from the clock and the module position.
    void seed(int module);
    // A fresh draw, 1 to 2^31 - 2.
    int draw();
    // The remainder of a fresh draw by n (n > 0).
    int draw(int n);
    // Red, then green, then blue, each a fresh draw mod 255.
    COLORREF colour();

private:
    std::minstd_rand m_generator;
};
