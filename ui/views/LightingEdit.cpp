#include "LightingEdit.h"

#include "LightModeTable.h"

int LightingEdit::Module::look() const
{
    return LightModeTable::lookOfSource(LightModeTable::entryFor(lightMode, colorMode).source);
}

void LightingEdit::fitToMode(Module &m)
{
    // A mode outside the table came from the channel: pass it on as it is.
    if (!LightModeTable::sourceText(m.lightMode))
        return;
    m.colorMode = LightModeTable::entryFor(m.lightMode, m.colorMode).number;
    if (LightModeTable::controlsFor(m.lightMode).speedFixed || m.lightSpeed < 0
        || m.lightSpeed >= LightModeTable::kSpeedCount)
        m.lightSpeed = SpeedNormal;
}

LightingEdit::Common LightingEdit::commonOf(const QList<int> &modules) const
{
    Common common;
    bool first = true;
    auto merge = [&first](std::optional<int> &shared, int value) {
        if (first)
            shared = value;
        else if (shared && *shared != value)
            shared.reset();
    };
    for (int k : modules) {
        if (!isValid(k))
            continue;
        const Module &m = m_modules[k];
        merge(common.lightMode, m.lightMode);
        merge(common.colorMode, m.colorMode);
        merge(common.lightSpeed, m.lightSpeed);
        first = false;
    }
    return common;
}

void LightingEdit::storeLighting(int k, int lightMode, int colorMode, int lightSpeed, bool turnOff)
{
    if (!isValid(k))
        return;
    Module &m = m_modules[k];
    m.lightMode = lightMode;
    m.colorMode = colorMode;
    m.lightSpeed = lightSpeed;
    m.turnOff = turnOff;
    fitToMode(m);
}

void LightingEdit::storeColours(int k, const LedColours &colours)
{
    if (isValid(k))
        m_modules[k].colours = colours;
}

void LightingEdit::setLightMode(const QList<int> &modules, int mode)
{
    const QList<LightModeTable::ColorEntry> entries = LightModeTable::controlsFor(mode).colorEntries;
    for (int k : modules) {
        if (!isValid(k))
            continue;
        Module &m = m_modules[k];
        m.lightMode = mode;
        m.colorMode = entries.first().number;
        fitToMode(m);
    }
}

void LightingEdit::setColorMode(const QList<int> &modules, int colorMode)
{
    for (int k : modules) {
        if (!isValid(k))
            continue;
        m_modules[k].colorMode = colorMode;
        fitToMode(m_modules[k]);
    }
}

void LightingEdit::setLightSpeed(const QList<int> &modules, int speed)
{
    for (int k : modules) {
        if (!isValid(k))
            continue;
        m_modules[k].lightSpeed = speed;
        fitToMode(m_modules[k]);
    }
}

void LightingEdit::setTurnOff(const QList<int> &modules, bool turnOff)
{
    for (int k : modules) {
        if (isValid(k))
            m_modules[k].turnOff = turnOff;
    }
}

void LightingEdit::pickColour(const QList<Target> &targets, COLORREF colour)
{
    for (const Target &t : targets) {
        if (isValid(t.module))
            m_modules[t.module].colours.pick(m_modules[t.module].look(), t.leds, colour);
    }
}

void LightingEdit::setBrightness(const QList<Target> &targets, float value)
{
    for (const Target &t : targets) {
        if (isValid(t.module))
            m_modules[t.module].colours.setBrightness(m_modules[t.module].look(), t.leds, value);
    }
}

void LightingEdit::restoreDefaults(const QList<int> &modules)
{
    for (int k : modules) {
        if (!isValid(k))
            continue;
        m_modules[k].colours = LedColours::defaults();
        m_modules[k].lightSpeed = SpeedNormal;
    }
}
