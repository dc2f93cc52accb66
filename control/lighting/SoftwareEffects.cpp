#include "SoftwareEffects.h"

#include "EffectFrame.h"
#include "EffectRandom.h"
#include "EnvironmentEffects.h"

#include <cmath>
#include <cstdlib>
#include <limits>

Q_LOGGING_CATEGORY(lcLightingEffects, "veltrima.lighting.effects", QtInfoMsg)

namespace {

constexpr int kWheelStep = 25;

// lightSpeed + 1, at least 1, so a speed outside 0 to 3 can neither divide by zero
// nor overflow.
std::int64_t speedPeriod(int lightSpeed)
{
    const std::int64_t period = std::int64_t(lightSpeed) + 1;
    return period > 0 ? period : 1;
}

bool stepsNow(int frameCounter, std::int64_t period)
{
    return frameCounter % period == 0;
}

// counter + 1, or 0 once the counter has reached `last`; a counter that a fault left
// negative (or at the top of its type) starts over too.
int nextCount(int counter, std::int64_t last)
{
    return counter < 0 || counter >= last || counter == std::numeric_limits<int>::max() ? 0 : counter + 1;
}

// value mod n, never negative.
int wrapped(int value, int n)
{
    return (value % n + n) % n;
}

// Where a cursor stands in a list of `length` items; a cursor left beyond a list that
// has since shrunk starts again at the first item instead of freezing the effect.
int cursorIn(int cursor, int length)
{
    return cursor >= 0 && cursor < length ? cursor : 0;
}

int wrapIndex(int index, int length)
{
    return index < 0 ? index + length : index;
}

bool isLit(const EffectFrame &frame, int led)
{
    return frame.at(led) != 0;
}

// Sets the LED when the colour mode gives a colour; otherwise it keeps what it shows.
void setIfAny(EffectFrame &frame, int led, const std::optional<COLORREF> &colour)
{
    if (colour)
        frame.set(led, *colour);
}

// Each channel times numerator / denominator in integer arithmetic.
COLORREF fraction(COLORREF c, int numerator, int denominator)
{
    return rgbColor(numerator * redOf(c) / denominator, numerator * greenOf(c) / denominator,
                    numerator * blueOf(c) / denominator);
}

// The first LED with the largest packed value, or -1 when all are dark.
int brightestLed(const EffectFrame &frame)
{
    int brightest = -1;
    COLORREF largest = 0;
    for (int k = 0; k < frame.size(); ++k) {
        if (frame.at(k) > largest) {
            largest = frame.at(k);
            brightest = k;
        }
    }
    return brightest;
}

COLORREF workColour(const EffectState &effect, int led, float factor)
{
    return rgbColor(SoftwareEffects::lowByte(float(effect.workRed[led]) * factor),
                    SoftwareEffects::lowByte(float(effect.workGreen[led]) * factor),
                    SoftwareEffects::lowByte(float(effect.workBlue[led]) * factor));
}

// Pulse and Heartbeat in colour mode Random: while the module is dark they draw a new
// colour, then show the work colours at `factor`. Reseeding before each LED would give
// every LED the same colour, so one draw serves all of them.
void showRandomWork(EffectFrame &frame, MemoryModuleData &data, EffectRandom &random, float factor)
{
    EffectState &effect = data.effect;
    if (factor == 0.0f) {
        const COLORREF colour = random.colour();
        for (int k = 0; k < frame.size(); ++k) {
            effect.workRed[k] = redOf(colour);
            effect.workGreen[k] = greenOf(colour);
            effect.workBlue[k] = blueOf(colour);
        }
    }
    for (int k = 0; k < frame.size(); ++k)
        frame.set(k, workColour(effect, k, factor));
}

// Shows the frame of Pulse or Heartbeat at `factor` by the colour mode.
void showBeat(EffectFrame &frame, MemoryModuleData &data, EffectRandom &random, float factor)
{
    switch (data.colorMode) {
    case ColorModeRGB:
    case ColorModeSingle:
        SoftwareEffects::fillFromSource(frame, data, factor);
        break;
    case ColorModeRandom:
        showRandomWork(frame, data, random, factor);
        break;
    default:
        break;
    }
}

// The LED that a chase item lights in `module`, or -1 when the item is another module's.
int chaseLed(const QVector<ChaseItem> &list, int index, int module)
{
    if (index < 0 || index >= list.size())
        return -1;
    const ChaseItem &item = list.at(index);
    return item.module == module ? item.step : -1;
}

// Shooting Star and Black Hole: calls visit(led, j) for the head (j = 0) and the two
// trailing items (j = 1, 2) of the chase that belong to `module`; the module's head moves
// the shared cursor on by one. Head and tail are placed from the cursor as it stood when
// this module's turn began; moving it first would let the head overwrite its own tail.
template <typename Visit>
void walkChase(EngineState &state, int module, Visit &&visit)
{
    const QVector<ChaseItem> &list = state.chaseList;
    const int length = list.size();
    if (length == 0)
        return;
    const int cursor = cursorIn(state.chaseCursor, length);
    state.chaseCursor = cursor;
    for (int j = 0; j < 3; ++j) {
        const int led = chaseLed(list, wrapIndex(cursor - j, length), module);
        if (led < 0)
            continue;
        visit(led, j);
        if (j == 0)
            state.chaseCursor = (cursor + 1) % length;
    }
}

} // namespace

void SoftwareEffects::computeFrame(EngineState &state, int module, COLORREF *frame, int count, int frameCounter)
{
    const MemoryModuleData *data = moduleData(state, module);
    if (!data)
        return;
    using Effect = void (*)(EngineState &, int, COLORREF *, int, int);
    Effect effect = nullptr;
    switch (data->lightMode) {
    case 0: effect = flow; break;
    case 1: effect = rgbSpectrum; break;
    case 2: effect = ripple; break;
    case 3: effect = blink; break;
    case 4: effect = pulse; break;
    case 5: effect = wave; break;
    case 6: effect = staticColours; break;
    case 8: effect = EnvironmentEffects::movie; break;
    case 9: effect = EnvironmentEffects::gaming; break;
    case 10: effect = EnvironmentEffects::softwareParty; break;
    case 14: effect = EnvironmentEffects::softwareTemp; break;
    case 15: effect = cross; break;
    case 17: effect = shootingStar; break;
    case 18: effect = blackHole; break;
    case 19: effect = aurora; break;
    case 21: effect = twinkle; break;
    case 24: effect = raindrop; break;
    case 25: effect = heartbeat; break;
    case 26: effect = stack; break;
    case 27: effect = scan; break;
    case 28: effect = swirl; break;
    case 30: effect = EnvironmentEffects::screenMovie; break;
    case 31: effect = EnvironmentEffects::clock; break;
    case 32: effect = rain; break;
    case 33: effect = fireworks; break;
    case 34: effect = explosion; break;
    default: return;
    }
    effect(state, module, frame, count, frameCounter);
}

COLORREF SoftwareEffects::scale(COLORREF c, float f)
{
    return rgbColor(lowByte(float(redOf(c)) * f), lowByte(float(greenOf(c)) * f), lowByte(float(blueOf(c)) * f));
}

COLORREF SoftwareEffects::stepColourWheel(COLORREF c, int step)
{
    int r = redOf(c);
    int g = greenOf(c);
    int b = blueOf(c);
    if (r == 255 && g <= 254 && b == 0)
        g += step;
    else if (r >= 1 && g == 255 && b == 0)
        r -= step;
    else if (r == 0 && g == 255 && b <= 254)
        b += step;
    else if (r == 0 && g >= 1 && b == 255)
        g -= step;
    else if (r <= 254 && g <= 254 && b == 255) {
        r += step;
        g += step;
    } else if (r == 255 && g >= 1 && b == 255)
        g -= step;
    else if (r == 255 && g == 0 && b >= 1)
        b -= step;
    else
        return c;
    return rgbColor(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
}

MemoryModuleData *SoftwareEffects::moduleData(EngineState &state, int module)
{
    return module >= 0 && module < kModuleCount ? &state.memoryData[module] : nullptr;
}

bool SoftwareEffects::isGated(const MemoryModuleData &module, int frameCounter)
{
    return stepsNow(frameCounter, speedPeriod(module.lightSpeed));
}

std::optional<COLORREF> SoftwareEffects::colourSource(const MemoryModuleData &module, int led, float factor)
{
    switch (module.colorMode) {
    case ColorModeRGB:
        if (led < 0 || led >= kLedSlots)
            return COLORREF(0);
        return scale(module.rgb[led], module.bright[led] * factor);
    case ColorModeSingle:
        return scale(module.singleRGB, module.singleBright * factor);
    default:
        return std::nullopt;
    }
}

bool SoftwareEffects::fillFromSource(EffectFrame &frame, const MemoryModuleData &module, float factor)
{
    if (!colourSource(module, 0, factor))
        return false;
    for (int k = 0; k < frame.size(); ++k)
        frame.set(k, *colourSource(module, k, factor));
    return true;
}

int SoftwareEffects::lowByte(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double whole = std::trunc(value);
    if (std::fabs(whole) < 2147483648.0)
        return static_cast<int>(static_cast<std::int64_t>(whole) & 0xFF);
    // Beyond 32 bits only the remainder by 256 matters for the low byte.
    const double low = std::fmod(whole, 256.0);
    return static_cast<int>(low < 0 ? low + 256.0 : low);
}

void SoftwareEffects::flow(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        const int from = cursorIn(data.effect.flowIndex, frame.size());
        const int to = (from + 1) % frame.size();
        frame.set(to, stepColourWheel(frame.at(from), kWheelStep));
        data.effect.flowIndex = to;
    });
}

void SoftwareEffects::rgbSpectrum(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &, EffectFrame &frame) {
        for (int k = 0; k < frame.size(); ++k)
            frame.set(k, stepColourWheel(frame.at(k), kWheelStep));
    });
}

void SoftwareEffects::ripple(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        frame.rotateUp();
        if (data.colorMode != ColorModeRandom || brightestLed(frame) != 0)
            return;
        const COLORREF c = state.random[module].colour();
        frame.set(0, c);
        frame.set(4, fraction(c, 2, 3));
        frame.set(3, fraction(c, 1, 3));
    });
}

void SoftwareEffects::blink(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forModule(state, module, leds, count, [&state, module, frameCounter](MemoryModuleData &data, EffectFrame &frame) {
        if (!stepsNow(frameCounter, 4 * speedPeriod(data.lightSpeed)))
            return;
        EffectState &effect = data.effect;
        if (effect.blinkOn) {
            frame.fill(0);
        } else if (data.colorMode == ColorModeRandom) {
            frame.fill(state.random[module].colour());
        } else {
            fillFromSource(frame, data);
        }
        effect.blinkOn = !effect.blinkOn;
    });
}

void SoftwareEffects::pulse(EngineState &state, int module, COLORREF *leds, int count, int)
{
    forModule(state, module, leds, count, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        const std::int64_t period = speedPeriod(data.lightSpeed) * 10;
        const std::int64_t c = effect.pulseCounter;
        const float f = std::fabs(float(period - c) / float(period));
        showBeat(frame, data, state.random[module], f);
        effect.pulseCounter = nextCount(effect.pulseCounter, 2 * period);
    });
}

void SoftwareEffects::wave(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &, EffectFrame &frame) {
        frame.rotateUp();
    });
}

void SoftwareEffects::staticColours(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        fillFromSource(frame, data);
    });
}

void SoftwareEffects::cross(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        frame.fill(0);
        const int p = wrapped(effect.crossCounter, 5);
        qCDebug(lcLightingEffects) << "softwareCross" << p;
        // The partner of LED 0 would be entry 5, outside the frame: at p = 0 LED 0 lights alone.
        setIfAny(frame, p, colourSource(data, p));
        setIfAny(frame, 5 - p, colourSource(data, 5 - p));
        effect.crossCounter = nextCount(effect.crossCounter, 4);
    });
}

void SoftwareEffects::shootingStar(EngineState &state, int module, COLORREF *leds, int count, int)
{
    forModule(state, module, leds, count, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        if (!state.chaseReady)
            return;
        frame.fill(0);
        walkChase(state, module, [&](int led, int j) {
            setIfAny(frame, led, colourSource(data, led, float(3 - j) / 3.0f));
        });
    });
}

void SoftwareEffects::blackHole(EngineState &state, int module, COLORREF *leds, int count, int)
{
    forModule(state, module, leds, count, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        if (!state.chaseReady)
            return;
        if (!fillFromSource(frame, data))
            frame.fill(0);
        walkChase(state, module, [&frame](int led, int) { frame.set(led, 0); });
    });
}

void SoftwareEffects::aurora(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forModule(state, module, leds, count, [&state, frameCounter](MemoryModuleData &, EffectFrame &frame) {
        if (frameCounter % 4 != 0)
            return;
        constexpr int scaleLength = int(sizeof state.colourScale / sizeof state.colourScale[0]);
        int i = state.auroraIndex;
        if (i < 0 || i > scaleLength)
            i = 0;
        const int start = i >= scaleLength ? i - scaleLength : i;
        for (int k = 0; k < 5; ++k)
            frame.set(4 - k, state.colourScale[(start + k) % scaleLength]);
        state.auroraIndex = i + 1 >= scaleLength + 1 ? 0 : i + 1;
    });
}

void SoftwareEffects::twinkle(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        if (!state.twinkleReady)
            return;
        frame.fill(0);
        const QVector<ChaseItem> &list = state.twinkleList;
        if (list.isEmpty())
            return;
        const int cursor = cursorIn(state.twinkleCursor, list.size());
        state.twinkleCursor = cursor;
        const ChaseItem &item = list.at(cursor);
        if (item.module != module)
            return;
        if (item.flag == 1)
            fillFromSource(frame, data);
        state.twinkleCursor = (cursor + 1) % list.size();
    });
}

void SoftwareEffects::raindrop(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        EffectRandom &random = state.random[module];
        for (int k = 0; k < frame.size(); ++k) {
            int &level = data.effect.dropLevel[k];
            if (level < 1)
                level = random.draw(30) == 0 ? 1 : 0;
            else
                level = qMin(level, 19) + 1;
            int v = 0;
            if (level >= 20)
                level = 0;
            else
                v = level > 9 ? 20 - level : level;
            setIfAny(frame, k, colourSource(data, k, float(v) / 10.0f));
        }
    });
}

void SoftwareEffects::heartbeat(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        const int c = qBound(0, effect.beatCounter, 10);
        float v = float(std::pow(1.4, c));
        effect.beatCounter = nextCount(c, 10);
        if (v > 20.0f) {
            v = 0.0f;
            effect.beatCounter = 0;
        }
        const float f = v > 9.0f ? (20.0f - v) / 10.0f : v / 10.0f;
        showBeat(frame, data, state.random[module], f);
    });
}

void SoftwareEffects::stack(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        int s = data.effect.stackCounter;
        if (s == -1) {
            frame.fill(0);
            s = 0;
        } else if (s >= 1 && s <= 4) {
            frame.set(s - 1, 0);
            setIfAny(frame, s, colourSource(data, s));
            ++s;
            if (s < 5 && isLit(frame, s))
                s = 0;
        } else if (s == 0) {
            setIfAny(frame, 0, colourSource(data, 0));
            s = isLit(frame, 1) ? -1 : 1;
        }
        if (s >= 5 || s < -1)
            s = 0;
        data.effect.stackCounter = s;
    });
}

void SoftwareEffects::scan(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        const int counter = qBound(0, effect.scanCounter, 6);
        const int p = counter > 3 ? 6 - counter : counter;
        frame.fill(0);
        for (const int led : {p, p + 1})
            setIfAny(frame, led, colourSource(data, led));
        effect.scanCounter = nextCount(counter, 6);
    });
}

void SoftwareEffects::swirl(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        EffectRandom &random = state.random[module];
        if (random.draw(3) == 0)
            setIfAny(frame, 0, colourSource(data, random.draw(5)));
        else
            frame.set(0, 0);
        for (int k = 4; k > 0; --k)
            frame.set(k, frame.at(k - 1));
    });
}

void SoftwareEffects::rain(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [&state, module](MemoryModuleData &data, EffectFrame &frame) {
        // The top two LEDs hold a drop and let it fade; below them drops just rise.
        const COLORREF below4 = frame.at(3);
        const COLORREF top = frame.at(4);
        if (top == 0)
            frame.set(4, below4);
        else if (below4 != 0) {
            if (double(below4) * 0.9 > double(top))
                frame.set(4, below4);
        } else {
            frame.set(4, scale(top, 0.9f));
        }
        const COLORREF below3 = frame.at(2);
        const COLORREF third = frame.at(3);
        if (third == 0 || below3 != 0) {
            if (below3 != 0)
                frame.set(3, below3);
        } else {
            frame.set(3, scale(third, 0.9f));
        }
        frame.set(2, frame.at(1));
        frame.set(1, frame.at(0));

        const auto colour = state.random[module].draw(10) == 0 ? colourSource(data, 0) : std::optional<COLORREF>();
        frame.set(0, colour.value_or(0));
    });
}

void SoftwareEffects::fireworks(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        constexpr COLORREF white = 0xFFFFFF;
        const int c = wrapped(effect.fireworkCounter, 9);
        frame.set(4, c == 6 || c == 8 ? white : 0);
        frame.set(3, c == 3 || c == 5 ? white : 0);
        frame.set(2, frame.at(1));
        frame.set(1, frame.at(0));

        // The launch: the user colour unscaled, then at 2/3 and 1/3.
        COLORREF launch = 0;
        if ((data.colorMode == ColorModeRGB || data.colorMode == ColorModeSingle) && c < 3)
            launch = fraction(data.rgb[c], 3 - c, 3);
        frame.set(0, launch);
        effect.fireworkCounter = nextCount(effect.fireworkCounter, 89);
    });
}

void SoftwareEffects::explosion(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    forGatedStep(state, module, leds, count, frameCounter, [](MemoryModuleData &data, EffectFrame &frame) {
        EffectState &effect = data.effect;
        const int c = wrapped(effect.explosionCounter, 10);
        frame.fill(0);
        if (c % 2 == 0)
            frame.set(c / 2, data.rgb[c / 2]);
        effect.explosionCounter = nextCount(effect.explosionCounter, 99);
    });
}
