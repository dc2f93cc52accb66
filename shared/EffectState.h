#pragma once

#include "LightingTypes.h"

// Working state of the software effects; it lives inside the module record so the
// engine keeps one record per module. Nobody outside the engine reads it.
struct EffectState {
    std::int32_t flowIndex;
    bool blinkOn;
    std::int32_t pulseCounter;
    std::int32_t crossCounter;
    std::int32_t dropLevel[kDrivenLeds];
    std::int32_t stackCounter;
    std::int32_t beatCounter;
    std::int32_t scanCounter;
    std::int32_t fireworkCounter;
    std::int32_t explosionCounter;
    std::int32_t workRed[kLedSlots];
    std::int32_t workGreen[kLedSlots];
    std::int32_t workBlue[kLedSlots];
    std::uint8_t reserved[44];
};

static_assert(sizeof(EffectState) == 244, "fills the module record to 704 bytes");
