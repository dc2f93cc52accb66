// The ranges of the values the engine takes in from the channel and the sensors. The
// shared state can hold anything another process wrote, so each value is brought into
// its range where the engine takes it, and the effects only ever see sane numbers.
#pragma once

#include "LightingTypes.h"

class EngineInput
{
public:
    // Numbers above 35 keep their meaning (the colours rotate), so the top only bounds them.
    static constexpr int kMaxLightMode = 255;

    static int lightMode(int mode);
    // A colour mode outside 0 to 3 shows nothing of its own, as OFF does.
    static int colorMode(int mode);
    static int lightSpeed(int speed);
    // 0.0 to 1.0; a value that is not a number gives 0.
    static float brightness(float value);
    // The top byte of a COLORREF is always 0.
    static COLORREF colour(COLORREF value);
    // A percentage: the audio level, the memory load, the warning threshold.
    static int percent(int value);
    // One colour channel, 0 to 255.
    static int channel(int value);
};
