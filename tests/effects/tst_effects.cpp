#include "EffectClock.h"
#include "EffectRandom.h"
#include "EffectTestState.h"
#include "LightingFrame.h"
#include "SoftwareEffects.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr COLORREF red = rgbColor(255, 0, 0);
constexpr COLORREF black = 0;
const COLORREF *const user = EffectTestState::kUserColours;
constexpr COLORREF single = rgbColor(20, 40, 60); // (40, 80, 120) at brightness 0.5

QVector<COLORREF> leds(std::initializer_list<COLORREF> colours)
{
    return QVector<COLORREF>(colours);
}

QVector<ChaseItem> chasePath(std::initializer_list<int> modules)
{
    QVector<ChaseItem> path;
    for (const int m : modules) {
        for (int step = 0; step < kDrivenLeds; ++step)
            path.append({m, step, 0});
    }
    return path;
}
} // namespace

class TestEffects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void scaleKeepsTheLowByte();
    void colourWheelRules_data();
    void colourWheelRules();
    void colourWheelWalksBackToRed();
    void randomNumbersFollowTheFrameworkSequence();
    void randomEffectsOnAnExactFrameClock();
    void speedGate();
    void colourSources_data();
    void colourSources();

    void flowChasesTheWheel();
    void rgbSpectrumWalksTogether();
    void rippleCirculatesAndRenewsInRandom();
    void blinkTogglesEveryFourSteps();
    void pulseHasAPeriodOf61Frames();
    void pulseRandomColourChangesWhenDark();
    void crossLightsPairs();
    void heartbeatCycle();
    void shootingStarKeepsHeadAndTail();
    void shootingStarCrossesModulesInSlotOrder();
    void blackHoleRunsADarkSpot();
    void chaseGuards();
    void auroraSharesItsIndex();
    void twinkleLightsInTurnWithUserColours();
    void raindropBrightensAndFades();
    void stackFillsInFifteenStepsAndClears();
    void scanSweepsBackAndForth();
    void swirlFeedsLedZeroAndShifts();
    void rainRisesLingersAndFades();
    void fireworksSequence();
    void explosionUsesUnscaledColours();

    void modesWithoutFrameAreUntouched();
    void effectsStayInsideTheFrame();
    void corruptStateIsHarmless();

private:
    TestEnvironment m_environment;
};

void TestEffects::initTestCase()
{
    EffectClock::setFixed(12345678, 1700000000);
}

void TestEffects::cleanupTestCase()
{
    EffectClock::useSystemTime();
}

void TestEffects::scaleKeepsTheLowByte()
{
    QCOMPARE(SoftwareEffects::scale(rgbColor(200, 100, 50), 0.5f), rgbColor(100, 50, 25));
    QCOMPARE(SoftwareEffects::scale(rgbColor(101, 7, 3), 0.333f), rgbColor(33, 2, 0));
    // Over-bright products wrap in the low byte: 255 x 2 = 510 -> 254.
    QCOMPARE(SoftwareEffects::scale(rgbColor(255, 128, 1), 2.0f), rgbColor(254, 0, 2));
    QCOMPARE(SoftwareEffects::scale(rgbColor(255, 255, 255), std::numeric_limits<float>::quiet_NaN()), black);
    QCOMPARE(SoftwareEffects::scale(rgbColor(255, 255, 255), std::numeric_limits<float>::infinity()), black);
    QCOMPARE(SoftwareEffects::scale(rgbColor(255, 255, 255), 1e30f), black);
}

void TestEffects::colourWheelRules_data()
{
    QTest::addColumn<COLORREF>("colour");
    QTest::addColumn<COLORREF>("expected");
    QTest::newRow("red gains green") << rgbColor(255, 0, 0) << rgbColor(255, 25, 0);
    QTest::newRow("green clamps at 255") << rgbColor(255, 240, 0) << rgbColor(255, 255, 0);
    QTest::newRow("yellow loses red") << rgbColor(255, 255, 0) << rgbColor(230, 255, 0);
    QTest::newRow("red clamps at 0") << rgbColor(10, 255, 0) << rgbColor(0, 255, 0);
    QTest::newRow("green gains blue") << rgbColor(0, 255, 0) << rgbColor(0, 255, 25);
    QTest::newRow("cyan loses green") << rgbColor(0, 255, 255) << rgbColor(0, 230, 255);
    QTest::newRow("blue gains red and green") << rgbColor(0, 0, 255) << rgbColor(25, 25, 255);
    QTest::newRow("white loses green") << rgbColor(255, 255, 255) << rgbColor(255, 230, 255);
    QTest::newRow("magenta loses blue") << rgbColor(255, 0, 255) << rgbColor(255, 0, 230);
    QTest::newRow("off the wheel") << rgbColor(100, 50, 20) << rgbColor(100, 50, 20);
    QTest::newRow("black") << black << black;
}

void TestEffects::colourWheelRules()
{
    QFETCH(COLORREF, colour);
    QFETCH(COLORREF, expected);
    QCOMPARE(SoftwareEffects::stepColourWheel(colour, 25), expected);
}

void TestEffects::colourWheelWalksBackToRed()
{
    const QVector<COLORREF> landmarks = {rgbColor(255, 255, 0), rgbColor(0, 255, 0), rgbColor(0, 255, 255),
                                         rgbColor(0, 0, 255), rgbColor(255, 255, 255), rgbColor(255, 0, 255)};
    int nextLandmark = 0;
    COLORREF colour = red;
    int steps = 0;
    do {
        colour = SoftwareEffects::stepColourWheel(colour, 25);
        ++steps;
        if (nextLandmark < landmarks.size() && colour == landmarks.at(nextLandmark))
            ++nextLandmark;
    } while (colour != red && steps < 1000);
    QCOMPARE(nextLandmark, landmarks.size());
    QCOMPARE(steps, 77);
}

void TestEffects::randomNumbersFollowTheFrameworkSequence()
{
    // Seeded with milliseconds since midnight plus the module, drawing what qsrand/qrand give.
    EffectClock::setFixed(5000, 0);
    EffectRandom random(3);
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    qsrand(5003);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(random.draw(), qrand());
    random.seed(3);
    qsrand(5003);
    QCOMPARE(random.draw(30), qrand() % 30);
    QT_WARNING_POP
    EffectClock::setFixed(12345678, 1700000000);
}

namespace {

// Module 0 alone in `mode` (the others static), run through the engine's frames with the
// clock advancing exactly 40 ms a frame from `start`; `seen` is asked after every frame.
template <typename Seen>
QVector<bool> framesSeen(int mode, int speed, qint64 start, int frames, Seen &&seen)
{
    EffectTestState t(LightingFrame::Static);
    t.setUp(0, mode, ColorModeRGB, speed);
    QVector<bool> result;
    for (int frame = 0; frame < frames; ++frame) {
        EffectClock::setFixed(start + 40 * frame, 0);
        LightingFrame::run(t.state);
        result.append(seen(t.module(0)));
    }
    EffectClock::setFixed(12345678, 1700000000);
    return result;
}

} // namespace

void TestEffects::randomEffectsOnAnExactFrameClock()
{
    // Frames exactly 40 ms apart must not tie the draws to the clock. Over many starting
    // times, nearly every Rain sees a drop within its first second (25 frames, 1 in 10 a
    // frame) and nearly every Swirl at speed Normal lights LED 0 (8 steps, 1 in 3 a step).
    const auto rainLit = [](const MemoryModuleData &data) { return data.softwareRGB[0] != black; };
    int rainStarts = 0;
    int swirlStarts = 0;
    for (int i = 0; i < 20; ++i) {
        const qint64 start = 3600000 * (i % 24) + 61009 * i;
        rainStarts += framesSeen(LightingFrame::Rain, SpeedExtreme, start, 25, rainLit).contains(true);
        swirlStarts += framesSeen(LightingFrame::Swirl, SpeedNormal, start, 25, rainLit).contains(true);
    }
    QVERIFY2(rainStarts >= 15, qPrintable(QString::number(rainStarts)));
    QVERIFY2(swirlStarts >= 15, qPrintable(QString::number(swirlStarts)));

    // Over a longer run the chances stay those of the effects.
    const QVector<bool> rain = framesSeen(LightingFrame::Rain, SpeedExtreme, 43200000, 3000, rainLit);
    const double rainShare = double(rain.count(true)) / rain.size();
    QVERIFY2(rainShare > 0.07 && rainShare < 0.13, qPrintable(QString::number(rainShare)));
    int drops = 0;
    framesSeen(LightingFrame::Raindrop, SpeedExtreme, 43200000, 3000, [&drops](const MemoryModuleData &data) {
        for (int k = 0; k < kDrivenLeds; ++k)
            drops += data.effect.dropLevel[k] == 1;
        return false;
    });
    // 1 in 30 for an LED at rest, which it is 11 frames in every 30 or so.
    QVERIFY2(drops > 150 && drops < 450, qPrintable(QString::number(drops)));
}

void TestEffects::speedGate()
{
    const auto changedFrames = [](int speed) {
        EffectTestState t(5, ColorModeRGB, speed);
        t.setFrame({1, 2, 3, 4, 5});
        QVector<int> changed;
        for (int frame = 0; frame < 7; ++frame) {
            const QVector<COLORREF> before = t.frame();
            if (t.step(frame) != before)
                changed.append(frame);
        }
        return changed;
    };
    QCOMPARE(changedFrames(SpeedExtreme), QVector<int>({0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(changedFrames(SpeedNormal), QVector<int>({0, 3, 6}));
    QCOMPARE(changedFrames(SpeedSlow), QVector<int>({0, 4}));
    // Speeds outside 0 to 3 neither divide by zero nor overflow.
    QCOMPARE(changedFrames(-1), QVector<int>({0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(changedFrames(std::numeric_limits<int>::max()), QVector<int>({0}));
}

void TestEffects::colourSources_data()
{
    QTest::addColumn<int>("colorMode");
    QTest::addColumn<QVector<COLORREF>>("expected");
    const COLORREF marker = rgbColor(1, 2, 3);
    QTest::newRow("RGB") << int(ColorModeRGB)
                         << leds({rgbColor(100, 50, 25), user[1], user[2], user[3], user[4]});
    QTest::newRow("Single") << int(ColorModeSingle) << allLeds(single);
    QTest::newRow("OFF") << int(ColorModeOff) << allLeds(marker);
    QTest::newRow("Random outside its four effects") << int(ColorModeRandom) << allLeds(marker);
    QTest::newRow("unknown") << 9 << allLeds(marker);
}

void TestEffects::colourSources()
{
    QFETCH(int, colorMode);
    QFETCH(QVector<COLORREF>, expected);
    EffectTestState t(6, colorMode);
    t.module().bright[0] = 0.5f;
    for (COLORREF &led : t.module().softwareRGB)
        led = rgbColor(1, 2, 3);
    QCOMPARE(t.step(0), expected);
}

void TestEffects::flowChasesTheWheel()
{
    EffectTestState t(0);
    t.setFrame({0x0000FF, 0x2A00FF, 0x5400FF, 0x7F00FF, 0xA900FF});
    t.step(0);
    QCOMPARE(t.frame(), leds({red, rgbColor(255, 25, 0), 0x5400FF, 0x7F00FF, 0xA900FF}));
    QCOMPARE(t.effect().flowIndex, 1);
    for (int frame = 1; frame < 5; ++frame)
        t.step(frame);
    QCOMPARE(t.effect().flowIndex, 0);
    QCOMPARE(t.frame(), leds({rgbColor(255, 125, 0), rgbColor(255, 25, 0), rgbColor(255, 50, 0),
                              rgbColor(255, 75, 0), rgbColor(255, 100, 0)}));

    // Off the wheel the chase freezes.
    EffectTestState frozen(0);
    frozen.setFrame({rgbColor(100, 50, 20), rgbColor(100, 50, 20), rgbColor(100, 50, 20), rgbColor(100, 50, 20),
                     rgbColor(100, 50, 20)});
    for (int frame = 0; frame < 10; ++frame)
        QCOMPARE(frozen.step(frame), allLeds(rgbColor(100, 50, 20)));
}

void TestEffects::rgbSpectrumWalksTogether()
{
    EffectTestState t(1, ColorModeRGB, SpeedFast);
    t.setFrame({red, red, red, red, red});
    QCOMPARE(t.step(0), allLeds(rgbColor(255, 25, 0)));
    QCOMPARE(t.step(1), allLeds(rgbColor(255, 25, 0)));
    QCOMPARE(t.step(2), allLeds(rgbColor(255, 50, 0)));
}

void TestEffects::rippleCirculatesAndRenewsInRandom()
{
    const COLORREF low = rgbColor(13, 26, 40);
    const COLORREF high = rgbColor(26, 53, 80);
    EffectTestState t(2, ColorModeSingle);
    t.setFrame({black, low, high, black, black});
    QCOMPARE(t.step(0), leds({black, black, low, high, black}));
    for (int frame = 1; frame < 5; ++frame)
        t.step(frame);
    QCOMPARE(t.frame(), leds({black, low, high, black, black}));

    EffectTestState random(2, ColorModeRandom);
    // The brightest LED lands on LED 1: nothing is renewed.
    random.setFrame({high, black, black, black, low});
    QCOMPARE(random.step(0), leds({low, high, black, black, black}));
    // The brightest LED lands on LED 0: a new colour with two falling shades behind it.
    random.setFrame({low, black, black, black, high});
    const QVector<COLORREF> renewed = random.step(1);
    const COLORREF c = renewed.at(0);
    QCOMPARE(renewed.at(1), low);
    QCOMPARE(renewed.at(2), black);
    QCOMPARE(renewed.at(3), rgbColor(redOf(c) / 3, greenOf(c) / 3, blueOf(c) / 3));
    QCOMPARE(renewed.at(4), rgbColor(2 * redOf(c) / 3, 2 * greenOf(c) / 3, 2 * blueOf(c) / 3));
    QVERIFY(redOf(c) < 255 && greenOf(c) < 255 && blueOf(c) < 255);

    // The same time and module give the same colour.
    EffectTestState again(2, ColorModeRandom);
    again.setFrame({low, black, black, black, high});
    QCOMPARE(again.step(1), renewed);

    // An all-dark frame has no brightest LED.
    EffectTestState dark(2, ColorModeRandom);
    dark.setFrame({black, black, black, black, black});
    QCOMPARE(dark.step(0), allLeds(black));
}

void TestEffects::blinkTogglesEveryFourSteps()
{
    EffectTestState t(3);
    t.setFrame({black, black, black, black, black});
    const QVector<COLORREF> on(user, user + kDrivenLeds);
    QCOMPARE(t.step(0), on);
    for (int frame = 1; frame < 4; ++frame)
        QCOMPARE(t.step(frame), on);
    QCOMPARE(t.step(4), allLeds(black));
    QCOMPARE(t.step(7), allLeds(black));
    QCOMPARE(t.step(8), on);

    // OFF keeps the reset colours until the first dark step, then stays dark.
    EffectTestState off(3, ColorModeOff);
    off.setFrame({user[0], user[1], user[2], user[3], user[4]});
    QCOMPARE(off.step(0), on);
    QCOMPARE(off.step(4), allLeds(black));
    QCOMPARE(off.step(8), allLeds(black));

    // Random: one colour for the whole module.
    EffectTestState random(3, ColorModeRandom);
    const QVector<COLORREF> shown = random.step(0);
    QCOMPARE(shown, allLeds(shown.at(0)));
    QVERIFY(random.effect().blinkOn);
}

void TestEffects::pulseHasAPeriodOf61Frames()
{
    EffectTestState t(4, ColorModeRGB, SpeedNormal);
    QVector<COLORREF> led0;
    for (int frame = 0; frame < 130; ++frame)
        led0.append(t.step(frame).at(0));
    QCOMPARE(led0.at(0), user[0]);
    QCOMPARE(led0.at(15), rgbColor(100, 50, 25));
    QCOMPARE(led0.at(30), black);
    QCOMPARE(led0.at(45), rgbColor(100, 50, 25));
    QCOMPARE(led0.at(60), user[0]);
    for (int frame = 0; frame + 61 < led0.size(); ++frame)
        QCOMPARE(led0.at(frame + 61), led0.at(frame));
    QCOMPARE(led0.at(61), user[0]);
    QVERIFY(led0.at(59) != user[0]);
}

void TestEffects::pulseRandomColourChangesWhenDark()
{
    EffectTestState t(4, ColorModeRandom, SpeedExtreme); // P = 10
    for (int frame = 0; frame < 10; ++frame)
        QCOMPARE(t.step(frame), allLeds(black)); // no colour drawn yet
    QCOMPARE(t.step(10), allLeds(black));        // dark: the colour is drawn now
    const EffectState &effect = t.effect();
    const COLORREF drawn = rgbColor(effect.workRed[0], effect.workGreen[0], effect.workBlue[0]);
    QVERIFY(drawn != black);
    for (int k = 1; k < kDrivenLeds; ++k)
        QCOMPARE(rgbColor(effect.workRed[k], effect.workGreen[k], effect.workBlue[k]), drawn);
    for (int frame = 11; frame < 15; ++frame)
        t.step(frame);
    // Counter 15: f = 0.5.
    QCOMPARE(t.step(15), allLeds(rgbColor(redOf(drawn) / 2, greenOf(drawn) / 2, blueOf(drawn) / 2)));

    // OFF: the frame stays, the cycle goes on.
    EffectTestState off(4, ColorModeOff);
    off.setFrame({1, 2, 3, 4, 5});
    off.step(0);
    off.step(1);
    QCOMPARE(off.frame(), leds({1, 2, 3, 4, 5}));
    QCOMPARE(off.effect().pulseCounter, 2);
}

void TestEffects::crossLightsPairs()
{
    EffectTestState t(15);
    const COLORREF marker = rgbColor(9, 9, 9);
    t.module().softwareRGB[5] = marker;
    QCOMPARE(t.step(0), leds({user[0], black, black, black, black}));
    QCOMPARE(t.step(1), leds({black, user[1], black, black, user[4]}));
    QCOMPARE(t.step(2), leds({black, black, user[2], user[3], black}));
    QCOMPARE(t.step(3), leds({black, black, user[2], user[3], black}));
    QCOMPARE(t.step(4), leds({black, user[1], black, black, user[4]}));
    QCOMPARE(t.step(5), leds({user[0], black, black, black, black}));
    QCOMPARE(t.module().softwareRGB[5], marker);

    EffectTestState singleMode(15, ColorModeSingle);
    singleMode.step(0);
    QCOMPARE(singleMode.step(1), leds({black, single, black, black, single}));

    EffectTestState off(15, ColorModeOff);
    off.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(off.step(0), allLeds(black));
}

void TestEffects::heartbeatCycle()
{
    EffectTestState t(25);
    t.module().rgb[0] = rgbColor(101, 0, 0);
    // f: 0.1, 0.14, 0.196, 0.2744, 0.3842, 0.5378, 0.753, 0.9459, 0.5242, 0.
    const QVector<int> cycle = {10, 14, 19, 27, 38, 54, 76, 95, 52, 0};
    QVector<int> seen;
    for (int frame = 0; frame < 20; ++frame)
        seen.append(redOf(t.step(frame).at(0)));
    QCOMPARE(seen, cycle + cycle);

    // Random: a fresh colour on the dark beat, shown at the next beat's 0.1.
    EffectTestState random(25, ColorModeRandom);
    for (int frame = 0; frame < 10; ++frame)
        random.step(frame);
    const EffectState &effect = random.effect();
    const int drawnRed = effect.workRed[0];
    QCOMPARE(effect.workRed[4], drawnRed);
    QCOMPARE(redOf(random.step(10).at(0)), int(drawnRed * 0.1f));
}

void TestEffects::shootingStarKeepsHeadAndTail()
{
    EffectTestState t(17);
    t.state.chaseList = chasePath({0});
    t.state.chaseReady = true;
    const COLORREF twoThirds4 = SoftwareEffects::scale(user[4], 2.0f / 3.0f);
    const COLORREF oneThird3 = SoftwareEffects::scale(user[3], 1.0f / 3.0f);
    // The head wraps from LED 4 to LED 0 of the same module, its tail behind it.
    QCOMPARE(t.step(0), leds({user[0], black, black, oneThird3, twoThirds4}));
    QCOMPARE(t.state.chaseCursor, 1);
    QCOMPARE(t.step(1), leds({SoftwareEffects::scale(user[0], 2.0f / 3.0f), user[1], black, black,
                              SoftwareEffects::scale(user[4], 1.0f / 3.0f)}));
    for (int frame = 2; frame < 5; ++frame)
        t.step(frame);
    QCOMPARE(t.state.chaseCursor, 0);

    EffectTestState singleMode(17, ColorModeSingle);
    singleMode.state.chaseList = chasePath({0});
    singleMode.state.chaseReady = true;
    QCOMPARE(singleMode.step(0).at(0), single);

    EffectTestState off(17, ColorModeOff);
    off.state.chaseList = chasePath({0});
    off.state.chaseReady = true;
    off.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(off.step(0), allLeds(black));
    QCOMPARE(off.state.chaseCursor, 1);
}

void TestEffects::shootingStarCrossesModulesInSlotOrder()
{
    EffectTestState t(17);
    t.state.chaseList = chasePath({0, 1});
    t.state.chaseReady = true;
    t.state.chaseCursor = 4;
    const auto third = [](COLORREF c, int j) { return SoftwareEffects::scale(c, float(3 - j) / 3.0f); };
    // The head reaches the second module in the frame in which it leaves the first.
    QCOMPARE(t.step(0, 0), leds({black, black, third(user[2], 2), third(user[3], 1), user[4]}));
    QCOMPARE(t.step(0, 1), leds({user[0], black, black, black, black}));
    QCOMPARE(t.state.chaseCursor, 6);
    QCOMPARE(t.step(1, 0), leds({black, black, black, black, third(user[4], 2)}));
    QCOMPARE(t.step(1, 1), leds({third(user[0], 1), user[1], black, black, black}));
    // Modules outside the path stay dark and leave the cursor alone.
    QCOMPARE(t.step(1, 2), allLeds(black));
    QCOMPARE(t.state.chaseCursor, 7);
}

void TestEffects::blackHoleRunsADarkSpot()
{
    EffectTestState t(18);
    t.state.chaseList = chasePath({0});
    t.state.chaseReady = true;
    QCOMPARE(t.step(0), leds({black, user[1], user[2], black, black}));
    QCOMPARE(t.step(1), leds({black, black, user[2], user[3], black}));
    QCOMPARE(t.state.chaseCursor, 2);

    EffectTestState random(18, ColorModeRandom);
    random.state.chaseList = chasePath({0});
    random.state.chaseReady = true;
    random.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(random.step(0), allLeds(black));
}

void TestEffects::chaseGuards()
{
    for (const int mode : {17, 18}) {
        // Lists under rebuild are left alone: the frame is not even cleared.
        EffectTestState t(mode);
        t.state.chaseList = chasePath({0});
        t.setFrame({1, 2, 3, 4, 5});
        QCOMPARE(t.step(0), leds({1, 2, 3, 4, 5}));
        QCOMPARE(t.state.chaseCursor, 0);

        // A cursor left beyond a shorter list starts over instead of freezing the chase.
        t.state.chaseReady = true;
        t.state.chaseCursor = 99;
        t.step(0);
        QCOMPARE(t.state.chaseCursor, 1);

        // Items naming LEDs or modules outside the frame never write beyond it.
        t.state.chaseList = {{0, 9, 0}, {0, -3, 0}, {42, 0, 0}};
        t.state.chaseCursor = 0;
        for (int k = 5; k < kLedSlots; ++k)
            t.module().softwareRGB[k] = rgbColor(7, 7, 7);
        for (int frame = 0; frame < 6; ++frame)
            t.step(frame);
        for (int k = 5; k < kLedSlots; ++k)
            QCOMPARE(t.module().softwareRGB[k], rgbColor(7, 7, 7));

        t.state.chaseList.clear();
        t.step(0);
    }
}

void TestEffects::auroraSharesItsIndex()
{
    EffectTestState t(19);
    const COLORREF *ramp = t.state.colourScale;
    QCOMPARE(t.step(0, 0), leds({ramp[4], ramp[3], ramp[2], ramp[1], ramp[0]}));
    QCOMPARE(t.step(0, 1), leds({ramp[5], ramp[4], ramp[3], ramp[2], ramp[1]}));
    QCOMPARE(t.state.auroraIndex, 2);
    // Only every fourth frame steps.
    QCOMPARE(t.step(1, 0), leds({ramp[4], ramp[3], ramp[2], ramp[1], ramp[0]}));
    QCOMPARE(t.state.auroraIndex, 2);

    t.state.auroraIndex = 33;
    QCOMPARE(t.step(4, 0), leds({ramp[2], ramp[1], ramp[0], ramp[34], ramp[33]}));
    t.step(8, 0);
    // Index 35 shows index 0 again, then the ramp starts over.
    QCOMPARE(t.state.auroraIndex, 35);
    QCOMPARE(t.step(12, 0), leds({ramp[4], ramp[3], ramp[2], ramp[1], ramp[0]}));
    QCOMPARE(t.state.auroraIndex, 0);

    t.state.auroraIndex = -7;
    QCOMPARE(t.step(16, 0), leds({ramp[4], ramp[3], ramp[2], ramp[1], ramp[0]}));
}

void TestEffects::twinkleLightsInTurnWithUserColours()
{
    EffectTestState t(21);
    t.state.twinkleList = {{0, 0, 1}, {0, 0, 0}, {0, 0, 0}, {1, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    t.state.twinkleReady = true;
    t.setUp(1, 21, ColorModeSingle);
    const QVector<COLORREF> userColours(user, user + kDrivenLeds);
    QVector<bool> lit0;
    QVector<bool> lit1;
    for (int frame = 0; frame < 6; ++frame) {
        const QVector<COLORREF> frame0 = t.step(frame, 0);
        const QVector<COLORREF> frame1 = t.step(frame, 1);
        QVERIFY(frame0 == userColours || frame0 == allLeds(black));
        QVERIFY(frame1 == allLeds(single) || frame1 == allLeds(black));
        lit0.append(frame0 == userColours);
        lit1.append(frame1 == allLeds(single));
    }
    // Module 1's turn follows in the frame in which module 0 passes its last item.
    QCOMPARE(lit0, QVector<bool>({true, false, false, false, false, true}));
    QCOMPARE(lit1, QVector<bool>({false, false, true, false, false, false}));

    // Random gives no colour: the module stays dark on its turn, the turn still passes.
    EffectTestState random(21, ColorModeRandom);
    random.state.twinkleList = {{0, 0, 1}, {0, 0, 0}};
    random.state.twinkleReady = true;
    random.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(random.step(0), allLeds(black));
    QCOMPARE(random.state.twinkleCursor, 1);

    // Not ready, or a stale cursor.
    EffectTestState guarded(21);
    guarded.state.twinkleList = {{0, 0, 1}};
    guarded.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(guarded.step(0), leds({1, 2, 3, 4, 5}));
    guarded.state.twinkleReady = true;
    guarded.state.twinkleCursor = 12;
    QCOMPARE(guarded.step(0), userColours);
}

void TestEffects::raindropBrightensAndFades()
{
    EffectTestState t(24);
    t.effect().dropLevel[0] = 1;
    const QVector<int> levels = {2, 3, 4, 5, 6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    for (int i = 0; i < levels.size(); ++i)
        QCOMPARE(t.step(i).at(0), SoftwareEffects::scale(user[0], float(levels.at(i)) / 10.0f));
    QCOMPARE(t.effect().dropLevel[0], 0);

    // Drops start at random: over many frames every LED sees one.
    EffectTestState idle(24);
    QVector<bool> started(kDrivenLeds, false);
    for (int frame = 0; frame < 2000; ++frame) {
        EffectClock::setFixed(frame * 7, 0);
        idle.step(frame);
        for (int k = 0; k < kDrivenLeds; ++k) {
            QVERIFY(idle.effect().dropLevel[k] >= 0 && idle.effect().dropLevel[k] < 20);
            started[k] = started[k] || idle.effect().dropLevel[k] > 0;
        }
    }
    EffectClock::setFixed(12345678, 1700000000);
    QCOMPARE(started, QVector<bool>(kDrivenLeds, true));

    // OFF: levels run, the frame stays.
    EffectTestState off(24, ColorModeOff);
    off.effect().dropLevel[2] = 5;
    off.setFrame({1, 2, 3, 4, 5});
    off.step(0);
    QCOMPARE(off.frame(), leds({1, 2, 3, 4, 5}));
    QCOMPARE(off.effect().dropLevel[2], 6);
}

void TestEffects::stackFillsInFifteenStepsAndClears()
{
    EffectTestState t(26);
    t.setFrame({black, black, black, black, black});
    int frame = 0;
    for (; frame < 5; ++frame)
        t.step(frame);
    QCOMPARE(t.frame(), leds({black, black, black, black, user[4]}));
    for (; frame < 14; ++frame) {
        t.step(frame);
        QVERIFY(t.frame().count(black) > 0);
    }
    const QVector<COLORREF> full(user, user + kDrivenLeds);
    QCOMPARE(t.step(frame++), full);
    QCOMPARE(t.effect().stackCounter, -1);
    QCOMPARE(t.step(frame++), allLeds(black));
    QCOMPARE(t.step(frame++), leds({user[0], black, black, black, black}));
}

void TestEffects::scanSweepsBackAndForth()
{
    EffectTestState t(27, ColorModeSingle);
    QVector<int> positions;
    for (int frame = 0; frame < 9; ++frame) {
        const QVector<COLORREF> shown = t.step(frame);
        positions.append(shown.indexOf(single));
        QCOMPARE(shown.count(single), 2);
        QCOMPARE(shown.at(positions.last() + 1), single);
    }
    QCOMPARE(positions, QVector<int>({0, 1, 2, 3, 2, 1, 0, 0, 1}));

    EffectTestState rgb(27);
    rgb.step(0);
    rgb.step(1);
    rgb.step(2);
    QCOMPARE(rgb.step(3), leds({black, black, black, user[3], user[4]}));
}

void TestEffects::swirlFeedsLedZeroAndShifts()
{
    EffectTestState t(28);
    int lit = 0;
    for (int frame = 0; frame < 60; ++frame) {
        EffectClock::setFixed(frame * 13, 0);
        const QVector<COLORREF> before = t.frame();
        const QVector<COLORREF> after = t.step(frame);
        QCOMPARE(after.at(1), after.at(0));
        QCOMPARE(after.mid(2), before.mid(1, 3));
        QVERIFY(after.at(0) == black || QVector<COLORREF>(user, user + kDrivenLeds).contains(after.at(0)));
        lit += after.at(0) != black;
    }
    EffectClock::setFixed(12345678, 1700000000);
    QVERIFY(lit > 5 && lit < 40);
}

void TestEffects::rainRisesLingersAndFades()
{
    const COLORREF a = rgbColor(100, 0, 0);
    const COLORREF b = rgbColor(0, 100, 0);
    const COLORREF c = rgbColor(0, 0, 100);
    EffectTestState t(32, ColorModeOff);
    t.setFrame({a, b, c, black, black});
    // Drops rise; LED 3 takes LED 2 while LED 2 is lit.
    QCOMPARE(t.step(0), leds({black, a, b, c, black}));
    QCOMPARE(t.step(1), leds({black, black, a, b, c}));
    // LED 4 keeps its drop: the packed 0x006400 x 0.9 is below 0x640000.
    QCOMPARE(t.step(2), leds({black, black, black, a, c}));
    // LED 3 lit with LED 2 dark fades.
    QCOMPARE(t.step(3), leds({black, black, black, rgbColor(90, 0, 0), c}));
    // A drop on LED 3 whose packed value x 0.9 exceeds LED 4's moves up.
    t.setFrame({black, black, black, c, a});
    QCOMPARE(t.step(4), leds({black, black, black, rgbColor(0, 0, 90), c}));
    t.setFrame({black, black, black, black, rgbColor(200, 100, 10)});
    QCOMPARE(t.step(5), leds({black, black, black, black, rgbColor(180, 90, 9)}));

    EffectTestState rgb(32);
    for (int frame = 0; frame < 60; ++frame) {
        EffectClock::setFixed(frame * 11, 0);
        const COLORREF led0 = rgb.step(frame).at(0);
        QVERIFY(led0 == black || led0 == user[0]);
    }
    EffectClock::setFixed(12345678, 1700000000);
}

void TestEffects::fireworksSequence()
{
    const COLORREF white = 0xFFFFFF;
    const COLORREF launch1 = rgbColor(6, 13, 20);
    const COLORREF launch2 = rgbColor(0, 85, 0);
    for (const int colorMode : {int(ColorModeRGB), int(ColorModeSingle)}) {
        EffectTestState t(33, colorMode);
        t.module().bright[0] = 0.5f; // unscaled: brightness plays no part
        QCOMPARE(t.step(0), leds({user[0], black, black, black, black}));
        QCOMPARE(t.step(1), leds({launch1, user[0], black, black, black}));
        QCOMPARE(t.step(2), leds({launch2, launch1, user[0], black, black}));
        QCOMPARE(t.step(3), leds({black, launch2, launch1, white, black}));
        QCOMPARE(t.step(4), leds({black, black, launch2, black, black}));
        QCOMPARE(t.step(5), leds({black, black, black, white, black}));
        QCOMPARE(t.step(6), leds({black, black, black, black, white}));
        QCOMPARE(t.step(7), allLeds(black));
        QCOMPARE(t.step(8), leds({black, black, black, black, white}));
        QCOMPARE(t.step(9), leds({user[0], black, black, black, black}));
    }
    EffectTestState t(33, ColorModeOff);
    QCOMPARE(t.step(0), allLeds(black));
    t.effect().fireworkCounter = 89;
    t.step(1);
    QCOMPARE(t.effect().fireworkCounter, 0);
}

void TestEffects::explosionUsesUnscaledColours()
{
    EffectTestState t(34, ColorModeOff);
    for (int k = 0; k < kDrivenLeds; ++k)
        t.module().bright[k] = 0.1f;
    for (int c = 0; c < 10; ++c) {
        const QVector<COLORREF> shown = t.step(c);
        if (c % 2 == 0) {
            QCOMPARE(shown.count(black), 4);
            QCOMPARE(shown.at(c / 2), user[c / 2]);
        } else {
            QCOMPARE(shown, allLeds(black));
        }
    }
    t.effect().explosionCounter = 99;
    t.step(0);
    QCOMPARE(t.effect().explosionCounter, 0);
}

void TestEffects::modesWithoutFrameAreUntouched()
{
    for (const int mode : {7, 11, 12, 13, 16, 20, 22, 23, 29, 35, 36, 99, -1}) {
        EffectTestState t(mode);
        t.setFrame({1, 2, 3, 4, 5});
        for (int frame = 0; frame < 8; ++frame)
            QCOMPARE(t.step(frame), leds({1, 2, 3, 4, 5}));
    }
}

void TestEffects::effectsStayInsideTheFrame()
{
    // Frames of exact size on the heap, so any write beyond them is caught by the sanitizer.
    for (int mode = 0; mode <= 36; ++mode) {
        for (const int colorMode : {0, 1, 2, 3}) {
            EffectTestState t(mode, colorMode);
            t.state.chaseList = chasePath({0, 1});
            t.state.chaseReady = true;
            t.state.twinkleList = {{0, 0, 1}, {0, 0, 0}, {1, 0, 1}};
            t.state.twinkleReady = true;
            t.state.weatherType = mode % 7;
            t.state.volume = 100;
            for (const int count : {1, 3}) {
                std::vector<COLORREF> frame(std::size_t(count), rgbColor(255, 255, 255));
                for (int n = 0; n < 40; ++n)
                    SoftwareEffects::computeFrame(t.state, n % 2, frame.data(), count, n);
            }
            // Twelve entries offered: only the five driven LEDs are computed.
            MemoryModuleData &data = t.module();
            for (int k = 5; k < kLedSlots; ++k)
                data.softwareRGB[k] = rgbColor(7, 7, 7);
            for (int n = 0; n < 40; ++n)
                SoftwareEffects::computeFrame(t.state, 0, data.softwareRGB, kLedSlots, n);
            for (int k = 5; k < kLedSlots; ++k)
                QCOMPARE(data.softwareRGB[k], rgbColor(7, 7, 7));
            // Nothing at all for bad modules, empty or missing frames.
            SoftwareEffects::computeFrame(t.state, -1, data.softwareRGB, 5, 0);
            SoftwareEffects::computeFrame(t.state, kModuleCount, data.softwareRGB, 5, 0);
            SoftwareEffects::computeFrame(t.state, 0, nullptr, 5, 0);
            SoftwareEffects::computeFrame(t.state, 0, data.softwareRGB, 0, 0);
            SoftwareEffects::computeFrame(t.state, 0, data.softwareRGB, -5, 0);
        }
    }
}

void TestEffects::corruptStateIsHarmless()
{
    // Counters and settings far outside their ranges never overflow, divide by zero or
    // index outside the arrays (the sanitizers watch this run).
    const int extremes[] = {std::numeric_limits<int>::min(), -1, 12, std::numeric_limits<int>::max()};
    for (int mode = 0; mode <= 36; ++mode) {
        for (const int value : extremes) {
            EffectTestState t(mode, ColorModeRandom, value);
            EffectState &effect = t.effect();
            effect.flowIndex = value;
            effect.pulseCounter = value;
            effect.crossCounter = value;
            for (int &level : effect.dropLevel)
                level = value;
            effect.stackCounter = value;
            effect.beatCounter = value;
            effect.scanCounter = value;
            effect.fireworkCounter = value;
            effect.explosionCounter = value;
            for (int k = 0; k < kLedSlots; ++k) {
                effect.workRed[k] = value;
                effect.workGreen[k] = value;
                effect.workBlue[k] = value;
            }
            t.state.auroraIndex = value;
            t.state.chaseCursor = value;
            t.state.twinkleCursor = value;
            t.state.chaseList = chasePath({0});
            t.state.chaseReady = true;
            t.state.twinkleList = {{0, 0, 1}};
            t.state.twinkleReady = true;
            t.state.volume = value;
            t.state.cpuTemperature = value;
            t.state.weatherType = mode % 7;
            t.state.sunrise = value;
            t.state.sunset = std::numeric_limits<int>::max();
            t.state.dayLength = value;
            t.state.deskRed = value;
            t.module().bright[0] = std::numeric_limits<float>::quiet_NaN();
            for (const int colorMode : {0, 1, 3}) {
                t.module().colorMode = colorMode;
                for (const int frame : {0, 1, value, std::numeric_limits<int>::min()})
                    t.step(frame);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestEffects)
#include "tst_effects.moc"
