#include "EngineInput.h"

#include <algorithm>
#include <cmath>

int EngineInput::lightMode(int mode)
{
    return std::clamp(mode, 0, kMaxLightMode);
}

int EngineInput::colorMode(int mode)
{
    return mode >= ColorModeRGB && mode <= ColorModeRandom ? mode : int(ColorModeOff);
}

int EngineInput::lightSpeed(int speed)
{
    return std::clamp(speed, int(SpeedExtreme), int(SpeedSlow));
}

float EngineInput::brightness(float value)
{
    return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
}

COLORREF EngineInput::colour(COLORREF value)
{
    return value & 0x00FFFFFFu;
}

int EngineInput::percent(int value)
{
    return std::clamp(value, 0, 100);
}

int EngineInput::channel(int value)
{
    return std::clamp(value, 0, 255);
}
