#include "MemoryModuleData.h"

#include <cstring>

namespace {
const COLORREF kDefaultPattern[kDrivenLeds] = {
    rgbColor(255, 0, 0), rgbColor(216, 255, 0), rgbColor(0, 255, 59), rgbColor(0, 98, 255), rgbColor(167, 0, 255),
};
}

void MemoryModuleData::reset(int position)
{
    memorySlot = -1;
    slotSequence = position;
    temperature = -1;
    setText(manufacturer, "N/A");
    setText(partNumber, "N/A");
    memoryModuleSize = -1;
    frequency = -1.0;
    setText(memoryType, "N/A");
    setText(moduleText, "N/A");
    ledNum = -1;
    turnOff = false;
    engineValue = -1;
    for (int k = 0; k < kLedSlots; ++k) {
        rgb[k] = kDefaultPattern[k % kDrivenLeds];
        softwareRGB[k] = rgb[k];
        bright[k] = 1.0f;
    }
    singleRGB = rgbColor(255, 0, 0);
    singleBright = 1.0f;
    engineFlag = false;
    lightMode = kDefaultLightMode;
    colorMode = ColorModeRGB;
    lightSpeed = SpeedNormal;
    std::memset(&effect, 0, sizeof effect);
}
