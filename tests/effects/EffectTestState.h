// An engine state with one module set up for an effect, stepped frame by frame the way
// the engine's frame dispatch does it.
#pragma once

#include "EngineState.h"
#include "SoftwareEffects.h"

#include <QVector>

class EffectTestState
{
public:
    static constexpr COLORREF kUserColours[kDrivenLeds] = {
        rgbColor(200, 100, 50), rgbColor(10, 20, 30), rgbColor(0, 255, 0), rgbColor(90, 0, 180), rgbColor(255, 255, 255),
    };

    EngineState state;

    explicit EffectTestState(int mode, int colorMode = ColorModeRGB, int speed = SpeedExtreme)
    {
        for (int m = 0; m < kModuleCount; ++m)
            setUp(m, mode, colorMode, speed);
    }

    void setUp(int module, int mode, int colorMode = ColorModeRGB, int speed = SpeedExtreme)
    {
        MemoryModuleData &data = state.memoryData[module];
        data.lightMode = mode;
        data.colorMode = colorMode;
        data.lightSpeed = speed;
        for (int k = 0; k < kDrivenLeds; ++k) {
            data.rgb[k] = kUserColours[k];
            data.bright[k] = 1.0f;
        }
        data.singleRGB = rgbColor(40, 80, 120);
        data.singleBright = 0.5f;
    }

    MemoryModuleData &module(int m = 0) { return state.memoryData[m]; }
    EffectState &effect(int m = 0) { return state.memoryData[m].effect; }

    void setFrame(std::initializer_list<COLORREF> colours, int m = 0)
    {
        int k = 0;
        for (const COLORREF colour : colours)
            state.memoryData[m].softwareRGB[k++] = colour;
    }

    // Runs the module's effect for frame `frameCounter` and returns its five LEDs.
    QVector<COLORREF> step(int frameCounter, int m = 0)
    {
        SoftwareEffects::computeFrame(state, m, state.memoryData[m].softwareRGB, kDrivenLeds, frameCounter);
        return frame(m);
    }

    QVector<COLORREF> frame(int m = 0) const
    {
        const COLORREF *leds = state.memoryData[m].softwareRGB;
        return QVector<COLORREF>(leds, leds + kDrivenLeds);
    }
};

inline QVector<COLORREF> allLeds(COLORREF colour)
{
    return QVector<COLORREF>(kDrivenLeds, colour);
}
