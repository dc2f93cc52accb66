#include "EnvironmentEffects.h"

#include "EffectClock.h"
#include "EffectFrame.h"
#include "EffectRandom.h"
#include "SoftwareEffects.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

enum WeatherType : int { Rain = 1, Clear = 2, Thunderstorm = 3, Clouds = 4, Drizzle = 5, Snow = 6 };

constexpr int kFirstTableDegree = 42;
constexpr COLORREF kTemperatureColours[] = {
    0xFF2A00, 0xFF5500, 0xFF7F00, 0xFFAA00, 0xFFD400, 0xFFFF00, 0xD4FF00, 0xAAFF00, // 42..49
    0x7FFF00, 0x55FF00, 0x2AFF00, 0x00FF00, 0x00FF2A, 0x00FF55, 0x00FF7F, 0x00FFAA, // 50..57
    0x00FFD4, 0x00FFFF, 0x00D4FF, 0x00AAFF, 0x007FFF, 0x0055FF, 0x002AFF,           // 58..64
};
constexpr int kTableLength = int(sizeof kTemperatureColours / sizeof kTemperatureColours[0]);
constexpr COLORREF kColdColour = 0xFF0000;
constexpr COLORREF kHotColour = 0x0000FF;

int stepToward(int value, int target)
{
    return value > target ? value - 1 : value < target ? value + 1 : value;
}

// Adds without wrapping, so a work value can never overflow whatever it held before.
void add(std::int32_t &value, int delta)
{
    const std::int64_t sum = std::int64_t(value) + delta;
    value = std::int32_t(qBound<std::int64_t>(std::numeric_limits<std::int32_t>::min(), sum,
                                              std::numeric_limits<std::int32_t>::max()));
}

// value + delta, stopping at `bound` (a floor when moving down, a ceiling when moving up);
// formed wide, so a value that a fault left at the end of its type cannot overflow.
std::int32_t nudged(std::int32_t value, int delta, int bound)
{
    const std::int64_t moved = std::int64_t(value) + delta;
    return std::int32_t(delta < 0 ? qMax<std::int64_t>(bound, moved) : qMin<std::int64_t>(bound, moved));
}

void setWork(EffectState &effect, int led, int red, int green, int blue)
{
    effect.workRed[led] = red;
    effect.workGreen[led] = green;
    effect.workBlue[led] = blue;
}

// Every LED = its work values times the sky factor, each product cut to its low byte.
// The factor's type decides whether the products are formed in float or double.
template <typename Factor>
void showWork(EffectFrame &frame, const EffectState &effect, Factor factor)
{
    for (int k = 0; k < frame.size(); ++k) {
        frame.set(k, rgbColor(SoftwareEffects::lowByte(effect.workRed[k] * factor),
                              SoftwareEffects::lowByte(effect.workGreen[k] * factor),
                              SoftwareEffects::lowByte(effect.workBlue[k] * factor)));
    }
}

// The sky radiates from the middle LED: each entry takes its inner neighbour's value,
// the hidden entries 5 to 11 continuing the ring on both sides.
void shiftOutward(std::int32_t (&work)[kLedSlots])
{
    std::int32_t old[kLedSlots];
    std::copy(std::begin(work), std::end(work), std::begin(old));
    work[1] = old[2];
    work[3] = old[2];
    work[0] = old[1];
    work[4] = old[3];
    work[5] = old[4];
    work[6] = old[5];
    work[7] = old[6];
    work[11] = old[0];
    work[10] = old[11];
    work[9] = old[10];
    work[8] = old[9];
}

void shiftSky(EffectState &effect)
{
    shiftOutward(effect.workRed);
    shiftOutward(effect.workGreen);
    shiftOutward(effect.workBlue);
}

// How a flare's key value moves: at rest it starts with chance 1 in 50; on the grid of
// `step` it keeps rising; off the grid (the peak of 255 and what falls from it) it falls back.
int flareDelta(int key, int step, EffectRandom &random)
{
    if (key < 10)
        return random.draw(50) == 0 ? step : 0;
    return key % 10 == 0 ? step : -step;
}

// A flare that rose past the top holds its peak colour; one that fell back near zero goes out.
void settleFlare(EffectState &effect, int led, int key, COLORREF peak)
{
    if (key >= 260)
        setWork(effect, led, redOf(peak), greenOf(peak), blueOf(peak));
    else if (key < 6)
        setWork(effect, led, 0, 0, 0);
}

// Rain and drizzle: cyan drops flare up in steps of 30 and fade back.
void rainSky(EffectState &effect, int leds, EffectRandom &random)
{
    for (int k = 0; k < leds; ++k) {
        const int delta = flareDelta(effect.workBlue[k], 30, random);
        add(effect.workGreen[k], delta);
        add(effect.workBlue[k], delta);
        settleFlare(effect, k, effect.workBlue[k], rgbColor(0, 255, 255));
    }
}

// Clear: a warm light that wanders between yellow and pale.
void clearSky(EffectState &effect, EffectRandom &random)
{
    shiftSky(effect);
    if (random.draw() % 2 != 0) {
        effect.workRed[2] = nudged(effect.workRed[2], -10, 0);
        effect.workGreen[2] = nudged(effect.workGreen[2], -10, 0);
        effect.workBlue[2] = nudged(effect.workBlue[2], 5, 125);
    } else {
        effect.workRed[2] = nudged(effect.workRed[2], 10, 255);
        effect.workGreen[2] = nudged(effect.workGreen[2], 10, 255);
        effect.workBlue[2] = nudged(effect.workBlue[2], -5, 0);
    }
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

// Thunderstorm: a faint glow builds up, flashes to near white and goes out.
void stormSky(EffectState &effect, int leds, EffectRandom &random)
{
    for (int k = 0; k < leds; ++k) {
        std::int32_t *channels[3] = {&effect.workRed[k], &effect.workGreen[k], &effect.workBlue[k]};
        bool settled = true;
        bool flashing = true;
        bool glowing = false;
        for (const std::int32_t *channel : channels) {
            settled = settled && (*channel == 0 || *channel > 49);
            flashing = flashing && inRange(*channel, 50, 249);
            glowing = glowing || inRange(*channel, 1, 49);
        }
        if (settled) {
            for (std::int32_t *channel : channels)
                *channel = flashing ? qMin(255, *channel + random.draw(200) + 55) : 0;
        }
        if (glowing) {
            const int rise = random.draw(15) + 3;
            for (std::int32_t *channel : channels)
                add(*channel, rise);
        }
    }
    for (int k = 0; k < leds; ++k) {
        if (effect.workRed[k] != 0 || effect.workGreen[k] != 0 || effect.workBlue[k] != 0)
            continue;
        if (random.draw(200) != 0)
            continue;
        const int spark = random.draw(20);
        setWork(effect, k, spark, spark, spark);
    }
}

// Clouds: grey shades drifting between 10 and 125.
void cloudSky(EffectState &effect, EffectRandom &random)
{
    shiftSky(effect);
    std::int32_t *middle[3] = {&effect.workRed[2], &effect.workGreen[2], &effect.workBlue[2]};
    const bool darker = random.draw() % 2 != 0;
    for (std::int32_t *channel : middle)
        *channel = darker ? nudged(*channel, -10, 10) : nudged(*channel, 10, 125);
}

// Snow: white flakes swell and fade in steps of 10.
void snowSky(EffectState &effect, int leds, EffectRandom &random)
{
    for (int k = 0; k < leds; ++k) {
        const int delta = flareDelta(effect.workRed[k], 10, random);
        add(effect.workRed[k], delta);
        add(effect.workGreen[k], delta);
        add(effect.workBlue[k], delta);
        settleFlare(effect, k, effect.workRed[k], rgbColor(255, 255, 255));
    }
}

} // namespace

void EnvironmentEffects::movie(EngineState &state, int module, COLORREF *leds, int count, int)
{
    SoftwareEffects::forModule(state, module, leds, count, [&state](MemoryModuleData &data, EffectFrame &frame) {
        SoftwareEffects::fillFromSource(frame, data, float(state.volume) / 100.0f);
    });
}

void EnvironmentEffects::gaming(EngineState &state, int module, COLORREF *leds, int count, int)
{
    SoftwareEffects::forModule(state, module, leds, count, [&state](MemoryModuleData &data, EffectFrame &frame) {
        const int lit = state.volume / 20;
        const float f = float(state.volume) / 100.0f;
        frame.fill(0);
        for (int k = 0; k < lit && k < frame.size(); ++k) {
            if (const auto colour = SoftwareEffects::colourSource(data, k, f))
                frame.set(k, *colour);
        }
    });
}

void EnvironmentEffects::softwareParty(EngineState &state, int module, COLORREF *leds, int count, int)
{
    SoftwareEffects::forModule(state, module, leds, count, [&state](MemoryModuleData &data, EffectFrame &frame) {
        const int p = state.volume / 20;
        const int q = p + 2 >= 5 ? p + 2 - 5 : p + 2;
        qCDebug(lcLightingEffects) << "Lighting_Control::softwareParty" << p << q;

        const auto tenth = [](COLORREF colour, float bright) {
            return rgbColor(SoftwareEffects::lowByte(redOf(colour) * bright * 0.1),
                            SoftwareEffects::lowByte(greenOf(colour) * bright * 0.1),
                            SoftwareEffects::lowByte(blueOf(colour) * bright * 0.1));
        };
        if (data.colorMode == ColorModeRGB) {
            for (int k = 0; k < frame.size(); ++k)
                frame.set(k, tenth(data.rgb[k], data.bright[k]));
        } else if (data.colorMode == ColorModeSingle) {
            frame.fill(tenth(data.singleRGB, data.singleBright));
        } else {
            return;
        }
        for (const int led : {p, q}) {
            if (frame.contains(led))
                frame.set(led, *SoftwareEffects::colourSource(data, led));
        }

        if (lcLightingEffects().isDebugEnabled()) {
            const MemoryModuleData &first = state.memoryData[0];
            for (int k = 0; k < kDrivenLeds; ++k) {
                qCDebug(lcLightingEffects) << "memoryData[0].bright[" << k << "]" << first.bright[k];
                qCDebug(lcLightingEffects) << "memoryData[0].softwareRGB[" << k << "]" << first.softwareRGB[k];
            }
        }
    });
}

void EnvironmentEffects::softwareTemp(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    SoftwareEffects::forGatedStep(state, module, leds, count, frameCounter, [&state](MemoryModuleData &, EffectFrame &frame) {
        qCDebug(lcLightingEffects) << "softwareTemp";
        const COLORREF target = temperatureColour(state.cpuTemperature);
        const COLORREF current = frame.at(0);
        frame.fill(rgbColor(stepToward(redOf(current), redOf(target)), stepToward(greenOf(current), greenOf(target)),
                            stepToward(blueOf(current), blueOf(target))));
    });
}

void EnvironmentEffects::screenMovie(EngineState &state, int module, COLORREF *leds, int count, int)
{
    SoftwareEffects::forModule(state, module, leds, count, [&state](MemoryModuleData &, EffectFrame &frame) {
        const double f = (float(state.volume) / 100.0f) * 0.5 + 0.5;
        frame.fill(rgbColor(SoftwareEffects::lowByte(state.deskRed * f), SoftwareEffects::lowByte(state.deskGreen * f),
                            SoftwareEffects::lowByte(state.deskBlue * f)));
    });
}

void EnvironmentEffects::clock(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    SoftwareEffects::forModule(state, module, leds, count, [&state, module, frameCounter](MemoryModuleData &data, EffectFrame &frame) {
        const float f = sunFactor(state, EffectClock::secsSinceEpoch());
        EffectState &effect = data.effect;
        EffectRandom &random = state.random[module];
        switch (state.weatherType) {
        case Rain:
        case Drizzle:
            rainSky(effect, frame.size(), random);
            break;
        case Clear:
            clearSky(effect, random);
            break;
        case Thunderstorm:
            stormSky(effect, frame.size(), random);
            // Lightning shows brighter at night.
            showWork(frame, effect, 1.1 - f);
            return;
        case Clouds:
            if (frameCounter % 2 != 0)
                return;
            cloudSky(effect, random);
            break;
        case Snow:
            snowSky(effect, frame.size(), random);
            break;
        default:
            frame.fill(0);
            return;
        }
        showWork(frame, effect, f);
    });
}

COLORREF EnvironmentEffects::temperatureColour(int celsius)
{
    if (celsius < kFirstTableDegree)
        return kColdColour;
    if (celsius >= kFirstTableDegree + kTableLength)
        return kHotColour;
    return kTemperatureColours[celsius - kFirstTableDegree];
}

float EnvironmentEffects::sunFactor(const EngineState &state, qint64 now)
{
    constexpr float night = 0.05f;
    // Sunrise at sunset (or before it) makes no day to divide by: that counts as night.
    if (state.dayLength <= 0 || now < state.sunrise || now > state.sunset)
        return night;
    const float t = float(now - state.sunrise) / float(state.dayLength);
    return float(3.2 * t - t * (3.2 * t) + 0.1);
}
