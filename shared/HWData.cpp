#include "HWData.h"

#include <cstring>

void HWData::reset()
{
    for (int p = 0; p < kModuleCount; ++p) {
        memoryIndex[p] = -1;
        memoryData[p].reset(p);
    }
    memoryCount = -1;
    cpuTemperature = -1;
    clock = -1.0;
    setText(memoryInfoText, "N/A");
    casLatency = -1.0;
    tRCD = -1;
    timing3 = -1;
    timing4 = -1;
    channelCount = -1;
    physicalMemoryUsed = -1;
    physicalMemoryAvailable = -1;
    physicalMemoryLoad = -1.0;
    std::memset(reserved1, 0, sizeof reserved1);
    reserved2 = 0;
    dataTimestamp = 0;
    notiEvent.reset();
    settingData.reset();
}

HWData makeZeroHWData()
{
    HWData data;
    std::memset(&data, 0, sizeof data);
    return data;
}

bool isFreshTimestamp(std::int32_t dataTimestamp, std::int64_t nowSeconds)
{
    const std::uint32_t age = std::uint32_t(nowSeconds) - std::uint32_t(dataTimestamp);
    return age <= 9;
}
