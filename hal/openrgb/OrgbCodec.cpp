#include "OrgbCodec.h"

#include "OrgbReader.h"
#include "OrgbWriter.h"

namespace {

// The smallest encoding of each element: a list count is checked against these before
// anything is reserved, so a count that lies cannot make us allocate.
constexpr std::size_t kMinString = 2;
constexpr std::size_t kMinSegment = kMinString + 12;
constexpr std::size_t kMinLed = kMinString + 4;
constexpr std::size_t kColour = 4;

std::size_t minMode(std::uint32_t version)
{
    // Nine 32-bit fields, twelve from protocol 3 on (the brightness range and value).
    return kMinString + (version >= 3 ? 48 : 36) + 2;
}

std::size_t minZone(std::uint32_t version)
{
    return kMinString + 16 + 2 + (version >= 4 ? 2 : 0) + (version >= 5 ? 4 : 0);
}

std::vector<std::uint32_t> readColours(OrgbReader &in)
{
    std::vector<std::uint32_t> colours(in.count(kColour));
    for (std::uint32_t &colour : colours)
        colour = in.u32();
    return colours;
}

void writeColours(OrgbWriter &out, const std::vector<std::uint32_t> &colours)
{
    out.u16(std::uint16_t(colours.size()));
    for (std::uint32_t colour : colours)
        out.u32(colour);
}

OrgbZone readZone(OrgbReader &in, std::uint32_t version)
{
    OrgbZone zone;
    zone.name = in.string();
    zone.type = in.i32();
    zone.ledsMin = in.u32();
    zone.ledsMax = in.u32();
    zone.ledsCount = in.u32();
    const std::uint16_t matrixBytes = in.u16();
    if (matrixBytes > 0) {
        zone.matrixHeight = in.u32();
        zone.matrixWidth = in.u32();
        const std::uint64_t cells = std::uint64_t(zone.matrixHeight) * zone.matrixWidth;
        // The byte count covers height, width and the cells: anything else is a lie.
        if (cells * 4 + 8 != matrixBytes || !in.fits(std::size_t(cells), 4)) {
            in.skip(in.remaining() + 1);
            return zone;
        }
        zone.matrix.resize(std::size_t(cells));
        for (std::uint32_t &cell : zone.matrix)
            cell = in.u32();
    }
    if (version >= 4) {
        zone.segments.resize(in.count(kMinSegment));
        for (OrgbSegment &segment : zone.segments) {
            segment.name = in.string();
            segment.type = in.i32();
            segment.start = in.u32();
            segment.ledCount = in.u32();
        }
    }
    if (version >= 5)
        zone.flags = in.u32();
    return zone;
}

void writeZone(OrgbWriter &out, const OrgbZone &zone, std::uint32_t version)
{
    out.string(zone.name).i32(zone.type).u32(zone.ledsMin).u32(zone.ledsMax).u32(zone.ledsCount);
    if (zone.matrix.empty()) {
        out.u16(0);
    } else {
        out.u16(std::uint16_t(8 + 4 * zone.matrix.size())).u32(zone.matrixHeight).u32(zone.matrixWidth);
        for (std::uint32_t cell : zone.matrix)
            out.u32(cell);
    }
    if (version >= 4) {
        out.u16(std::uint16_t(zone.segments.size()));
        for (const OrgbSegment &segment : zone.segments)
            out.string(segment.name).i32(segment.type).u32(segment.start).u32(segment.ledCount);
    }
    if (version >= 5)
        out.u32(zone.flags);
}

} // namespace

OrgbMode OrgbCodec::readMode(OrgbReader &in, std::uint32_t version)
{
    OrgbMode mode;
    mode.name = in.string();
    mode.value = in.i32();
    mode.flags = in.u32();
    mode.speedMin = in.u32();
    mode.speedMax = in.u32();
    if (version >= 3) {
        mode.brightnessMin = in.u32();
        mode.brightnessMax = in.u32();
    }
    mode.colorsMin = in.u32();
    mode.colorsMax = in.u32();
    mode.speed = in.u32();
    if (version >= 3)
        mode.brightness = in.u32();
    mode.direction = in.u32();
    mode.colorMode = in.u32();
    mode.colors = readColours(in);
    return mode;
}

void OrgbCodec::writeMode(OrgbWriter &out, const OrgbMode &mode, std::uint32_t version)
{
    out.string(mode.name).i32(mode.value).u32(mode.flags).u32(mode.speedMin).u32(mode.speedMax);
    if (version >= 3)
        out.u32(mode.brightnessMin).u32(mode.brightnessMax);
    out.u32(mode.colorsMin).u32(mode.colorsMax).u32(mode.speed);
    if (version >= 3)
        out.u32(mode.brightness);
    out.u32(mode.direction).u32(mode.colorMode);
    writeColours(out, mode.colors);
}

std::optional<OrgbController> OrgbCodec::decodeController(const std::string &payload, std::uint32_t version,
                                                          std::string *error)
{
    const auto refuse = [error](const char *reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    OrgbReader in(payload.data(), payload.size());
    const std::uint32_t dataSize = in.u32();
    if (in.failed() || dataSize != payload.size())
        return refuse("controller block size does not match its packet");

    OrgbController controller;
    controller.type = in.i32();
    controller.name = in.string();
    if (version >= 1)
        controller.vendor = in.string();
    controller.description = in.string();
    controller.version = in.string();
    controller.serial = in.string();
    controller.location = in.string();
    const std::uint16_t modeCount = in.u16();
    controller.activeMode = in.i32();
    if (!in.fits(modeCount, minMode(version)))
        return refuse("controller block announces more modes than it holds");
    controller.modes.reserve(modeCount);
    for (std::size_t i = 0; i < modeCount && !in.failed(); ++i)
        controller.modes.push_back(readMode(in, version));

    const std::size_t zoneCount = in.count(minZone(version));
    for (std::size_t i = 0; i < zoneCount && !in.failed(); ++i)
        controller.zones.push_back(readZone(in, version));

    const std::size_t ledCount = in.count(kMinLed);
    for (std::size_t i = 0; i < ledCount && !in.failed(); ++i) {
        OrgbLed led;
        led.name = in.string();
        led.value = in.u32();
        controller.leds.push_back(led);
    }
    controller.colors = readColours(in);
    if (version >= 5) {
        const std::size_t names = in.count(kMinString);
        for (std::size_t i = 0; i < names && !in.failed(); ++i)
            controller.ledAlternateNames.push_back(in.string());
        controller.flags = in.u32();
    }
    if (in.failed())
        return refuse("controller block is truncated or holds a count that does not fit");
    return controller;
}

std::string OrgbCodec::encodeController(const OrgbController &c, std::uint32_t version)
{
    OrgbWriter out;
    out.u32(0).i32(c.type).string(c.name);
    if (version >= 1)
        out.string(c.vendor);
    out.string(c.description).string(c.version).string(c.serial).string(c.location);
    out.u16(std::uint16_t(c.modes.size())).i32(c.activeMode);
    for (const OrgbMode &mode : c.modes)
        writeMode(out, mode, version);
    out.u16(std::uint16_t(c.zones.size()));
    for (const OrgbZone &zone : c.zones)
        writeZone(out, zone, version);
    out.u16(std::uint16_t(c.leds.size()));
    for (const OrgbLed &led : c.leds)
        out.string(led.name).u32(led.value);
    writeColours(out, c.colors);
    if (version >= 5) {
        out.u16(std::uint16_t(c.ledAlternateNames.size()));
        for (const std::string &name : c.ledAlternateNames)
            out.string(name);
        out.u32(c.flags);
    }
    out.patchU32(0, std::uint32_t(out.size()));
    return out.data();
}
