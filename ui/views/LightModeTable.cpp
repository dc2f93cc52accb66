#include "LightModeTable.h"

#include "LightingTypes.h"

#include <QtGlobal>

#include <cstring>

namespace {

struct ModeRow
{
    const char *source;
    bool listed;
};

// Keys are the names the control program uses; the English catalogue gives the shown text.
const ModeRow kModes[LightModeTable::kModeCount] = {
    {QT_TRANSLATE_NOOP("Lighting_View", "Flow"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "RGB Spectrum"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Ripple"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Blink"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Pulse"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Wave"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Static"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Copy"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Movie"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Gaming"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Party"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Mobile_Movie"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Mobile_Gaming"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Mobile_Party"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Temp."), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Cross"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Hello"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Shooting Star"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Black Hole"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Aurora"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "RGB Sync"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Twinkle"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Script"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Weather"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Raindrop"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Heartbeat"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Stack"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Scan"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Swirl"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Screen Gaming"), false},
    {QT_TRANSLATE_NOOP("Lighting_View", "Screen Movie"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Clock"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Rain"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Fireworks"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "Explosion"), true},
    {QT_TRANSLATE_NOOP("Lighting_View", "MB Sync"), false},
};

const char *const kRGB = QT_TRANSLATE_NOOP("Lighting_View", "RGB");
const char *const kSingle = QT_TRANSLATE_NOOP("Lighting_View", "Single");
const char *const kOff = QT_TRANSLATE_NOOP("Lighting_View", "OFF");
const char *const kRandom = QT_TRANSLATE_NOOP("Lighting_View", "Random");

const char *const kSpeeds[LightModeTable::kSpeedCount] = {
    QT_TRANSLATE_NOOP("Lighting_View", "Extreme"),
    QT_TRANSLATE_NOOP("Lighting_View", "Fast"),
    QT_TRANSLATE_NOOP("Lighting_View", "Normal"),
    QT_TRANSLATE_NOOP("Lighting_View", "Slow"),
};

bool isOneOf(int mode, std::initializer_list<int> modes)
{
    for (int m : modes) {
        if (m == mode)
            return true;
    }
    return false;
}

} // namespace

const char *LightModeTable::sourceText(int mode)
{
    if (mode < 0 || mode >= kModeCount)
        return nullptr;
    return kModes[mode].source;
}

bool LightModeTable::isListed(int mode)
{
    return mode >= 0 && mode < kModeCount && kModes[mode].listed;
}

QList<int> LightModeTable::listedModes()
{
    QList<int> modes;
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (kModes[mode].listed)
            modes.append(mode);
    }
    return modes;
}

LightModeTable::Controls LightModeTable::controlsFor(int mode)
{
    Controls c;
    if (mode == 5) {
        c.colorEntries = {{kRGB, 0}};
        c.colorEnabled = false;
    } else if (mode == 2) {
        // Ripple runs on the single colour; its "Single" is the engine's colour mode 0.
        c.colorEntries = {{kSingle, 0}, {kRandom, 3}};
    } else if (mode == 32) {
        c.colorEntries = {{kSingle, 0}};
        c.colorEnabled = false;
    } else if (isOneOf(mode, {0, 1, 7, 14, 16, 19, 20, 22, 23, 29, 30, 31})) {
        // These modes make their own colours.
        c.colorEntries = {{kOff, 0}};
        c.colorEnabled = false;
        c.rgbEnabled = false;
        c.brightEnabled = false;
    } else if (isOneOf(mode, {3, 4, 25})) {
        c.colorEntries = {{kRGB, 0}, {kSingle, 1}, {kRandom, 3}};
    } else {
        c.colorEntries = {{kRGB, 0}, {kSingle, 1}};
    }
    c.speedFixed = (mode >= 6 && mode <= 14) || (mode >= 16 && mode <= 20) || mode == 22 || mode == 23
        || (mode >= 29 && mode <= 31);
    return c;
}

const char *LightModeTable::speedText(int speed)
{
    return speed >= 0 && speed < kSpeedCount ? kSpeeds[speed] : nullptr;
}

QList<LightModeTable::ColorEntry> LightModeTable::looks()
{
    return {{kRGB, ColorModeRGB}, {kSingle, ColorModeSingle}, {kOff, ColorModeOff}, {kRandom, ColorModeRandom}};
}

int LightModeTable::lookOfSource(const char *source)
{
    if (!source)
        return 0;
    if (std::strcmp(source, kSingle) == 0)
        return 1;
    if (std::strcmp(source, kOff) == 0)
        return 2;
    if (std::strcmp(source, kRandom) == 0)
        return 3;
    return 0;
}

LightModeTable::ColorEntry LightModeTable::entryFor(int mode, int colorMode)
{
    const Controls c = controlsFor(mode);
    for (const ColorEntry &e : c.colorEntries) {
        if (e.number == colorMode)
            return e;
    }
    return c.colorEntries.first();
}
