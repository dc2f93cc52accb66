// Everything a frame reads and writes. The frame works on this value alone (no I/O),
// so the effects can be run and checked frame by frame.
#pragma once

#include "EffectRandom.h"
#include "MemoryModuleData.h"

#include <QVector>

// One step of a scripted animation: a colour per LED position.
struct ScriptStep {
    std::int32_t red[kLedSlots] = {};
    std::int32_t green[kLedSlots] = {};
    std::int32_t blue[kLedSlots] = {};
    std::int32_t brightness[kLedSlots] = {}; // percent; recorded, not applied by the player
    std::int32_t tag = -1;
};

// A place on a cross-module path: module position, LED step 0..4, head-of-group flag.
struct ChaseItem {
    std::int32_t module = 0;
    std::int32_t step = 0;
    std::int32_t flag = 0;
};

struct EngineState {
    std::int32_t totalLedNum = 0;
    MemoryModuleData memoryData[kModuleCount];
    std::int32_t frameCounter = 0;
    COLORREF syncColours[kDrivenLeds] = {};
    bool warningOn = false;
    COLORREF warningColour = 255;
    std::int32_t warningLevel = 0;
    std::int32_t memoryLoad = 0;
    bool resetDone = false;
    QVector<ScriptStep> userScriptList;
    std::int32_t scriptStep = 0;
    std::int32_t helloIndex = 0;
    std::int32_t cpuTemperature = 0;
    std::int32_t volume = 0;
    std::int32_t chaseCursor = 0;
    QVector<ChaseItem> chaseList;
    bool chaseReady = false;
    COLORREF colourScale[35] = {
        0xFF55FF, 0xFF80FF, 0xFFAAFF, 0xFFD5FF, 0xFFFFFF, 0xFFD5D5, 0xFFAAAA, 0xFF8080, 0xFF5555,
        0xFF2B2B, 0xFF0000, 0xFF2B00, 0xFF5500, 0xFF8000, 0xFFAA00, 0xFFD500, 0xFFFF00, 0xD5FF00,
        0xAAFF00, 0x80FF00, 0x55FF00, 0x2BFF00, 0x00FF00, 0x00FF2B, 0x00FF55, 0x00FF80, 0x00FFAA,
        0x00FFD5, 0x00FFFF, 0x00D5FF, 0x00AAFF, 0x0080FF, 0x0055FF, 0x002BFF, 0x0000FF,
    };
    std::int32_t auroraIndex = 0;
    std::int32_t twinkleCursor = 0;
    QVector<ChaseItem> twinkleList;
    bool twinkleReady = false;
    std::int32_t weatherType = 0;
    std::int32_t sunrise = 0;
    std::int32_t sunset = 0;
    std::int32_t dayLength = 0;
    std::int32_t deskRed = 0;
    std::int32_t deskGreen = 0;
    std::int32_t deskBlue = 0;
    // Each module's random numbers, seeded when its effect starts (at every reset).
    EffectRandom random[kModuleCount];

    EngineState();
};
