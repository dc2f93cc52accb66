#include "EngineState.h"

#include <cstring>

EngineState::EngineState()
{
    static const std::int32_t initialSlots[kModuleCount] = {1, 0, 3, 2, 4, 5, 6, 7};
    std::memset(memoryData, 0, sizeof memoryData);
    for (int m = 0; m < kModuleCount; ++m) {
        memoryData[m].memorySlot = initialSlots[m];
        memoryData[m].slotSequence = m;
        memoryData[m].lightMode = kDefaultLightMode;
        memoryData[m].colorMode = ColorModeRGB;
        memoryData[m].lightSpeed = SpeedNormal;
        random[m].seed(m);
    }
}
