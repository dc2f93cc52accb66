#include "LightingFrame.h"

#include "EffectFrame.h"
#include "SoftwareEffects.h"

#include "Voice/ScriptLibrary.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void fillFrame(MemoryModuleData &data, COLORREF colour)
{
    std::fill(data.softwareRGB, data.softwareRGB + kDrivenLeds, colour);
}

void userColours(MemoryModuleData &data)
{
    for (int k = 0; k < kDrivenLeds; ++k)
        data.softwareRGB[k] = SoftwareEffects::scale(data.rgb[k], data.bright[k]);
}

bool asksForVolume(int mode)
{
    return mode == LightingFrame::Movie || mode == LightingFrame::Gaming || mode == LightingFrame::Party
        || mode == LightingFrame::ScreenMovie;
}

bool hasNoFrame(int mode)
{
    switch (mode) {
    case LightingFrame::Copy:
    case 11:
    case 12:
    case 13:
    case LightingFrame::Script:
    case LightingFrame::Weather:
    case LightingFrame::ScreenGaming:
        return true;
    default:
        return mode < 0;
    }
}

void showScriptStep(EngineState &state, MemoryModuleData &data)
{
    if (state.userScriptList.isEmpty())
        return;
    const int index = state.scriptStep >= 0 && state.scriptStep < state.userScriptList.size() ? state.scriptStep : 0;
    ScriptLibrary::showStep(state.userScriptList.at(index), data.softwareRGB, kDrivenLeds);
}

void rotateEvery(MemoryModuleData &data, int frameCounter)
{
    if (SoftwareEffects::isGated(data, frameCounter))
        EffectFrame(data.softwareRGB, kDrivenLeds).rotateUp();
}

} // namespace

FrameOutput LightingFrame::run(EngineState &state)
{
    FrameOutput output;
    bool anyHello = false;
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData &data = state.memoryData[m];
        if (data.lightMode == Hello)
            anyHello = true;
        if (data.turnOff) {
            fillFrame(data, 0);
        } else if (state.warningOn && state.warningLevel <= state.memoryLoad) {
            fillFrame(data, state.warningColour);
            state.resetDone = false;
        } else if (!state.resetDone) {
            state.resetDone = true;
            for (int position = 0; position < kModuleCount; ++position)
                resetLighting(state, position);
            // A module that is turned off shows black in this frame too, whatever its reset left.
            for (MemoryModuleData &other : state.memoryData) {
                if (other.turnOff)
                    fillFrame(other, 0);
            }
        } else {
            dispatch(state, m, output);
        }
    }
    for (int m = 0; m < kModuleCount; ++m)
        std::copy_n(state.memoryData[m].softwareRGB, kDrivenLeds, output.colours[m]);

    if (anyHello) {
        ++state.scriptStep;
        if (state.scriptStep >= state.userScriptList.size())
            state.scriptStep = 0;
    }
    state.frameCounter = state.frameCounter == std::numeric_limits<std::int32_t>::max() ? 0 : state.frameCounter + 1;
    return output;
}

void LightingFrame::dispatch(EngineState &state, int module, FrameOutput &output)
{
    MemoryModuleData &data = state.memoryData[module];
    const int mode = data.lightMode;
    if (asksForVolume(mode))
        output.wantsVolume = true;
    if (mode == ScreenMovie)
        output.wantsDeskPixel = true;

    if (mode == Hello) {
        showScriptStep(state, data);
    } else if (mode == RgbSync) {
        output.wantsSync = true;
        std::copy_n(state.syncColours, kDrivenLeds, data.softwareRGB);
    } else if (mode == MbSync) {
        fillFrame(data, 0);
    } else if (mode > LastMode) {
        rotateEvery(data, state.frameCounter);
    } else if (!hasNoFrame(mode)) {
        SoftwareEffects::computeFrame(state, module, data.softwareRGB, kDrivenLeds, state.frameCounter);
    }
}

void LightingFrame::resetLighting(EngineState &state, int module)
{
    if (!isValidModule(module))
        return;
    MemoryModuleData &data = state.memoryData[module];
    qDebug() << "Lighting_Control::resetLighting" << module << data.lightMode;
    applyReset(state, module);
    qDebug() << "resetLight============aaaa";
    refreshOrderLighting(state);
    qDebug() << "resetLight===============END";
}

void LightingFrame::applyReset(EngineState &state, int module)
{
    MemoryModuleData &data = state.memoryData[module];
    EffectState &effect = data.effect;
    state.random[module].seed(module);
    switch (data.lightMode) {
    case Flow: {
        static const COLORREF flow[kDrivenLeds] = {0x0000FF, 0x2A00FF, 0x5400FF, 0x7F00FF, 0xA900FF};
        effect.flowIndex = 0;
        std::copy_n(flow, kDrivenLeds, data.softwareRGB);
        break;
    }
    case 1: // RGB Spectrum
        fillFrame(data, 0x0000FF);
        break;
    case Ripple:
        qDebug() << "memoryData[memoryIndex].ledNum = " << data.ledNum;
        for (int k = 0; k < 3; ++k)
            data.softwareRGB[k] = SoftwareEffects::scale(data.singleRGB, data.singleBright * float(k) / 3.0f);
        data.softwareRGB[3] = 0;
        data.softwareRGB[4] = 0;
        break;
    case Blink:
        qDebug() << "BLINK RESET";
        userColours(data);
        effect.blinkOn = false;
        break;
    case Pulse:
        userColours(data);
        effect.pulseCounter = 0;
        break;
    case Wave:
    case Static:
    case Cross:
        userColours(data);
        break;
    case Movie:
    case Gaming:
    case Party:
    case ShootingStar:
    case Twinkle:
    case Script:
    case Weather:
    case Swirl:
    case Rain:
        fillFrame(data, 0);
        break;
    case Temperature:
        fillFrame(data, 0xFF0000);
        break;
    case Hello:
        state.scriptStep = 0;
        // An index outside the table keeps the animation that was loaded before.
        if (state.helloIndex >= 0 && state.helloIndex < ScriptLibrary::kAnimationCount)
            state.userScriptList = ScriptLibrary::build(state.helloIndex);
        break;
    case BlackHole:
        if (data.colorMode == ColorModeRGB)
            userColours(data);
        else if (data.colorMode == ColorModeSingle)
            fillFrame(data, SoftwareEffects::scale(data.singleRGB, data.singleBright));
        break;
    case Aurora:
        state.auroraIndex = 0;
        std::copy_n(state.colourScale, kDrivenLeds, data.softwareRGB);
        break;
    case Raindrop:
        fillFrame(data, 0);
        std::fill(effect.dropLevel, effect.dropLevel + kDrivenLeds, 0);
        break;
    case Heartbeat:
        fillFrame(data, 0);
        effect.beatCounter = 0;
        break;
    case Stack:
        fillFrame(data, 0);
        effect.stackCounter = 0;
        break;
    case Scan:
        fillFrame(data, 0);
        effect.scanCounter = 0;
        break;
    case Clock:
        for (int k = 0; k < kDrivenLeds; ++k) {
            const int grey = state.weatherType == 4 ? 60 : 0;
            const bool sun = state.weatherType == 2 && k == 0;
            effect.workRed[k] = sun ? 255 : grey;
            effect.workGreen[k] = sun ? 255 : grey;
            effect.workBlue[k] = sun ? 0 : grey;
        }
        break;
    case Fireworks:
        fillFrame(data, 0);
        effect.fireworkCounter = 0;
        break;
    case Explosion:
        fillFrame(data, 0);
        effect.explosionCounter = 0;
        break;
    default:
        // Modes without a reset: RgbSync, ScreenGaming, ScreenMovie, MbSync, Copy, the
        // mobile modes and numbers outside the table.
        break;
    }
    // The chase and twinkle cursors restart with every reset (the list rebuild follows).
    if (data.lightMode == ShootingStar || data.lightMode == BlackHole) {
        state.chaseReady = false;
        state.chaseCursor = 0;
    }
    if (data.lightMode == Twinkle)
        state.twinkleCursor = 0;
}

void LightingFrame::slotOrder(const EngineState &state, int (&order)[kModuleCount])
{
    for (int s = 0; s < kModuleCount; ++s)
        order[s] = s;
    for (int i = 0; i < kModuleCount; ++i) {
        const int slot = state.memoryData[i].memorySlot;
        if (slot >= 0 && slot < kModuleCount)
            order[slot] = i;
    }
}

void LightingFrame::refreshOrderLighting(EngineState &state)
{
    qDebug() << "refreshOrderLighting";
    state.chaseReady = false;
    state.chaseCursor = 0;
    qDebug() << "clearCount" << state.chaseList.size();

    int order[kModuleCount];
    slotOrder(state, order);
    for (int i = 0; i < kModuleCount; ++i)
        qDebug() << "memoryData[i].memorySlot = " << state.memoryData[i].memorySlot;
    qDebug() << order[0] << order[1] << order[2] << order[3] << order[4] << order[5] << order[6] << order[7];

    QVector<ChaseItem> chase;
    chase.reserve(kModuleCount * kDrivenLeds);
    for (int s = 0; s < kModuleCount; ++s) {
        const int m = order[s];
        const MemoryModuleData &data = state.memoryData[m];
        if ((data.lightMode == ShootingStar || data.lightMode == BlackHole) && !data.turnOff) {
            for (int step = 0; step < kDrivenLeds; ++step)
                chase.append({m, step, 0});
        }
    }
    state.chaseList = std::move(chase);
    state.chaseReady = true;

    state.twinkleReady = false;
    state.twinkleCursor = 0;
    QVector<ChaseItem> twinkle;
    twinkle.reserve(kModuleCount * 3);
    for (int s = 0; s < kModuleCount; ++s) {
        const int m = order[s];
        const MemoryModuleData &data = state.memoryData[m];
        if (data.lightMode == Twinkle && !data.turnOff) {
            twinkle.append({m, 0, 1});
            twinkle.append({m, 0, 0});
            twinkle.append({m, 0, 0});
        }
    }
    state.twinkleList = std::move(twinkle);
    state.twinkleReady = true;
}
