#pragma once

#include <cstdint>

struct SettingData {
    std::int32_t language;
    bool isAutoUpdate;
    bool isAutoRun;
    bool isCurrentLocation;

    void reset();
    // language in bits 0-31, then one byte per flag; bits 56-63 stay zero.
    std::uint64_t pack() const;
    static SettingData unpack(std::uint64_t packed);
};

static_assert(sizeof(SettingData) == 8, "setting record size is fixed");
