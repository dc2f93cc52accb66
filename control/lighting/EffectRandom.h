// The random numbers of the effects. Each effect that draws seeds afresh with the
// milliseconds since midnight plus the module position, so modules drawing in the same
// millisecond still differ and a pinned clock makes a frame reproducible. The sequence
// is the one qsrand/qrand give on this platform (rand_r over a private seed), without
// their thread-global state.
#pragma once

#include "LightingTypes.h"

class EffectRandom
{
public:
    explicit EffectRandom(int module);

    void reseed();
    // A fresh draw, 0 to RAND_MAX.
    int draw();
    // The remainder of a fresh draw by n (n > 0).
    int draw(int n);
    // Red, then green, then blue, each a fresh draw mod 255.
    COLORREF colour();

private:
    int m_module;
    unsigned int m_seed = 0;
};
