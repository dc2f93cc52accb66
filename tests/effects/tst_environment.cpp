#include "EffectClock.h"
#include "EffectTestState.h"
#include "EnvironmentEffects.h"
#include "SoftwareEffects.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <limits>

namespace {
constexpr COLORREF black = 0;
const COLORREF *const user = EffectTestState::kUserColours;
constexpr COLORREF single = rgbColor(20, 40, 60); // (40, 80, 120) at brightness 0.5

constexpr qint64 kSunrise = 1700000000;
constexpr qint64 kSunset = kSunrise + 40000;
constexpr qint64 kMidday = kSunrise + 20000;
constexpr qint64 kNight = kSunset + 5000;

QVector<COLORREF> leds(std::initializer_list<COLORREF> colours)
{
    return QVector<COLORREF>(colours);
}

void setSun(EngineState &state)
{
    state.sunrise = int(kSunrise);
    state.sunset = int(kSunset);
    state.dayLength = int(kSunset - kSunrise);
}

void setWork(EffectState &effect, int led, int red, int green, int blue)
{
    effect.workRed[led] = red;
    effect.workGreen[led] = green;
    effect.workBlue[led] = blue;
}

COLORREF work(const EffectState &effect, int led)
{
    return rgbColor(effect.workRed[led], effect.workGreen[led], effect.workBlue[led]);
}
} // namespace

class TestEnvironmentEffects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void movieFollowsTheVolume();
    void gamingIsALevelMeter();
    void partyFlaresTwoLeds();
    void temperatureColours_data();
    void temperatureColours();
    void tempDriftsOneStepAtATime();
    void screenMovie();
    void sunFactor();
    void clockWithoutWeatherIsDark();
    void clockRainDrops();
    void clockClearSkyRadiates();
    void clockThunderstorm();
    void clockCloudsDrift();
    void clockSnowFlakes();
    void skiesSurviveWorkValuesAtTheEnds();

private:
    TestEnvironment m_environment;
};

void TestEnvironmentEffects::initTestCase()
{
    EffectClock::setFixed(43210, kMidday);
}

void TestEnvironmentEffects::cleanupTestCase()
{
    EffectClock::useSystemTime();
}

void TestEnvironmentEffects::movieFollowsTheVolume()
{
    EffectTestState t(8);
    t.state.volume = 50;
    QCOMPARE(t.step(0), leds({rgbColor(100, 50, 25), rgbColor(5, 10, 15), rgbColor(0, 127, 0), rgbColor(45, 0, 90),
                              rgbColor(127, 127, 127)}));
    t.state.volume = 0;
    QCOMPARE(t.step(1), QVector<COLORREF>(kDrivenLeds, black));

    // "Single" follows the sound like Gaming does instead of staying dark.
    EffectTestState singleMode(8, ColorModeSingle);
    singleMode.state.volume = 50;
    QCOMPARE(singleMode.step(0), allLeds(rgbColor(10, 20, 30)));

    EffectTestState off(8, ColorModeOff);
    off.state.volume = 100;
    off.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(off.step(0), leds({1, 2, 3, 4, 5}));
}

void TestEnvironmentEffects::gamingIsALevelMeter()
{
    EffectTestState t(9);
    t.setFrame({1, 2, 3, 4, 5});
    t.state.volume = 0;
    QCOMPARE(t.step(0), allLeds(black));
    t.state.volume = 45;
    QCOMPARE(t.step(1), leds({rgbColor(90, 45, 22), rgbColor(4, 9, 13), black, black, black}));
    t.state.volume = 100;
    QCOMPARE(t.step(2), QVector<COLORREF>(user, user + kDrivenLeds));

    // A level beyond 100 still lights only the five LEDs of the frame.
    t.module().softwareRGB[5] = rgbColor(7, 7, 7);
    t.state.volume = 1000;
    t.step(3);
    QCOMPARE(t.module().softwareRGB[5], rgbColor(7, 7, 7));
    t.state.volume = -40;
    QCOMPARE(t.step(4), allLeds(black));

    EffectTestState singleMode(9, ColorModeSingle);
    singleMode.state.volume = 60;
    QCOMPARE(singleMode.step(0), leds({rgbColor(12, 24, 36), rgbColor(12, 24, 36), rgbColor(12, 24, 36), black, black}));
}

void TestEnvironmentEffects::partyFlaresTwoLeds()
{
    EffectTestState t(10);
    t.state.volume = 30; // p = 1, q = 3
    QCOMPARE(t.step(0), leds({rgbColor(20, 10, 5), user[1], rgbColor(0, 25, 0), user[3], rgbColor(25, 25, 25)}));
    t.state.volume = 60; // p = 3, q = 0
    QCOMPARE(t.step(1), leds({user[0], rgbColor(1, 2, 3), rgbColor(0, 25, 0), user[3], rgbColor(25, 25, 25)}));
    // At full level p lies beyond the frame: only q = 2 flares.
    t.state.volume = 100;
    QCOMPARE(t.step(2), leds({rgbColor(20, 10, 5), rgbColor(1, 2, 3), user[2], rgbColor(9, 0, 18), rgbColor(25, 25, 25)}));

    EffectTestState singleMode(10, ColorModeSingle);
    singleMode.state.volume = 0; // p = 0, q = 2
    const COLORREF dim = rgbColor(2, 4, 6);
    QCOMPARE(singleMode.step(0), leds({single, dim, single, dim, dim}));

    EffectTestState off(10, ColorModeOff);
    off.setFrame({1, 2, 3, 4, 5});
    QCOMPARE(off.step(0), leds({1, 2, 3, 4, 5}));
}

void TestEnvironmentEffects::temperatureColours_data()
{
    QTest::addColumn<int>("celsius");
    QTest::addColumn<COLORREF>("colour");
    QTest::newRow("far below") << std::numeric_limits<int>::min() << COLORREF(0xFF0000);
    QTest::newRow("41 blue") << 41 << COLORREF(0xFF0000);
    QTest::newRow("42") << 42 << COLORREF(0xFF2A00);
    QTest::newRow("49") << 49 << COLORREF(0xAAFF00);
    QTest::newRow("53 green") << 53 << COLORREF(0x00FF00);
    QTest::newRow("59") << 59 << COLORREF(0x00FFFF);
    QTest::newRow("64") << 64 << COLORREF(0x002AFF);
    QTest::newRow("65 red") << 65 << COLORREF(0x0000FF);
    QTest::newRow("66 red") << 66 << COLORREF(0x0000FF);
    QTest::newRow("far above") << std::numeric_limits<int>::max() << COLORREF(0x0000FF);
}

void TestEnvironmentEffects::temperatureColours()
{
    QFETCH(int, celsius);
    QFETCH(COLORREF, colour);
    QCOMPARE(EnvironmentEffects::temperatureColour(celsius), colour);
}

void TestEnvironmentEffects::tempDriftsOneStepAtATime()
{
    EffectTestState t(14, ColorModeRGB, SpeedNormal);
    t.setFrame({0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000});
    t.state.cpuTemperature = 66;
    QCOMPARE(t.step(0), allLeds(rgbColor(1, 0, 254)));
    QCOMPARE(t.step(1), allLeds(rgbColor(1, 0, 254)));
    QCOMPARE(t.step(3), allLeds(rgbColor(2, 0, 253)));
    // LED 0 leads: the others follow its colour.
    t.setFrame({rgbColor(0, 128, 10), black, black, black, black});
    t.state.cpuTemperature = 53;
    QCOMPARE(t.step(6), allLeds(rgbColor(0, 129, 9)));
    t.setFrame({rgbColor(0, 255, 0)});
    QCOMPARE(t.step(9), allLeds(rgbColor(0, 255, 0)));
}

void TestEnvironmentEffects::screenMovie()
{
    EffectTestState t(30, ColorModeOff);
    t.state.deskRed = 200;
    t.state.deskGreen = 100;
    t.state.deskBlue = 50;
    t.state.volume = 0;
    QCOMPARE(t.step(0), allLeds(rgbColor(100, 50, 25)));
    t.state.volume = 50;
    QCOMPARE(t.step(1), allLeds(rgbColor(150, 75, 37)));
    t.state.volume = 100;
    QCOMPARE(t.step(2), allLeds(rgbColor(200, 100, 50)));
}

void TestEnvironmentEffects::sunFactor()
{
    EngineState state;
    setSun(state);
    QCOMPARE(EnvironmentEffects::sunFactor(state, kSunrise), 0.1f);
    QVERIFY(qAbs(EnvironmentEffects::sunFactor(state, kSunset) - 0.1f) < 1e-5f);
    QVERIFY(qAbs(EnvironmentEffects::sunFactor(state, kMidday) - 0.9f) < 1e-6f);
    QCOMPARE(EnvironmentEffects::sunFactor(state, kSunrise - 1), 0.05f);
    QCOMPARE(EnvironmentEffects::sunFactor(state, kSunset + 1), 0.05f);

    // No day known yet, or sunrise at sunset: night, never a division by zero.
    EngineState unknown;
    QCOMPARE(EnvironmentEffects::sunFactor(unknown, 0), 0.05f);
    QCOMPARE(EnvironmentEffects::sunFactor(unknown, kMidday), 0.05f);
    state.sunset = state.sunrise;
    state.dayLength = 0;
    QCOMPARE(EnvironmentEffects::sunFactor(state, kSunrise), 0.05f);
    state.dayLength = -5;
    QCOMPARE(EnvironmentEffects::sunFactor(state, kSunrise), 0.05f);
}

void TestEnvironmentEffects::clockWithoutWeatherIsDark()
{
    for (const int weather : {0, 7, -1}) {
        EffectTestState t(31);
        setSun(t.state);
        t.state.weatherType = weather;
        t.setFrame({1, 2, 3, 4, 5});
        QCOMPARE(t.step(0), allLeds(black));
    }
}

void TestEnvironmentEffects::clockRainDrops()
{
    for (const int weather : {1, 5}) {
        EffectTestState t(31);
        setSun(t.state); // midday: factor 0.9
        t.state.weatherType = weather;
        EffectState &effect = t.effect();
        setWork(effect, 0, 0, 30, 30);
        setWork(effect, 1, 0, 240, 240);
        setWork(effect, 2, 0, 255, 255);
        setWork(effect, 3, 0, 15, 15);
        const QVector<COLORREF> shown = t.step(0);
        QCOMPARE(work(effect, 0), rgbColor(0, 60, 60));
        QCOMPARE(work(effect, 1), rgbColor(0, 255, 255));
        QCOMPARE(work(effect, 2), rgbColor(0, 225, 225));
        QCOMPARE(work(effect, 3), black);
        QVERIFY(effect.workBlue[4] == 0 || effect.workBlue[4] == 30);
        QCOMPARE(shown.mid(0, 4), leds({rgbColor(0, 54, 54), rgbColor(0, 229, 229), rgbColor(0, 202, 202), black}));
    }
    // At night the same sky shows at 0.05.
    EffectClock::setFixed(43210, kNight);
    EffectTestState night(31);
    setSun(night.state);
    night.state.weatherType = 1;
    setWork(night.effect(), 0, 0, 30, 30);
    QCOMPARE(night.step(0).at(0), rgbColor(0, 3, 3));
    EffectClock::setFixed(43210, kMidday);
}

void TestEnvironmentEffects::clockClearSkyRadiates()
{
    EffectTestState t(31);
    setSun(t.state);
    t.state.weatherType = 2;
    setWork(t.effect(), 0, 255, 255, 0); // the reset's sun
    const QVector<COLORREF> first = t.step(0);
    const EffectState &effect = t.effect();
    // The sun moves out to the hidden entries; the middle LED wanders.
    QCOMPARE(work(effect, 11), rgbColor(255, 255, 0));
    const bool paler = work(effect, 2) == rgbColor(0, 0, 5);
    QVERIFY(paler || work(effect, 2) == rgbColor(10, 10, 0));
    QCOMPARE(first, leds({black, black, paler ? rgbColor(0, 0, 4) : rgbColor(9, 9, 0), black, black}));

    const COLORREF middle = work(effect, 2);
    t.step(1);
    QCOMPARE(work(effect, 10), rgbColor(255, 255, 0));
    QCOMPARE(work(effect, 1), middle);
    QCOMPARE(work(effect, 3), middle);

    // The middle stays within its bounds however the draws fall.
    for (int frame = 2; frame < 300; ++frame) {
        EffectClock::setFixed(frame * 17, kMidday);
        t.step(frame);
        QVERIFY(effect.workRed[2] >= 0 && effect.workRed[2] <= 255);
        QVERIFY(effect.workBlue[2] >= 0 && effect.workBlue[2] <= 125);
    }
    EffectClock::setFixed(43210, kMidday);
}

void TestEnvironmentEffects::clockThunderstorm()
{
    EffectTestState t(31);
    setSun(t.state); // midday: lightning at 1.1 - 0.9 = 0.2
    t.state.weatherType = 3;
    EffectState &effect = t.effect();
    setWork(effect, 0, 100, 100, 100); // ready to flash
    setWork(effect, 1, 255, 255, 255); // flashed: goes out
    setWork(effect, 2, 10, 10, 10);    // glowing: rises
    setWork(effect, 3, 0, 100, 100);   // not all in the flash range: goes out
    const QVector<COLORREF> shown = t.step(0);
    for (int *channel : {&effect.workRed[0], &effect.workGreen[0], &effect.workBlue[0]})
        QVERIFY(*channel >= 155 && *channel <= 255);
    QCOMPARE(shown.at(0), rgbColor(int(effect.workRed[0] * (1.1 - 0.9f)), int(effect.workGreen[0] * (1.1 - 0.9f)),
                                   int(effect.workBlue[0] * (1.1 - 0.9f))));
    QVERIFY(effect.workRed[1] < 20 && work(effect, 1) == rgbColor(effect.workRed[1], effect.workRed[1], effect.workRed[1]));
    QVERIFY(effect.workRed[2] >= 13 && effect.workRed[2] <= 27);
    QCOMPARE(work(effect, 2), rgbColor(effect.workRed[2], effect.workRed[2], effect.workRed[2]));
    QVERIFY(effect.workRed[3] < 20);

    // A dark sky sparks now and then and every spark builds up to a flash.
    EffectTestState storm(31);
    setSun(storm.state);
    storm.state.weatherType = 3;
    EffectClock::setFixed(43210, kNight);
    int flashes = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        EffectClock::setFixed(frame * 3, kNight);
        const QVector<COLORREF> shown = storm.step(frame);
        flashes += redOf(shown.at(0)) > 150; // night: 1.05
    }
    QVERIFY(flashes > 0);
    EffectClock::setFixed(43210, kMidday);
}

void TestEnvironmentEffects::clockCloudsDrift()
{
    EffectTestState t(31);
    setSun(t.state);
    t.state.weatherType = 4;
    for (int k = 0; k < kDrivenLeds; ++k)
        setWork(t.effect(), k, 60, 60, 60);
    t.setFrame({1, 2, 3, 4, 5});
    // Odd frames leave everything as it is.
    QCOMPARE(t.step(1), leds({1, 2, 3, 4, 5}));
    QCOMPARE(work(t.effect(), 2), rgbColor(60, 60, 60));
    const QVector<COLORREF> shown = t.step(2);
    const COLORREF grey = rgbColor(54, 54, 54);
    QVERIFY(shown == leds({grey, grey, rgbColor(45, 45, 45), grey, grey})
            || shown == leds({grey, grey, rgbColor(63, 63, 63), grey, grey}));
    for (int frame = 4; frame < 400; frame += 2) {
        EffectClock::setFixed(frame * 5, kMidday);
        t.step(frame);
        QVERIFY(t.effect().workRed[2] >= 10 && t.effect().workRed[2] <= 125);
    }
    EffectClock::setFixed(43210, kMidday);
}

void TestEnvironmentEffects::clockSnowFlakes()
{
    EffectTestState t(31);
    setSun(t.state);
    t.state.weatherType = 6;
    EffectState &effect = t.effect();
    setWork(effect, 0, 10, 10, 10);
    setWork(effect, 1, 250, 250, 250);
    setWork(effect, 2, 255, 255, 255);
    setWork(effect, 3, 15, 15, 15);
    const QVector<COLORREF> shown = t.step(0);
    QCOMPARE(work(effect, 0), rgbColor(20, 20, 20));
    QCOMPARE(work(effect, 1), rgbColor(255, 255, 255));
    QCOMPARE(work(effect, 2), rgbColor(245, 245, 245));
    QCOMPARE(work(effect, 3), black);
    QVERIFY(effect.workRed[4] == 0 || effect.workRed[4] == 10);
    QCOMPARE(shown.mid(0, 4), leds({rgbColor(18, 18, 18), rgbColor(229, 229, 229), rgbColor(220, 220, 220), black}));
}

void TestEnvironmentEffects::skiesSurviveWorkValuesAtTheEnds()
{
    // Work values that a fault left at the ends of their type never overflow in any sky
    // (the sanitizers watch this run).
    for (const int weather : {1, 2, 3, 4, 5, 6}) {
        for (const int value : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
            EffectTestState t(31);
            setSun(t.state);
            t.state.weatherType = weather;
            for (int k = 0; k < kLedSlots; ++k)
                setWork(t.effect(), k, value, value, value);
            for (int frame = 0; frame < 4; ++frame)
                t.step(2 * frame);
        }
    }
}

QTEST_GUILESS_MAIN(TestEnvironmentEffects)
#include "tst_environment.moc"
