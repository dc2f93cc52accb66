// Records cross threads, processes and the channel library byte for byte, so they
// stay trivially copyable and their sizes are fixed.
#pragma once

#include "EffectState.h"

#include <type_traits>

struct MemoryModuleData {
    std::int32_t memorySlot;
    std::int32_t slotSequence;
    std::int32_t temperature;
    char manufacturer[kTextSize];
    char partNumber[kTextSize];
    std::int32_t memoryModuleSize;
    double frequency;
    char memoryType[kTextSize];
    char moduleText[kTextSize];
    std::int32_t ledNum;
    bool turnOff;
    std::int32_t engineValue;
    COLORREF softwareRGB[kLedSlots];
    COLORREF rgb[kLedSlots];
    COLORREF singleRGB;
    float bright[kLedSlots];
    float singleBright;
    bool engineFlag;
    std::int32_t lightMode;
    std::int32_t colorMode;
    std::int32_t lightSpeed;
    EffectState effect;

    void reset(int position);
};

static_assert(std::is_trivially_copyable<MemoryModuleData>::value, "copied byte for byte");
static_assert(sizeof(MemoryModuleData) == 704, "module record size is fixed");
