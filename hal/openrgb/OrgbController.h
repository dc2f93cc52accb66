// A controller as an OpenRGB SDK server describes it, in the fields this HAL keeps.
// Every field of a mode is kept, because a mode update must echo them all back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OrgbMode {
    std::string name;
    std::int32_t value = 0;
    std::uint32_t flags = 0;
    std::uint32_t speedMin = 0;
    std::uint32_t speedMax = 0;
    std::uint32_t brightnessMin = 0; // protocol 3 and later
    std::uint32_t brightnessMax = 0;
    std::uint32_t colorsMin = 0;
    std::uint32_t colorsMax = 0;
    std::uint32_t speed = 0;
    std::uint32_t brightness = 0;
    std::uint32_t direction = 0;
    std::uint32_t colorMode = 0;
    std::vector<std::uint32_t> colors;

    bool operator==(const OrgbMode &other) const;
};

struct OrgbSegment {
    std::string name;
    std::int32_t type = 0;
    std::uint32_t start = 0;
    std::uint32_t ledCount = 0;

    bool operator==(const OrgbSegment &other) const;
};

struct OrgbZone {
    std::string name;
    std::int32_t type = 0;
    std::uint32_t ledsMin = 0;
    std::uint32_t ledsMax = 0;
    std::uint32_t ledsCount = 0;
    std::uint32_t matrixHeight = 0;
    std::uint32_t matrixWidth = 0;
    std::vector<std::uint32_t> matrix; // height * width entries, empty without a matrix
    std::vector<OrgbSegment> segments; // protocol 4 and later
    std::uint32_t flags = 0;           // protocol 5 and later

    bool operator==(const OrgbZone &other) const;
};

struct OrgbLed {
    std::string name;
    std::uint32_t value = 0;

    bool operator==(const OrgbLed &other) const;
};

struct OrgbController {
    static constexpr std::int32_t kTypeDram = 1;

    std::int32_t type = 0;
    std::string name;
    std::string vendor; // protocol 1 and later
    std::string description;
    std::string version;
    std::string serial;
    std::string location;
    std::int32_t activeMode = 0;
    std::vector<OrgbMode> modes;
    std::vector<OrgbZone> zones;
    std::vector<OrgbLed> leds;
    std::vector<std::uint32_t> colors;
    std::vector<std::string> ledAlternateNames; // protocol 5 and later
    std::uint32_t flags = 0;                    // protocol 5 and later

    // The mode that shows colours sent frame by frame: "Direct", else "Custom", else a
    // "Static" one that takes colours; -1 when there is none.
    int directModeIndex() const;

    bool operator==(const OrgbController &other) const;
};
