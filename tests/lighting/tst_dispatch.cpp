#include "LightingFrame.h"
#include "Lighting_Control.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <array>
#include <cstring>
#include <limits>

namespace {

using Frame = std::array<COLORREF, 5>;

const Frame kUser = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFFFF};

Frame frameOf(const EngineState &state, int module)
{
    Frame f;
    std::copy_n(state.memoryData[module].softwareRGB, 5, f.begin());
    return f;
}

Frame reported(const FrameOutput &output, int module)
{
    Frame f;
    std::copy_n(output.colours[module], 5, f.begin());
    return f;
}

Frame filled(COLORREF c)
{
    Frame f;
    f.fill(c);
    return f;
}

// Every module in the given mode with the user colours at full brightness, the first
// all-module reset already done.
EngineState prepared(int mode, int speed = 0)
{
    EngineState state;
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData &data = state.memoryData[m];
        std::copy(kUser.begin(), kUser.end(), data.rgb);
        std::fill(data.bright, data.bright + 5, 1.0f);
        data.lightMode = mode;
        data.lightSpeed = speed;
        LightingFrame::resetLighting(state, m);
    }
    state.resetDone = true;
    return state;
}

QVector<int> modulesOf(const QVector<ChaseItem> &list)
{
    QVector<int> modules;
    for (const ChaseItem &item : list)
        modules << item.module;
    return modules;
}

} // namespace

class tst_dispatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void firstFrameResetsEveryModule();
    void warningThreshold();
    void warningEndRestartsFromReset();
    void turnedOffStaysBlackInTheResetFrame();
    void mbSyncReportsBlack();
    void requestsFollowTheModes();
    void syncColoursShown();
    void modesAbove35Rotate();
    void scriptStepsSharedAndWrapping();
    void helloResetLoadsAnimation();
    void resetFrames();
    void chaseListInSlotOrder();
    void twinkleListGroups();
    void frameCounterWraps();

    void slotNumberResetsOnlyPathModes();
    void turnOffKeepsEffectState();
    void turnOffRebuildsPaths();
    void slotsRefuseBadInput();
    void hostileValuesAreBroughtIntoRange();
    void weatherChangeResetsClock();
};

void tst_dispatch::firstFrameResetsEveryModule()
{
    EngineState state = prepared(LightingFrame::Wave);
    state.resetDone = false;
    for (int m = 0; m < kModuleCount; ++m)
        std::fill(state.memoryData[m].softwareRGB, state.memoryData[m].softwareRGB + 5, 0x123456);

    const FrameOutput out = LightingFrame::run(state);
    QVERIFY(state.resetDone);
    // Module 0 triggers the reset and shows what the reset left; the modules after it are
    // reset and stepped in the same frame (Wave rotates at frame 0).
    QCOMPARE(reported(out, 0), kUser);
    const Frame rotated = {kUser[4], kUser[0], kUser[1], kUser[2], kUser[3]};
    QCOMPARE(reported(out, 1), rotated);
    QCOMPARE(reported(out, 7), rotated);
    QCOMPARE(state.frameCounter, 1);
}

void tst_dispatch::warningThreshold()
{
    EngineState state = prepared(LightingFrame::Static);
    state.memoryData[2].turnOff = true;
    state.warningOn = true;
    state.warningLevel = 80;
    state.warningColour = 0x00FF00;
    state.memoryLoad = 79;

    FrameOutput out = LightingFrame::run(state);
    QCOMPARE(reported(out, 0), kUser);
    QVERIFY(state.resetDone);

    state.memoryLoad = 80;
    out = LightingFrame::run(state);
    QCOMPARE(reported(out, 0), filled(0x00FF00));
    QCOMPARE(reported(out, 7), filled(0x00FF00));
    QCOMPARE(reported(out, 2), filled(0));
    QVERIFY(!state.resetDone);

    state.memoryLoad = 95;
    state.warningOn = false;
    out = LightingFrame::run(state);
    QCOMPARE(reported(out, 0), kUser);
}

void tst_dispatch::warningEndRestartsFromReset()
{
    EngineState state = prepared(LightingFrame::Pulse);
    for (int i = 0; i < 7; ++i)
        LightingFrame::run(state);
    QVERIFY(state.memoryData[0].effect.pulseCounter > 0);

    state.warningOn = true;
    state.warningLevel = 50;
    state.memoryLoad = 60;
    LightingFrame::run(state);
    state.memoryLoad = 10;
    const FrameOutput out = LightingFrame::run(state);
    // Module 0 restarted from its reset in this very frame.
    QCOMPARE(reported(out, 0), kUser);
    QCOMPARE(state.memoryData[0].effect.pulseCounter, 0);
    QCOMPARE(state.memoryData[1].effect.pulseCounter, 1);
}

void tst_dispatch::turnedOffStaysBlackInTheResetFrame()
{
    EngineState state = prepared(LightingFrame::Static);
    state.resetDone = false;
    state.memoryData[0].turnOff = true; // before the module that triggers the reset
    state.memoryData[4].turnOff = true; // after it
    const FrameOutput out = LightingFrame::run(state);
    QCOMPARE(reported(out, 0), filled(0));
    QCOMPARE(frameOf(state, 0), filled(0));
    QCOMPARE(reported(out, 4), filled(0));
    QCOMPARE(reported(out, 1), kUser);
}

void tst_dispatch::mbSyncReportsBlack()
{
    EngineState state = prepared(LightingFrame::Static);
    state.memoryData[3].lightMode = LightingFrame::MbSync;
    const FrameOutput out = LightingFrame::run(state);
    QCOMPARE(reported(out, 3), filled(0));
    QVERIFY(!out.wantsVolume && !out.wantsDeskPixel && !out.wantsSync);
}

void tst_dispatch::requestsFollowTheModes()
{
    struct Case {
        int mode;
        bool volume, desk, sync;
    };
    const Case cases[] = {{8, true, false, false},  {9, true, false, false},  {10, true, false, false},
                          {30, true, true, false},  {20, false, false, true}, {6, false, false, false},
                          {29, false, false, false}, {14, false, false, false}};
    for (const Case &c : cases) {
        EngineState state = prepared(LightingFrame::Static);
        state.memoryData[5].lightMode = c.mode;
        const FrameOutput out = LightingFrame::run(state);
        QCOMPARE(out.wantsVolume, c.volume);
        QCOMPARE(out.wantsDeskPixel, c.desk);
        QCOMPARE(out.wantsSync, c.sync);
    }
    // A module that is turned off asks for nothing.
    EngineState state = prepared(LightingFrame::Static);
    state.memoryData[5].lightMode = LightingFrame::ScreenMovie;
    state.memoryData[5].turnOff = true;
    QVERIFY(!LightingFrame::run(state).wantsVolume);
}

void tst_dispatch::syncColoursShown()
{
    EngineState state = prepared(LightingFrame::RgbSync);
    const Frame sync = {1, 2, 3, 4, 5};
    std::copy(sync.begin(), sync.end(), state.syncColours);
    const FrameOutput out = LightingFrame::run(state);
    QCOMPARE(reported(out, 6), sync);
}

void tst_dispatch::modesAbove35Rotate()
{
    EngineState state = prepared(36, 1);
    state.memoryData[1].lightMode = 200;
    state.memoryData[1].lightSpeed = -1; // nonsense speed: steps every frame, no division by 0
    // No reset frame for these numbers: the colours are the last frame's.
    for (int m : {0, 1})
        std::copy(kUser.begin(), kUser.end(), state.memoryData[m].softwareRGB);
    const Frame once = {kUser[4], kUser[0], kUser[1], kUser[2], kUser[3]};
    const Frame twice = {kUser[3], kUser[4], kUser[0], kUser[1], kUser[2]};

    LightingFrame::run(state); // frame 0: rotates
    QCOMPARE(frameOf(state, 0), once);
    QCOMPARE(frameOf(state, 1), once);
    LightingFrame::run(state); // frame 1: waits
    QCOMPARE(frameOf(state, 0), once);
    QCOMPARE(frameOf(state, 1), twice);
    LightingFrame::run(state); // frame 2: rotates
    QCOMPARE(frameOf(state, 0), twice);
}

void tst_dispatch::scriptStepsSharedAndWrapping()
{
    EngineState state = prepared(LightingFrame::Static);
    state.helloIndex = 42; // outside the table: the reset keeps the list below
    QVector<ScriptStep> steps(3);
    for (int i = 0; i < 3; ++i)
        steps[i].red[0] = 10 * (i + 1);
    state.userScriptList = steps;
    state.memoryData[0].lightMode = LightingFrame::Hello;
    state.memoryData[6].lightMode = LightingFrame::Hello;

    for (int frame = 0; frame < 4; ++frame) {
        const FrameOutput out = LightingFrame::run(state);
        const COLORREF expected = COLORREF(10 * (frame % 3 + 1));
        QCOMPARE(out.colours[0][0], expected);
        QCOMPARE(out.colours[6][0], expected);
        QCOMPARE(state.scriptStep, (frame + 1) % 3);
    }

    // A step index beyond a list that was replaced by a shorter one shows step 0.
    state.scriptStep = 17;
    const FrameOutput out = LightingFrame::run(state);
    QCOMPARE(out.colours[0][0], COLORREF(10));
    QCOMPARE(state.scriptStep, 0);
}

void tst_dispatch::helloResetLoadsAnimation()
{
    EngineState state = prepared(LightingFrame::Static);
    state.helloIndex = 1;
    state.memoryData[2].lightMode = LightingFrame::Hello;
    state.scriptStep = 5;
    LightingFrame::resetLighting(state, 2);
    QCOMPARE(state.scriptStep, 0);
    QCOMPARE(state.userScriptList.size(), 70);

    const FrameOutput first = LightingFrame::run(state);
    for (int i = 1; i < 70; ++i)
        LightingFrame::run(state);
    const FrameOutput again = LightingFrame::run(state);
    QCOMPARE(reported(again, 2), reported(first, 2));

    state.helloIndex = 9;
    LightingFrame::resetLighting(state, 2);
    QCOMPARE(state.userScriptList.size(), 70);
}

void tst_dispatch::resetFrames()
{
    EngineState state = prepared(LightingFrame::Static);
    MemoryModuleData &data = state.memoryData[0];
    data.singleRGB = 0x00FF00;
    data.singleBright = 0.6f;

    data.lightMode = LightingFrame::Flow;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(frameOf(state, 0), Frame({0x0000FF, 0x2A00FF, 0x5400FF, 0x7F00FF, 0xA900FF}));

    data.lightMode = LightingFrame::Ripple;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(frameOf(state, 0), Frame({0, 0x003300, 0x006600, 0, 0}));

    data.lightMode = LightingFrame::BlackHole;
    data.colorMode = ColorModeSingle;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(frameOf(state, 0), filled(0x009900));
    data.colorMode = ColorModeOff; // frame unchanged
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(frameOf(state, 0), filled(0x009900));

    data.lightMode = LightingFrame::Temperature;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(frameOf(state, 0), filled(0xFF0000));

    data.lightMode = LightingFrame::Aurora;
    state.auroraIndex = 12;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(state.auroraIndex, 0);
    QCOMPARE(frameOf(state, 0), Frame({0xFF55FF, 0xFF80FF, 0xFFAAFF, 0xFFD5FF, 0xFFFFFF}));

    data.lightMode = LightingFrame::Clock;
    state.weatherType = 2;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(data.effect.workRed[0], 255);
    QCOMPARE(data.effect.workGreen[0], 255);
    QCOMPARE(data.effect.workBlue[0], 0);
    QCOMPARE(data.effect.workRed[1], 0);
    state.weatherType = 4;
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(data.effect.workBlue[0], 60);
    QCOMPARE(data.effect.workRed[4], 60);

    data.lightMode = LightingFrame::Raindrop;
    std::fill(data.effect.dropLevel, data.effect.dropLevel + 5, 7);
    LightingFrame::resetLighting(state, 0);
    QCOMPARE(data.effect.dropLevel[3], 0);
    QCOMPARE(frameOf(state, 0), filled(0));

    // Modes without a reset leave the frame alone.
    std::fill(data.softwareRGB, data.softwareRGB + 5, 0x444444);
    for (int mode : {7, 11, 20, 29, 30, 35, 40}) {
        data.lightMode = mode;
        LightingFrame::resetLighting(state, 0);
        QCOMPARE(frameOf(state, 0), filled(0x444444));
    }
}

void tst_dispatch::chaseListInSlotOrder()
{
    EngineState state = prepared(LightingFrame::Static);
    // Positions 0 and 1 start in slots 1 and 0.
    state.memoryData[0].lightMode = LightingFrame::ShootingStar;
    state.memoryData[1].lightMode = LightingFrame::ShootingStar;
    LightingFrame::refreshOrderLighting(state);
    QVERIFY(state.chaseReady);
    QCOMPARE(modulesOf(state.chaseList), QVector<int>({1, 1, 1, 1, 1, 0, 0, 0, 0, 0}));
    QCOMPARE(state.chaseList.at(3).step, 3);
    QCOMPARE(state.chaseList.at(3).flag, 0);

    state.memoryData[0].memorySlot = 0;
    state.memoryData[1].memorySlot = 1;
    state.memoryData[4].lightMode = LightingFrame::BlackHole;
    state.memoryData[4].turnOff = true;
    state.chaseCursor = 7;
    LightingFrame::refreshOrderLighting(state);
    QCOMPARE(modulesOf(state.chaseList), QVector<int>({0, 0, 0, 0, 0, 1, 1, 1, 1, 1}));
    QCOMPARE(state.chaseCursor, 0);
}

void tst_dispatch::twinkleListGroups()
{
    EngineState state = prepared(LightingFrame::Static);
    state.memoryData[2].lightMode = LightingFrame::Twinkle;
    state.memoryData[3].lightMode = LightingFrame::Twinkle;
    LightingFrame::refreshOrderLighting(state);
    // Default slots: position 3 sits in slot 2, position 2 in slot 3.
    QCOMPARE(modulesOf(state.twinkleList), QVector<int>({3, 3, 3, 2, 2, 2}));
    QCOMPARE(state.twinkleList.at(0).flag, 1);
    QCOMPARE(state.twinkleList.at(1).flag, 0);
    QCOMPARE(state.twinkleList.at(3).flag, 1);
    QVERIFY(state.twinkleReady);

    // Any module's reset restarts both paths from their first item, whatever its mode.
    state.twinkleCursor = 4;
    state.chaseCursor = 2;
    LightingFrame::resetLighting(state, 6);
    QCOMPARE(state.twinkleCursor, 0);
    QCOMPARE(state.chaseCursor, 0);
    QCOMPARE(modulesOf(state.twinkleList), QVector<int>({3, 3, 3, 2, 2, 2}));
}

void tst_dispatch::frameCounterWraps()
{
    EngineState state = prepared(LightingFrame::Static);
    state.frameCounter = std::numeric_limits<std::int32_t>::max();
    LightingFrame::run(state);
    QCOMPARE(state.frameCounter, 0);
}

void tst_dispatch::slotNumberResetsOnlyPathModes()
{
    TestEnvironment env;
    Lighting_Control engine;
    COLORREF colours[5] = {1, 2, 3, 4, 5};
    float bright[5] = {1, 1, 1, 1, 1};
    engine.setRGB(0, colours, bright, 0, 0, 5);
    engine.setRGB(1, colours, bright, 0, 0, 5);
    engine.setLightMode(0, LightingFrame::Static, 0, 2, false);
    engine.setLightMode(1, LightingFrame::Twinkle, 0, 2, false);
    engine.computeFrame();
    engine.setRGB(0, colours, bright, 0, 0, 5);
    std::fill(colours, colours + 5, COLORREF(9));
    engine.setRGB(1, colours, bright, 0, 0, 5); // softwareRGB of the Twinkle module is 9s now

    engine.setMemorySlotNumber(0, 5);
    EngineState state = engine.state();
    QCOMPARE(state.memoryData[0].memorySlot, 5);
    QCOMPARE(frameOf(state, 0), Frame({1, 2, 3, 4, 5}));
    QCOMPARE(state.twinkleList.size(), 3);
    QCOMPARE(frameOf(state, 1), filled(9));

    engine.setMemorySlotNumber(1, 6);
    state = engine.state();
    QCOMPARE(state.memoryData[1].memorySlot, 6);
    QCOMPARE(frameOf(state, 1), filled(0)); // the Twinkle reset ran
    QCOMPARE(state.twinkleList.size(), 3);
}

void tst_dispatch::turnOffKeepsEffectState()
{
    TestEnvironment env;
    Lighting_Control engine;
    engine.setLightMode(0, LightingFrame::Pulse, 0, 2, false);
    for (int i = 0; i < 5; ++i)
        engine.computeFrame();
    const int counter = engine.state().memoryData[0].effect.pulseCounter;
    QVERIFY(counter > 0);

    engine.setTurnOff(0, true);
    QCOMPARE(engine.state().memoryData[0].effect.pulseCounter, counter);
    engine.computeFrame();
    QCOMPARE(frameOf(engine.state(), 0), filled(0));
    engine.setTurnOff(0, false);
    engine.computeFrame();
    // Continued from where it stood, no reset.
    QCOMPARE(engine.state().memoryData[0].effect.pulseCounter, counter + 1);
}

void tst_dispatch::turnOffRebuildsPaths()
{
    TestEnvironment env;
    Lighting_Control engine;
    engine.setLightMode(0, LightingFrame::ShootingStar, 0, 2, false);
    engine.setLightMode(1, LightingFrame::ShootingStar, 0, 2, false);
    engine.setLightMode(2, LightingFrame::Twinkle, 0, 2, false);
    QCOMPARE(engine.state().chaseList.size(), 10);

    engine.setTurnOff(1, true);
    EngineState state = engine.state();
    QCOMPARE(modulesOf(state.chaseList), QVector<int>({0, 0, 0, 0, 0}));
    engine.setTurnOff(2, true);
    QVERIFY(engine.state().twinkleList.isEmpty());
    engine.setTurnOff(1, false);
    QCOMPARE(engine.state().chaseList.size(), 10);
}

void tst_dispatch::slotsRefuseBadInput()
{
    TestEnvironment env;
    Lighting_Control engine;
    const EngineState before = engine.state();
    COLORREF colours[12] = {};
    float bright[12] = {};
    engine.setRGB(8, colours, bright, 0, 0, 5);
    engine.setRGB(-1, colours, bright, 0, 0, 5);
    engine.setRGB(0, nullptr, nullptr, 0, 0, 5);
    engine.setLightMode(9, 1, 0, 0, false);
    engine.setTurnOff(-3, true);
    engine.setMemorySlotNumber(0, 8);
    engine.setMemorySlotNumber(8, 0);
    engine.receive_RGB_Sync(5, nullptr);
    const EngineState after = engine.state();
    QCOMPARE(std::memcmp(before.memoryData, after.memoryData, sizeof before.memoryData), 0);

    // Counts beyond the arrays are cut to fit.
    COLORREF many[40];
    float manyBright[40];
    std::fill(many, many + 40, COLORREF(7));
    std::fill(manyBright, manyBright + 40, 1.0f);
    engine.setRGB(0, many, manyBright, 0, 0, 12);
    engine.receive_RGB_Sync(40, many);
    QCOMPARE(engine.state().syncColours[4], COLORREF(7));
    QCOMPARE(engine.state().memoryData[0].rgb[11], COLORREF(7));
}

void tst_dispatch::hostileValuesAreBroughtIntoRange()
{
    TestEnvironment env;
    Lighting_Control engine;
    constexpr int top = std::numeric_limits<int>::max();
    constexpr int bottom = std::numeric_limits<int>::min();
    // A mode above 35 rotates every lightSpeed + 1 frames: with the top speed that sum
    // overflowed.
    engine.setLightMode(0, 40, 0, top, false);
    engine.setLightMode(1, bottom, 99, bottom, false);
    engine.setLightMode(2, top, -7, 3, false);
    COLORREF colours[5] = {0xFF0000FF, 0xAB00FF00, 0x01FF0000, 0xFFFFFFFF, 0x00123456};
    float bright[5] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -3.0f, 7.0f,
                       0.5f};
    engine.setRGB(3, colours, bright, 0xFFFFFFFF, -std::numeric_limits<float>::infinity(), 5);
    engine.setLightMode(3, LightingFrame::Pulse, 1, 2, false);
    engine.slot_Volume(top);
    engine.returnDesktopPixelRGB(-5, 1000, top);
    engine.receive_RGB_Sync(5, colours);
    engine.setWarningMode(false, 0xFF0000FF, 80);
    for (int frame = 0; frame < 10; ++frame)
        engine.computeFrame();

    const EngineState state = engine.state();
    QCOMPARE(state.memoryData[0].lightMode, 40);
    QCOMPARE(state.memoryData[0].lightSpeed, int(SpeedSlow));
    QCOMPARE(state.memoryData[1].lightMode, 0);
    QCOMPARE(state.memoryData[1].colorMode, int(ColorModeOff));
    QCOMPARE(state.memoryData[1].lightSpeed, int(SpeedExtreme));
    QCOMPARE(state.memoryData[2].lightMode, 255);
    QCOMPARE(state.memoryData[2].colorMode, int(ColorModeOff));
    const MemoryModuleData &module = state.memoryData[3];
    QCOMPARE(QVector<float>(module.bright, module.bright + 5), QVector<float>({0.0f, 1.0f, 0.0f, 1.0f, 0.5f}));
    QCOMPARE(module.singleBright, 0.0f);
    QCOMPARE(module.singleRGB, COLORREF(0xFFFFFF));
    QCOMPARE(QVector<COLORREF>(module.rgb, module.rgb + 5),
             QVector<COLORREF>({0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x123456}));
    for (int m = 0; m < kModuleCount; ++m) {
        for (int k = 0; k < 5; ++k)
            QVERIFY(state.memoryData[m].softwareRGB[k] <= 0xFFFFFFu);
    }
    QCOMPARE(state.volume, 100);
    QCOMPARE(state.deskRed, 0);
    QCOMPARE(state.deskGreen, 255);
    QCOMPARE(state.deskBlue, 255);
    QCOMPARE(state.syncColours[3], COLORREF(0xFFFFFF));
    QCOMPARE(state.warningColour, COLORREF(0xFF));
}

void tst_dispatch::weatherChangeResetsClock()
{
    TestEnvironment env;
    Lighting_Control engine;
    engine.setLightMode(3, LightingFrame::Clock, 0, 2, false);
    engine.slot_SetWeatherType(4);
    QCOMPARE(engine.state().memoryData[3].effect.workGreen[2], 60);
    QCOMPARE(engine.state().memoryData[2].effect.workGreen[2], 0);
    engine.slot_ReceiveSun(100, 400);
    QCOMPARE(engine.state().dayLength, 300);
}

QTEST_GUILESS_MAIN(tst_dispatch)
#include "tst_dispatch.moc"
