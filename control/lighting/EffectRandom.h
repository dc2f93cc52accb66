// The random numbers of the effects. Each effect that draws seeds afresh with the
// milliseconds since midnight plus the module position, so modules drawing in the same
// millisecond still differ and a pinned clock makes a frame reproducible. The sequence
// is the one qsrand/qrand give with this framework (the minimal standard generator),
// without their per-thread state and their deprecation.
#pragma once

#include "LightingTypes.h"

#include <random>

class EffectRandom
{
public:
    explicit EffectRandom(int module);

    void reseed();
    // A fresh draw, 1 to 2^31 - 2.
    int draw();
    // The remainder of a fresh draw by n (n > 0).
    int draw(int n);
    // Red, then green, then blue, each a fresh draw mod 255.
    COLORREF colour();

private:
    int m_module;
    std::minstd_rand m_generator;
};
