#include "HWData.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

// The hub receives the record byte for byte, so the place of each field is fixed.
static_assert(offsetof(HWData, memoryCount) == 32, "hub layout");
static_assert(offsetof(HWData, chipset) == 160, "hub layout");
static_assert(offsetof(HWData, memoryData) == 224, "hub layout");
static_assert(offsetof(HWData, dataTimestamp) == 5908, "hub layout");
static_assert(offsetof(HWData, notiEvent) == 5912, "hub layout");
static_assert(offsetof(HWData, selectProfile) == 5968, "hub layout");
static_assert(offsetof(HWData, settingData) == 5976, "hub layout");
static_assert(offsetof(MemoryModuleData, frequency) == 144, "module layout");
static_assert(offsetof(MemoryModuleData, ledNum) == 280, "module layout");
static_assert(offsetof(MemoryModuleData, softwareRGB) == 292, "module layout");
static_assert(offsetof(MemoryModuleData, lightSpeed) == 456, "module layout");
static_assert(offsetof(MemoryModuleData, effect) == 460, "module layout");

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

void HWData::copyReaderReadings(const HWData &source)
{
    std::copy(source.memoryIndex, source.memoryIndex + kModuleCount, memoryIndex);
    memoryCount = source.memoryCount;
    slotCount = source.slotCount;
    cpuTemperature = source.cpuTemperature;
    clock = source.clock;
    copyText(memoryInfoText, source.memoryInfoText);
    casLatency = source.casLatency;
    tRCD = source.tRCD;
    timing3 = source.timing3;
    timing4 = source.timing4;
    channelCount = source.channelCount;
    physicalMemoryUsed = source.physicalMemoryUsed;
    physicalMemoryAvailable = source.physicalMemoryAvailable;
    physicalMemoryLoad = source.physicalMemoryLoad;
    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &from = source.memoryData[m];
        MemoryModuleData &to = memoryData[m];
        to.memorySlot = from.memorySlot;
        to.temperature = from.temperature;
        copyText(to.manufacturer, from.manufacturer);
        copyText(to.partNumber, from.partNumber);
        to.memoryModuleSize = from.memoryModuleSize;
        to.frequency = from.frequency;
        copyText(to.memoryType, from.memoryType);
        copyText(to.moduleText, from.moduleText);
    }
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
