// The per-frame algorithms of the light modes. Each works on one module's frame in
// place, keeps its state in the module's record or in the engine's shared cursors, and
// neither allocates nor emits anything: the engine fetches volume, screen and sync
// colours itself after the frame.
#pragma once

#include "EffectFrame.h"
#include "EngineState.h"

#include <QLoggingCategory>

#include <optional>

// The effects' own log lines (Cross, Party and Temp. write one on every step). Their
// debug level is off unless the logging rules switch it on, so a frame costs no output.
Q_DECLARE_LOGGING_CATEGORY(lcLightingEffects)

class SoftwareEffects
{
public:
    // Computes one frame of `module`'s light mode into `frame` (the first `count` entries
    // of the module's softwareRGB) for every mode whose frame comes from the pattern or
    // environment effects: 0-6, 8-10, 14, 15, 17-19, 21, 24-28, 30-34. Other modes: no change.
    static void computeFrame(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);

    // Each channel times f, truncated toward zero, low 8 bits kept.
    static COLORREF scale(COLORREF c, float f);
    // One step of the colour wheel red, yellow, green, cyan, blue, white, magenta, red.
    static COLORREF stepColourWheel(COLORREF c, int step);

    static void flow(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void rgbSpectrum(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void ripple(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void blink(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void pulse(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void wave(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void staticColours(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void cross(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void shootingStar(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void blackHole(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void aurora(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void twinkle(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void raindrop(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void heartbeat(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void stack(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void scan(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void swirl(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void rain(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void fireworks(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);
    static void explosion(EngineState &state, int module, COLORREF *frame, int count, int frameCounter);

    // Shared with the environment effects.

    // The module's record, or nullptr for a position outside 0 to 7.
    static MemoryModuleData *moduleData(EngineState &state, int module);
    // Runs body(record, frame) when the module position is known and the frame has LEDs.
    template <typename Body>
    static void forModule(EngineState &state, int module, COLORREF *leds, int count, Body &&body)
    {
        MemoryModuleData *data = moduleData(state, module);
        EffectFrame frame(leds, count);
        if (data && !frame.isEmpty())
            body(*data, frame);
    }
    // The same for a gated effect: only in the frames in which its speed lets it step.
    template <typename Body>
    static void forGatedStep(EngineState &state, int module, COLORREF *leds, int count, int frameCounter, Body &&body)
    {
        forModule(state, module, leds, count, [&](MemoryModuleData &data, EffectFrame &frame) {
            if (isGated(data, frameCounter))
                body(data, frame);
        });
    }
    // True in the frames in which a gated effect steps (every lightSpeed + 1 frames).
    static bool isGated(const MemoryModuleData &module, int frameCounter);
    // The colour that the colour mode gives LED `led` at `factor` of its brightness:
    // RGB the user colour, Single the single colour; nothing for the other modes.
    static std::optional<COLORREF> colourSource(const MemoryModuleData &module, int led, float factor = 1.0f);
    // Sets every LED from the colour source at `factor`; false (frame unchanged) when the
    // colour mode gives none.
    static bool fillFromSource(EffectFrame &frame, const MemoryModuleData &module, float factor = 1.0f);
    // A product turned into a colour byte: truncated toward zero, low 8 bits kept;
    // a value that is not a number gives 0.
    static int lowByte(double value);
};
