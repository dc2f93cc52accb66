#include "SoftwareEffects.h"

#include "EffectFrame.h"
#include "EffectRandom.h"
#include "EnvironmentEffects.h"

#include <cmath>
#include <cstdlib>

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

// Sets every LED from the colour source; false (frame unchanged) when the colour mode
// gives none.
bool fillFromSource(EffectFrame &frame, const MemoryModuleData &data, float factor = 1.0f)
{
    if (!SoftwareEffects::colourSource(data, 0, factor))
        return false;
    for (int k = 0; k < frame.size(); ++k)
        frame.set(k, *SoftwareEffects::colourSource(data, k, factor));
    return true;
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
void showRandomWork(EffectFrame &frame, MemoryModuleData &data, int module, float factor)
{
    EffectState &effect = data.effect;
    if (factor == 0.0f) {
        EffectRandom random(module);
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
void showBeat(EffectFrame &frame, MemoryModuleData &data, int module, float factor)
{
    switch (data.colorMode) {
    case ColorModeRGB:
    case ColorModeSingle:
        fillFromSource(frame, data, factor);
        break;
    case ColorModeRandom:
        showRandomWork(frame, data, module, factor);
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
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    const int from = cursorIn(effect.flowIndex, frame.size());
    const int to = (from + 1) % frame.size();
    frame.set(to, stepColourWheel(frame.at(from), kWheelStep));
    effect.flowIndex = to;
}

void SoftwareEffects::rgbSpectrum(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    for (int k = 0; k < frame.size(); ++k)
        frame.set(k, stepColourWheel(frame.at(k), kWheelStep));
}

void SoftwareEffects::ripple(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    frame.rotateUp();
    int brightest = -1;
    COLORREF largest = 0;
    for (int k = 0; k < frame.size(); ++k) {
        if (frame.at(k) > largest) {
            largest = frame.at(k);
            brightest = k;
        }
    }
    if (data->colorMode != ColorModeRandom || brightest != 0)
        return;
    EffectRandom random(module);
    const COLORREF c = random.colour();
    frame.set(0, c);
    frame.set(4, rgbColor(2 * redOf(c) / 3, 2 * greenOf(c) / 3, 2 * blueOf(c) / 3));
    frame.set(3, rgbColor(redOf(c) / 3, greenOf(c) / 3, blueOf(c) / 3));
}

void SoftwareEffects::blink(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !stepsNow(frameCounter, 4 * speedPeriod(data->lightSpeed)))
        return;
    EffectState &effect = data->effect;
    if (effect.blinkOn) {
        frame.fill(0);
    } else if (data->colorMode == ColorModeRandom) {
        EffectRandom random(module);
        frame.fill(random.colour());
    } else {
        fillFromSource(frame, *data);
    }
    effect.blinkOn = !effect.blinkOn;
}

void SoftwareEffects::pulse(EngineState &state, int module, COLORREF *leds, int count, int)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty())
        return;
    EffectState &effect = data->effect;
    const std::int64_t period = speedPeriod(data->lightSpeed) * 10;
    const std::int64_t c = effect.pulseCounter;
    const float f = std::fabs(float(period - c) / float(period));
    showBeat(frame, *data, module, f);
    effect.pulseCounter = c + 1 > 2 * period || c < 0 ? 0 : int(c + 1);
}

void SoftwareEffects::wave(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    frame.rotateUp();
}

void SoftwareEffects::staticColours(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    fillFromSource(frame, *data);
}

void SoftwareEffects::cross(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    frame.fill(0);
    const int p = (effect.crossCounter % 5 + 5) % 5;
    qCDebug(lcLightingEffects) << "softwareCross" << p;
    // The partner of LED 0 would be entry 5, outside the frame: at p = 0 LED 0 lights alone.
    if (const auto colour = colourSource(*data, p))
        frame.set(p, *colour);
    if (const auto colour = colourSource(*data, 5 - p))
        frame.set(5 - p, *colour);
    effect.crossCounter = effect.crossCounter + 1 > 4 || effect.crossCounter < 0 ? 0 : effect.crossCounter + 1;
}

void SoftwareEffects::shootingStar(EngineState &state, int module, COLORREF *leds, int count, int)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !state.chaseReady)
        return;
    frame.fill(0);
    const QVector<ChaseItem> &list = state.chaseList;
    const int length = list.size();
    if (length == 0)
        return;
    // Head and tail are placed from the cursor as it stood when this module's turn began;
    // moving it first would let the head overwrite its own tail.
    const int cursor = cursorIn(state.chaseCursor, length);
    state.chaseCursor = cursor;
    for (int j = 0; j < 3; ++j) {
        const int led = chaseLed(list, wrapIndex(cursor - j, length), module);
        if (led < 0)
            continue;
        if (const auto colour = colourSource(*data, led, float(3 - j) / 3.0f))
            frame.set(led, *colour);
        if (j == 0)
            state.chaseCursor = (cursor + 1) % length;
    }
}

void SoftwareEffects::blackHole(EngineState &state, int module, COLORREF *leds, int count, int)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !state.chaseReady)
        return;
    if (!fillFromSource(frame, *data))
        frame.fill(0);
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
        frame.set(led, 0);
        if (j == 0)
            state.chaseCursor = (cursor + 1) % length;
    }
}

void SoftwareEffects::aurora(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    EffectFrame frame(leds, count);
    if (!moduleData(state, module) || frame.isEmpty() || frameCounter % 4 != 0)
        return;
    constexpr int scaleLength = int(sizeof state.colourScale / sizeof state.colourScale[0]);
    int i = state.auroraIndex;
    if (i < 0 || i > scaleLength)
        i = 0;
    const int start = i >= scaleLength ? i - scaleLength : i;
    for (int k = 0; k < 5; ++k)
        frame.set(4 - k, state.colourScale[(start + k) % scaleLength]);
    state.auroraIndex = i + 1 >= scaleLength + 1 ? 0 : i + 1;
}

void SoftwareEffects::twinkle(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter) || !state.twinkleReady)
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
        fillFromSource(frame, *data);
    state.twinkleCursor = (cursor + 1) % list.size();
}

void SoftwareEffects::raindrop(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectRandom random(module);
    for (int k = 0; k < frame.size(); ++k) {
        int &level = data->effect.dropLevel[k];
        if (level < 1)
            level = random.draw(30) == 0 ? 1 : 0;
        else
            level = qMin(level, 19) + 1;
        int v = 0;
        if (level >= 20)
            level = 0;
        else
            v = level > 9 ? 20 - level : level;
        if (const auto colour = colourSource(*data, k, float(v) / 10.0f))
            frame.set(k, *colour);
    }
}

void SoftwareEffects::heartbeat(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    const int c = qBound(0, effect.beatCounter, 10);
    float v = float(std::pow(1.4, c));
    effect.beatCounter = c + 1 > 10 ? 0 : c + 1;
    if (v > 20.0f) {
        v = 0.0f;
        effect.beatCounter = 0;
    }
    const float f = v > 9.0f ? (20.0f - v) / 10.0f : v / 10.0f;
    showBeat(frame, *data, module, f);
}

void SoftwareEffects::stack(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    int s = data->effect.stackCounter;
    if (s == -1) {
        frame.fill(0);
        s = 0;
    } else if (s >= 1 && s <= 4) {
        frame.set(s - 1, 0);
        if (const auto colour = colourSource(*data, s))
            frame.set(s, *colour);
        ++s;
        if (s < 5 && isLit(frame, s))
            s = 0;
    } else if (s == 0) {
        if (const auto colour = colourSource(*data, 0))
            frame.set(0, *colour);
        s = isLit(frame, 1) ? -1 : 1;
    }
    if (s >= 5 || s < -1)
        s = 0;
    data->effect.stackCounter = s;
}

void SoftwareEffects::scan(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    const int counter = qBound(0, effect.scanCounter, 6);
    const int p = counter > 3 ? 6 - counter : counter;
    frame.fill(0);
    for (const int led : {p, p + 1}) {
        if (const auto colour = colourSource(*data, led))
            frame.set(led, *colour);
    }
    effect.scanCounter = counter + 1 > 6 ? 0 : counter + 1;
}

void SoftwareEffects::swirl(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectRandom random(module);
    if (random.draw(3) == 0) {
        const int q = random.draw(5);
        if (const auto colour = colourSource(*data, q))
            frame.set(0, *colour);
    } else {
        frame.set(0, 0);
    }
    for (int k = 4; k > 0; --k)
        frame.set(k, frame.at(k - 1));
}

void SoftwareEffects::rain(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
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

    EffectRandom random(module);
    const auto colour = random.draw(10) == 0 ? colourSource(*data, 0) : std::optional<COLORREF>();
    frame.set(0, colour.value_or(0));
}

void SoftwareEffects::fireworks(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    constexpr COLORREF white = 0xFFFFFF;
    const int c = (effect.fireworkCounter % 9 + 9) % 9;
    frame.set(4, c == 6 || c == 8 ? white : 0);
    frame.set(3, c == 3 || c == 5 ? white : 0);
    frame.set(2, frame.at(1));
    frame.set(1, frame.at(0));

    COLORREF launch = 0;
    if (data->colorMode == ColorModeRGB || data->colorMode == ColorModeSingle) {
        const COLORREF user = data->rgb[c];
        if (c == 0)
            launch = user;
        else if (c == 1)
            launch = rgbColor(redOf(user) * 2 / 3, greenOf(user) * 2 / 3, blueOf(user) * 2 / 3);
        else if (c == 2)
            launch = rgbColor(redOf(user) / 3, greenOf(user) / 3, blueOf(user) / 3);
    }
    frame.set(0, launch);
    effect.fireworkCounter = effect.fireworkCounter + 1 >= 90 || effect.fireworkCounter < 0 ? 0 : effect.fireworkCounter + 1;
}

void SoftwareEffects::explosion(EngineState &state, int module, COLORREF *leds, int count, int frameCounter)
{
    MemoryModuleData *data = moduleData(state, module);
    EffectFrame frame(leds, count);
    if (!data || frame.isEmpty() || !isGated(*data, frameCounter))
        return;
    EffectState &effect = data->effect;
    const int c = (effect.explosionCounter % 10 + 10) % 10;
    frame.fill(0);
    if (c % 2 == 0)
        frame.set(c / 2, data->rgb[c / 2]);
    effect.explosionCounter = effect.explosionCounter + 1 >= 100 || effect.explosionCounter < 0 ? 0 : effect.explosionCounter + 1;
}
