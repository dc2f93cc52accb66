#pragma once

#include "LightingTypes.h"

struct NotiEventData {
    std::int32_t type;
    bool loadingOn;
    std::int32_t loadingValue;
    COLORREF loadingColor;
    std::int32_t loadingUnit;
    bool shutdownMemoryOn;
    std::int32_t shutdownMemoryValue;
    std::int32_t shutdownMemoryUnit;
    bool fanSpeedOn;
    std::int32_t fanSpeedValue;
    std::int32_t fanSpeedUnit;
    bool shutdownCPUOn;
    std::int32_t shutdownCPUValue;
    std::int32_t shutdownCPUUnit;

    void reset();
};

static_assert(sizeof(NotiEventData) == 56, "notification record size is fixed");
