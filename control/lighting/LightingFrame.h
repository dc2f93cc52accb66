// The engine's frame and reset logic, working on an EngineState alone: no threads, no
// timers, no HAL. Lighting_Control runs it under its lock; tests run it frame by frame.
#pragma once

#include "EngineState.h"

struct FrameOutput {
    // Every module's five colours as the frame left them (what update_SoftwareRGB_DLL reports).
    COLORREF colours[kModuleCount][kDrivenLeds] = {};
    bool wantsVolume = false;    // a module is in mode 8, 9, 10 or 30
    bool wantsDeskPixel = false; // a module is in mode 30
    bool wantsSync = false;      // a module is in mode 20
};

class LightingFrame
{
public:
    enum Mode : int {
        Flow = 0, Ripple = 2, Blink = 3, Pulse = 4, Wave = 5, Static = 6, Copy = 7, Movie = 8,
        Gaming = 9, Party = 10, Temperature = 14, Cross = 15, Hello = 16, ShootingStar = 17,
        BlackHole = 18, Aurora = 19, RgbSync = 20, Twinkle = 21, Script = 22, Weather = 23,
        Raindrop = 24, Heartbeat = 25, Stack = 26, Scan = 27, Swirl = 28, ScreenGaming = 29,
        ScreenMovie = 30, Clock = 31, Rain = 32, Fireworks = 33, Explosion = 34, MbSync = 35,
        LastMode = MbSync
    };

    // Computes one frame for all eight module positions and advances the shared counters.
    static FrameOutput run(EngineState &state);

    // Puts a module's effect back to its starting frame and state, then rebuilds the
    // cross-module lists. Positions outside 0 to 7 are ignored.
    static void resetLighting(EngineState &state, int module);

    // Rebuilds chaseList (modes 17, 18) and twinkleList (mode 21) in physical slot order.
    // Each list is built aside and assigned whole.
    static void refreshOrderLighting(EngineState &state);

    // The slot order: entry s is the module position in physical slot s.
    static void slotOrder(const EngineState &state, int (&order)[kModuleCount]);

    static bool isValidModule(int module) { return module >= 0 && module < kModuleCount; }

private:
    static void dispatch(EngineState &state, int module, FrameOutput &output);
    static void applyReset(EngineState &state, int module);
};
