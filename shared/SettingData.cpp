#include "SettingData.h"

void SettingData::reset()
{
    language = 0;
    isAutoUpdate = true;
    isAutoRun = false;
    isCurrentLocation = false;
}

std::uint64_t SettingData::pack() const
{
    return std::uint64_t(std::uint32_t(language))
        | std::uint64_t(isAutoUpdate ? 1 : 0) << 32
        | std::uint64_t(isAutoRun ? 1 : 0) << 40
        | std::uint64_t(isCurrentLocation ? 1 : 0) << 48;
}

// Each flag is read as "byte not zero": a byte copied into a bool must be 0 or 1.
SettingData SettingData::unpack(std::uint64_t packed)
{
    SettingData data;
    data.language = std::int32_t(std::uint32_t(packed & 0xFFFFFFFFu));
    data.isAutoUpdate = ((packed >> 32) & 0xFF) != 0;
    data.isAutoRun = ((packed >> 40) & 0xFF) != 0;
    data.isCurrentLocation = ((packed >> 48) & 0xFF) != 0;
    return data;
}
