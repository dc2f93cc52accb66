// One module's colours as the lighting page edits them: five LED colours with their
// brightness, and the single colour with its brightness. The rules by which the user's
// input changes them depend on the module's look (how its LED picture shows it).
#pragma once

#include "LightingTypes.h"

#include <array>

class LedColours
{
public:
    // The module's LEDs that an input reaches, bit i for LED i; 0 when it isn't selected.
    using LedMask = unsigned;
    static constexpr LedMask kAllLeds = (1u << kDrivenLeds) - 1;

    std::array<COLORREF, kDrivenLeds> rgb;
    std::array<float, kDrivenLeds> bright;
    COLORREF single = rgbColor(255, 0, 0);
    float singleBright = 1.0f;

    LedColours();
    // The colours "Default" restores; the same five the shared records start with.
    static LedColours defaults();

    // Per-LED look: the chosen LEDs take the colour; single look: the single colour;
    // off and random looks take no colour.
    void pick(int look, LedMask leds, COLORREF colour);
    // The same rule for brightness (0.0 to 1.0).
    void setBrightness(int look, LedMask leds, float value);
    // What the brightness slider shows: the first chosen LED's (LED 0 when none is), the
    // single brightness, or full for looks without colours.
    float shownBrightness(int look, LedMask leds) const;
    // The colour LED i shows in a look.
    COLORREF shown(int look, int led) const;

    bool operator==(const LedColours &other) const;
    bool operator!=(const LedColours &other) const { return !(*this == other); }
};
