#include "NotiEventData.h"

// The three units without a documented default keep their value.
void NotiEventData::reset()
{
    type = -1;
    loadingOn = false;
    loadingValue = 0;
    loadingColor = rgbColor(255, 0, 0);
    shutdownMemoryOn = false;
    shutdownMemoryValue = 0;
    fanSpeedOn = false;
    fanSpeedValue = 0;
    shutdownCPUOn = false;
    shutdownCPUValue = 0;
    shutdownCPUUnit = 0;
}
