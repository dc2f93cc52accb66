#include "LedColours.h"

#include <algorithm>

namespace {
const COLORREF kGrey = rgbColor(100, 100, 100);

bool chosen(LedColours::LedMask leds, int led)
{
    return (leds >> led) & 1u;
}

float clampedBright(float value)
{
    return value == value ? std::clamp(value, 0.0f, 1.0f) : 1.0f;
}
} // namespace

LedColours::LedColours()
{
    rgb.fill(rgbColor(0, 255, 0));
    bright.fill(1.0f);
}

LedColours LedColours::defaults()
{
    LedColours c;
    c.rgb = {rgbColor(255, 0, 0), rgbColor(216, 255, 0), rgbColor(0, 255, 59), rgbColor(0, 98, 255),
             rgbColor(167, 0, 255)};
    c.single = c.rgb[0];
    return c;
}

void LedColours::pick(int look, LedMask leds, COLORREF colour)
{
    if (leds == 0)
        return;
    if (look == ColorModeSingle) {
        single = colour;
        return;
    }
    if (look != ColorModeRGB)
        return;
    for (int led = 0; led < kDrivenLeds; ++led) {
        if (chosen(leds, led))
            rgb[led] = colour;
    }
}

void LedColours::setBrightness(int look, LedMask leds, float value)
{
    if (leds == 0)
        return;
    value = clampedBright(value);
    if (look == ColorModeSingle) {
        singleBright = value;
        return;
    }
    if (look != ColorModeRGB)
        return;
    for (int led = 0; led < kDrivenLeds; ++led) {
        if (chosen(leds, led))
            bright[led] = value;
    }
}

float LedColours::shownBrightness(int look, LedMask leds) const
{
    if (look == ColorModeSingle)
        return singleBright;
    if (look != ColorModeRGB)
        return 1.0f;
    for (int led = 0; led < kDrivenLeds; ++led) {
        if (chosen(leds, led))
            return bright[led];
    }
    return bright[0];
}

COLORREF LedColours::shown(int look, int led) const
{
    switch (look) {
    case ColorModeSingle:
        return single;
    case ColorModeOff:
    case ColorModeRandom:
        return kGrey;
    default:
        return rgb[std::clamp(led, 0, kDrivenLeds - 1)];
    }
}

bool LedColours::operator==(const LedColours &other) const
{
    return rgb == other.rgb && bright == other.bright && single == other.single
        && singleBright == other.singleBright;
}
