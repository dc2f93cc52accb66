#include "OrgbController.h"

#include <tuple>

namespace {

constexpr std::uint32_t kFlagPerLedColour = 1u << 5;
constexpr std::uint32_t kFlagModeColour = 1u << 6;

} // namespace

bool OrgbMode::operator==(const OrgbMode &o) const
{
    return std::tie(name, value, flags, speedMin, speedMax, brightnessMin, brightnessMax, colorsMin, colorsMax, speed,
                    brightness, direction, colorMode, colors)
        == std::tie(o.name, o.value, o.flags, o.speedMin, o.speedMax, o.brightnessMin, o.brightnessMax, o.colorsMin,
                    o.colorsMax, o.speed, o.brightness, o.direction, o.colorMode, o.colors);
}

bool OrgbSegment::operator==(const OrgbSegment &o) const
{
    return std::tie(name, type, start, ledCount) == std::tie(o.name, o.type, o.start, o.ledCount);
}

bool OrgbZone::operator==(const OrgbZone &o) const
{
    return std::tie(name, type, ledsMin, ledsMax, ledsCount, matrixHeight, matrixWidth, matrix, segments, flags)
        == std::tie(o.name, o.type, o.ledsMin, o.ledsMax, o.ledsCount, o.matrixHeight, o.matrixWidth, o.matrix,
                    o.segments, o.flags);
}

bool OrgbLed::operator==(const OrgbLed &o) const
{
    return name == o.name && value == o.value;
}

bool OrgbController::operator==(const OrgbController &o) const
{
    return std::tie(type, name, vendor, description, version, serial, location, activeMode, modes, zones, leds,
                    colors, ledAlternateNames, flags)
        == std::tie(o.type, o.name, o.vendor, o.description, o.version, o.serial, o.location, o.activeMode,
                    o.modes, o.zones, o.leds, o.colors, o.ledAlternateNames, o.flags);
}

int OrgbController::directModeIndex() const
{
    for (const char *wanted : {"Direct", "Custom"}) {
        for (std::size_t i = 0; i < modes.size(); ++i) {
            if (modes[i].name == wanted)
                return int(i);
        }
    }
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].name == "Static" && (modes[i].flags & (kFlagPerLedColour | kFlagModeColour)))
            return int(i);
    }
    return -1;
}
