// The whole state of the system; the hub receives it byte for byte (5,992 bytes).
#pragma once

#include "MemoryModuleData.h"
#include "NotiEventData.h"
#include "SettingData.h"

#include <type_traits>

struct HWData {
    std::int32_t memoryIndex[kModuleCount];
    std::int32_t memoryCount;
    // System readings
    std::int32_t slotCount;
    std::int32_t cpuTemperature;
    double clock;
    char memoryInfoText[kTextSize];
    double casLatency;
    std::int32_t tRCD;
    std::int32_t timing3;
    std::int32_t timing4;
    std::int32_t channelCount;
    std::int32_t physicalMemoryUsed;
    std::int32_t physicalMemoryAvailable;
    double physicalMemoryLoad;
    char chipset[kTextSize];
    MemoryModuleData memoryData[kModuleCount];
    std::uint8_t reserved1[48];
    std::uint8_t reserved2;
    std::int32_t dataTimestamp;
    NotiEventData notiEvent;
    std::int32_t selectProfile;
    std::int32_t reserved3;
    SettingData settingData;
    std::uint8_t reserved4[8];

    // Sets every documented default; fields without one keep their value.
    void reset();

    // Takes the readings that the hardware reader owns from source: memoryIndex,
    // memoryCount, the system readings, and per module memorySlot, temperature, the
    // four texts, memoryModuleSize and frequency. Not chipset and not ledNum: each
    // caller has its own rule for those. Texts are cut at their last byte.
    void copyReaderReadings(const HWData &source);
};

static_assert(std::is_trivially_copyable<HWData>::value, "copied byte for byte");
static_assert(std::is_standard_layout<HWData>::value, "crosses a C boundary");
static_assert(sizeof(HWData) == 5992, "the hub receives the record byte for byte");

// A new record: every byte zero (so ledNum is 0), as a value-initialised HWData is.
HWData makeZeroHWData();

// A channel record is fresh when it was stamped 0 to 9 seconds ago, in unsigned
// 32-bit arithmetic so that a stamp in the future is stale.
bool isFreshTimestamp(std::int32_t dataTimestamp, std::int64_t nowSeconds);
