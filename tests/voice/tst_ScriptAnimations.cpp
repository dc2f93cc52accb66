#include "TestEnvironment.h"

#include "HelloAMD.h"
#include "HelloASUSROG.h"
#include "HelloGigabyte.h"
#include "HelloIntel.h"
#include "HelloKV.h"
#include "HelloMSI.h"
#include "HelloNvidia.h"
#include "KVNumberOne.h"
#include "ScriptLibrary.h"
#include "WelcomeToCES.h"

#include <QMap>
#include <QMutex>
#include <QStringList>
#include <QtTest>

#include <climits>

namespace {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};
using Leds = QMap<int, Rgb>;

const Rgb kBlack{};
const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kWheel[12] = {{0, 127, 255}, {0, 255, 255}, {0, 255, 127}, {0, 255, 0},
                        {127, 255, 0}, {255, 255, 0}, {255, 127, 0}, {255, 0, 0},
                        {255, 0, 127}, {255, 0, 255}, {127, 0, 255}, {0, 0, 255}};

Leds allPositions(const Rgb &colour)
{
    Leds leds;
    for (int p = 0; p < 12; ++p)
        leds[p] = colour;
    return leds;
}

Leds wheel()
{
    Leds leds;
    for (int p = 0; p < 12; ++p)
        leds[p] = kWheel[p];
    return leds;
}

// Empty when every position shows its listed colour and every unlisted one shows rest.
QString mismatch(const QVector<ScriptStep> &steps, int index, const Leds &lit, const Rgb &rest = kBlack)
{
    if (index < 0 || index >= steps.size())
        return QStringLiteral("step %1 missing (list has %2)").arg(index).arg(steps.size());
    const ScriptStep &step = steps[index];
    for (int p = 0; p < 12; ++p) {
        const Rgb want = lit.value(p, rest);
        if (step.red[p] != want.r || step.green[p] != want.g || step.blue[p] != want.b)
            return QStringLiteral("step %1 LED %2: (%3, %4, %5), expected (%6, %7, %8)")
                .arg(index).arg(p).arg(step.red[p]).arg(step.green[p]).arg(step.blue[p])
                .arg(want.r).arg(want.g).arg(want.b);
    }
    return {};
}

QString mismatch(const ScriptStep &actual, const ScriptStep &expected, int index)
{
    for (int p = 0; p < 12; ++p) {
        if (actual.red[p] != expected.red[p] || actual.green[p] != expected.green[p]
            || actual.blue[p] != expected.blue[p] || actual.brightness[p] != expected.brightness[p])
            return QStringLiteral("step %1 LED %2: (%3, %4, %5) @%6, expected (%7, %8, %9) @%10")
                .arg(index).arg(p).arg(actual.red[p]).arg(actual.green[p]).arg(actual.blue[p])
                .arg(actual.brightness[p]).arg(expected.red[p]).arg(expected.green[p])
                .arg(expected.blue[p]).arg(expected.brightness[p]);
    }
    if (actual.tag != expected.tag)
        return QStringLiteral("step %1 tag %2").arg(index).arg(actual.tag);
    return {};
}

QString sameSteps(const QVector<ScriptStep> &actual, const QVector<ScriptStep> &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("%1 steps, expected %2").arg(actual.size()).arg(expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        const QString diff = mismatch(actual[i], expected[i], i);
        if (!diff.isEmpty())
            return diff;
    }
    return {};
}

// A macro because QVERIFY2 has to return from the test function itself.
#define CHECK_STEP(steps, index, ...)                                          \
    do {                                                                       \
        const QString diff = mismatch(steps, index, __VA_ARGS__);              \
        QVERIFY2(diff.isEmpty(), qPrintable(diff));                            \
    } while (false)

QVector<ScriptStep> stepsFor(int helloIndex)
{
    switch (helloIndex) {
    case 0: return HelloKV().userScriptList();
    case 1: return HelloIntel().userScriptList();
    case 2: return HelloAMD().userScriptList();
    case 3: return HelloNvidia().userScriptList();
    case 4: return HelloASUSROG().userScriptList();
    case 5: return HelloGigabyte().userScriptList();
    case 6: return HelloMSI().userScriptList();
    case 7: return WelcomeToCES().userScriptList();
    case 8: return KVNumberOne().userScriptList();
    default: return {};
    }
}

QMutex logMutex;
QStringList logLines;

void captureLog(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker lock(&logMutex);
    logLines.append(message);
}

QStringList takeLog()
{
    QMutexLocker lock(&logMutex);
    QStringList lines;
    lines.swap(logLines);
    return lines;
}

} // namespace

class ScriptAnimationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void stepCounts_data();
    void stepCounts();
    void helloIntelStepByStep();
    void helloIntelOnTheFiveLeds();
    void helloKVPhases();
    void helloKVLogsFirstPartLength();
    void helloNvidiaWalkersCometAndSpot();
    void helloASUSROGCometThenSpotContinues();
    void helloGigabyteCometMirrorAndFlashes();
    void helloMSISpotThenCometContinues();
    void helloAMDChaserCometsAndFades();
    void welcomeToCESHueCometAndBands();
    void kvNumberOneHighlightsMirrorsAndStacks();
    void cometLogsEveryMoveAndPosition();
    void factoryRefusesUnknownIndex_data();
    void factoryRefusesUnknownIndex();
    void showStepWritesFiveMaskedColours();
    void showStepHonoursSmallCountsAndNullFrame();

private:
    QtMessageHandler m_previousHandler = nullptr;
    TestEnvironment m_environment;
};

void ScriptAnimationsTest::initTestCase()
{
    m_previousHandler = qInstallMessageHandler(captureLog);
}

void ScriptAnimationsTest::cleanupTestCase()
{
    qInstallMessageHandler(m_previousHandler);
}

void ScriptAnimationsTest::stepCounts_data()
{
    QTest::addColumn<int>("helloIndex");
    QTest::addColumn<int>("count");
    QTest::newRow("HelloKV") << 0 << 216;
    QTest::newRow("HelloIntel") << 1 << 70;
    QTest::newRow("HelloAMD") << 2 << 173;
    QTest::newRow("HelloNvidia") << 3 << 86;
    QTest::newRow("HelloASUSROG") << 4 << 96;
    QTest::newRow("HelloGigabyte") << 5 << 48;
    QTest::newRow("HelloMSI") << 6 << 120;
    QTest::newRow("WelcomeToCES") << 7 << 60;
    QTest::newRow("KVNumberOne") << 8 << 102;
}

void ScriptAnimationsTest::stepCounts()
{
    QFETCH(int, helloIndex);
    QFETCH(int, count);

    const QVector<ScriptStep> direct = stepsFor(helloIndex);
    QCOMPARE(direct.size(), count);

    // The factory hands out exactly the animation's own list.
    const QString diff = sameSteps(ScriptLibrary::build(helloIndex), direct);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    for (int i = 0; i < direct.size(); ++i) {
        const ScriptStep &step = direct[i];
        QCOMPARE(step.tag, -1);
        for (int p = 0; p < 12; ++p) {
            for (int value : {step.red[p], step.green[p], step.blue[p]})
                QVERIFY2(value >= 0 && value <= 255, qPrintable(QStringLiteral("step %1 LED %2").arg(i).arg(p)));
            QVERIFY(step.brightness[p] == 0 || step.brightness[p] == 100);
        }
    }
    takeLog();
}

void ScriptAnimationsTest::helloIntelStepByStep()
{
    // Built independently from the published sequence.
    QVector<ScriptStep> expected;
    const auto cleared = [] {
        ScriptStep step;
        for (int p = 0; p < 12; ++p)
            step.brightness[p] = 100;
        return step;
    };
    const auto set = [](ScriptStep &step, int p, int r, int g, int b) {
        step.red[p] = r;
        step.green[p] = g;
        step.blue[p] = b;
        step.brightness[p] = 100;
    };
    const auto allBlue = [&](int v) {
        ScriptStep step = cleared();
        for (int p = 0; p < 12; ++p)
            set(step, p, 0, 0, v);
        return step;
    };
    for (int i = 0; i < 12; ++i) {
        ScriptStep step = cleared();
        if (i == 0 || i == 5) {
            set(step, i, 127, 127, 255);
        } else {
            set(step, i, 0, 0, 255);
            set(step, 11 - i, 255, 255, 255);
        }
        expected << step << cleared();
    }
    for (int v = 0; v <= 228; v += 12)
        expected << allBlue(v);
    for (int v = 240; v >= 12; v -= 12)
        expected << allBlue(v);
    for (int n = 0; n < 6; ++n)
        expected << allBlue(255);
    QCOMPARE(expected.size(), 70);

    const QString diff = sameSteps(HelloIntel().userScriptList(), expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void ScriptAnimationsTest::helloIntelOnTheFiveLeds()
{
    // What a module shows during the walk: a blue LED up (pale at LED 0), four dark
    // steps, then a white LED down, every lit step followed by a dark one.
    const COLORREF pale = 0xFF7F7F, blue = 0xFF0000, white = 0xFFFFFF;
    const QVector<QVector<COLORREF>> lit = {
        {pale, 0, 0, 0, 0}, {0, blue, 0, 0, 0}, {0, 0, blue, 0, 0}, {0, 0, 0, blue, 0},
        {0, 0, 0, 0, blue}, {0, 0, 0, 0, 0},    {0, 0, 0, 0, 0},    {0, 0, 0, 0, white},
        {0, 0, 0, white, 0}, {0, 0, white, 0, 0}, {0, white, 0, 0, 0}, {white, 0, 0, 0, 0}};
    const QVector<ScriptStep> steps = ScriptLibrary::build(1);
    for (int s = 0; s < 24; ++s) {
        COLORREF frame[5] = {1, 1, 1, 1, 1};
        ScriptLibrary::showStep(steps[s], frame, 5);
        const QVector<COLORREF> want = s % 2 ? QVector<COLORREF>(5, 0) : lit[s / 2];
        for (int k = 0; k < 5; ++k)
            QVERIFY2(frame[k] == want[k], qPrintable(QStringLiteral("step %1 LED %2: %3").arg(s).arg(k).arg(frame[k], 0, 16)));
    }
    COLORREF last[5] = {};
    ScriptLibrary::showStep(steps.last(), last, 5);
    for (COLORREF colour : last)
        QCOMPARE(colour, COLORREF(0xFF0000));
}

void ScriptAnimationsTest::helloKVPhases()
{
    const QVector<ScriptStep> s = HelloKV().userScriptList();
    const auto grey = [](int v) { return allPositions({v, v, v}); };
    // White breathing: 13 up, 13 down, twice 7 + 7, three times 3 + 3.
    CHECK_STEP(s, 0, grey(0));
    CHECK_STEP(s, 12, grey(228));
    CHECK_STEP(s, 13, grey(247));
    CHECK_STEP(s, 25, grey(19));
    CHECK_STEP(s, 32, grey(216));
    CHECK_STEP(s, 33, grey(252));
    CHECK_STEP(s, 53, grey(36));
    CHECK_STEP(s, 57, grey(255));
    CHECK_STEP(s, 71, grey(85));
    // Red comet entering and leaving; its black positions carry brightness 0.
    CHECK_STEP(s, 72, {{0, kRed}});
    QCOMPARE(s[72].brightness[1], 0);
    CHECK_STEP(s, 74, {{2, kRed}, {1, {76, 0, 0}}, {0, {25, 0, 0}}});
    CHECK_STEP(s, 84, {{11, {76, 0, 0}}, {10, {25, 0, 0}}});
    CHECK_STEP(s, 85, {{11, {25, 0, 0}}});
    // Mirror walk without dark steps.
    CHECK_STEP(s, 86, {{0, {255, 127, 127}}});
    CHECK_STEP(s, 87, {{1, kRed}, {10, kWhite}});
    CHECK_STEP(s, 91, {{5, {255, 127, 127}}});
    CHECK_STEP(s, 97, {{11, kRed}, {0, kWhite}});
    // Walkers in each position's own hue.
    CHECK_STEP(s, 98, {{0, kWheel[0]}});
    CHECK_STEP(s, 99, {});
    CHECK_STEP(s, 104, {{3, kWheel[3]}});
    CHECK_STEP(s, 120, {{11, kWheel[11]}});
    CHECK_STEP(s, 122, {{11, kWheel[11]}});
    CHECK_STEP(s, 144, {{0, kWheel[0]}});
    CHECK_STEP(s, 145, {});
    // Flashes: 3 dark, 2 wheel, 3 dark, 2 wheel, 2 dark, 4 red, 2 dark, 4 white.
    const QVector<Leds> flashes = {{}, {}, {}, wheel(), wheel(), {}, {}, {}, wheel(), wheel(), {}, {},
                                   allPositions(kRed), allPositions(kRed), allPositions(kRed), allPositions(kRed),
                                   {}, {}, allPositions(kWhite), allPositions(kWhite), allPositions(kWhite),
                                   allPositions(kWhite)};
    for (int i = 0; i < flashes.size(); ++i)
        CHECK_STEP(s, 146 + i, flashes[i]);
    // Every other hue turning, each pattern twice.
    Leds odd, turnedOnce, turnedLast;
    for (int q = 0; q < 12; ++q) {
        if (q % 2)
            odd[q] = kWheel[q];
        else {
            turnedOnce[q] = kWheel[(q + 1) % 12];
            turnedLast[q] = kWheel[(q + 11) % 12];
        }
    }
    CHECK_STEP(s, 168, odd);
    CHECK_STEP(s, 169, odd);
    CHECK_STEP(s, 170, turnedOnce);
    CHECK_STEP(s, 171, turnedOnce);
    CHECK_STEP(s, 192, odd);
    CHECK_STEP(s, 215, turnedLast);
    takeLog();
}

void ScriptAnimationsTest::helloKVLogsFirstPartLength()
{
    takeLog();
    HelloKV animation;
    QVERIFY(takeLog().contains(QStringLiteral("First===userScriptList.count(): 72")));
}

void ScriptAnimationsTest::helloNvidiaWalkersCometAndSpot()
{
    const QVector<ScriptStep> s = HelloNvidia().userScriptList();
    CHECK_STEP(s, 0, {{0, kGreen}});
    CHECK_STEP(s, 1, {});
    CHECK_STEP(s, 22, {{11, kGreen}});
    CHECK_STEP(s, 24, {{11, kGreen}});
    CHECK_STEP(s, 46, {{0, kGreen}});
    CHECK_STEP(s, 47, {});
    CHECK_STEP(s, 48, {{0, kGreen}});
    CHECK_STEP(s, 50, {{2, kGreen}, {1, {0, 76, 0}}, {0, {0, 25, 0}}});
    CHECK_STEP(s, 61, {{11, {0, 25, 0}}});
    // Dark spot over green, starting afresh at position 0.
    CHECK_STEP(s, 62, {{1, kBlack}, {0, kBlack}}, kGreen);
    CHECK_STEP(s, 63, {{2, kBlack}, {1, kBlack}, {0, kBlack}}, kGreen);
    CHECK_STEP(s, 85, {{0, kBlack}, {11, kBlack}, {10, kBlack}}, kGreen);
    takeLog();
}

void ScriptAnimationsTest::helloASUSROGCometThenSpotContinues()
{
    const QVector<ScriptStep> s = HelloASUSROG().userScriptList();
    // At the first move the whole trail still sits on position 0: the dimmest level wins.
    CHECK_STEP(s, 0, {{1, kRed}, {0, {42, 0, 0}}}, kWhite);
    CHECK_STEP(s, 5, {{6, kRed}, {5, {212, 0, 0}}, {4, {170, 0, 0}}, {3, {127, 0, 0}}, {2, {85, 0, 0}},
                      {1, {42, 0, 0}}}, kWhite);
    CHECK_STEP(s, 23, {{0, kRed}, {11, {212, 0, 0}}, {10, {170, 0, 0}}, {9, {127, 0, 0}}, {8, {85, 0, 0}},
                       {7, {42, 0, 0}}}, kWhite);
    CHECK_STEP(s, 24, {{1, kBlack}, {0, kBlack}, {11, kBlack}}, kRed);
    CHECK_STEP(s, 47, {{0, kBlack}, {11, kBlack}, {10, kBlack}}, kRed);
    CHECK_STEP(s, 48, {{0, kRed}}, kWhite);
    CHECK_STEP(s, 49, {}, kWhite);
    CHECK_STEP(s, 70, {{11, kRed}}, kWhite);
    CHECK_STEP(s, 72, {{11, kRed}}, kWhite);
    CHECK_STEP(s, 94, {{0, kRed}}, kWhite);
    CHECK_STEP(s, 95, {}, kWhite);
    takeLog();
}

void ScriptAnimationsTest::helloGigabyteCometMirrorAndFlashes()
{
    const QVector<ScriptStep> s = HelloGigabyte().userScriptList();
    const Rgb orange{255, 97, 0};
    CHECK_STEP(s, 0, {{1, orange}, {0, {42, 16, 0}}});
    CHECK_STEP(s, 23, {{0, orange}, {11, {212, 80, 0}}, {10, {170, 64, 0}}, {9, {127, 48, 0}}, {8, {85, 32, 0}},
                       {7, {42, 16, 0}}});
    CHECK_STEP(s, 24, {{0, {127, 48, 127}}});
    CHECK_STEP(s, 25, {{1, orange}, {10, kBlue}});
    CHECK_STEP(s, 29, {{5, {127, 48, 127}}});
    CHECK_STEP(s, 35, {{11, orange}, {0, kBlue}});
    Leds flash;
    for (int p = 0; p < 12; ++p)
        flash[p] = p % 2 ? kBlue : Rgb{255, 95, 0};
    for (int round = 0; round < 3; ++round) {
        const int first = 36 + 4 * round;
        CHECK_STEP(s, first, {});
        CHECK_STEP(s, first + 1, {});
        CHECK_STEP(s, first + 2, flash);
        CHECK_STEP(s, first + 3, flash);
    }
    takeLog();
}

void ScriptAnimationsTest::helloMSISpotThenCometContinues()
{
    const QVector<ScriptStep> s = HelloMSI().userScriptList();
    CHECK_STEP(s, 0, {{1, kBlack}, {0, kBlack}}, kRed);
    CHECK_STEP(s, 23, {{0, kBlack}, {11, kBlack}, {10, kBlack}}, kRed);
    CHECK_STEP(s, 24, {{0, kRed}});
    CHECK_STEP(s, 25, {{1, kRed}, {10, kRed}});
    CHECK_STEP(s, 29, {{5, kRed}});
    CHECK_STEP(s, 35, {{11, kRed}, {0, kRed}});
    const auto red = [](int v) { return allPositions({v, 0, 0}); };
    CHECK_STEP(s, 36, red(0));
    CHECK_STEP(s, 48, red(228));
    CHECK_STEP(s, 49, red(156));
    CHECK_STEP(s, 61, red(12));
    CHECK_STEP(s, 62, red(0));
    CHECK_STEP(s, 87, red(12));
    CHECK_STEP(s, 88, {});
    QCOMPARE(s[88].brightness[0], 0);
    CHECK_STEP(s, 90, allPositions(kRed));
    CHECK_STEP(s, 93, {});
    CHECK_STEP(s, 95, allPositions(kRed));
    // The comet takes over the spot's head and three trail entries; trail entries 4 and 5
    // are still at 0, so position 0 ends in the dimmest level.
    CHECK_STEP(s, 96, {{1, kRed}, {0, {42, 0, 0}}, {11, {170, 0, 0}}, {10, {127, 0, 0}}, {9, {85, 0, 0}}});
    CHECK_STEP(s, 97, {{2, kRed}, {1, {212, 0, 0}}, {0, {170, 0, 0}}, {11, {127, 0, 0}}, {10, {85, 0, 0}},
                       {9, {42, 0, 0}}});
    CHECK_STEP(s, 119, {{0, kRed}, {11, {212, 0, 0}}, {10, {170, 0, 0}}, {9, {127, 0, 0}}, {8, {85, 0, 0}},
                        {7, {42, 0, 0}}});
    takeLog();
}

void ScriptAnimationsTest::helloAMDChaserCometsAndFades()
{
    const QVector<ScriptStep> s = HelloAMD().userScriptList();
    const Rgb orange{255, 95, 0};
    CHECK_STEP(s, 0, {});
    QCOMPARE(s[0].brightness[0], 0);
    Leds even, odd;
    for (int p = 0; p < 12; ++p)
        (p % 2 ? odd : even)[p] = orange;
    CHECK_STEP(s, 1, even);
    CHECK_STEP(s, 2, even);
    CHECK_STEP(s, 3, odd);
    CHECK_STEP(s, 48, odd);
    QCOMPARE(s[1].brightness[1], 0);
    QCOMPARE(s[1].brightness[0], 100);

    CHECK_STEP(s, 49, {{1, kGreen}, {0, {0, 42, 0}}});
    CHECK_STEP(s, 50, {});
    CHECK_STEP(s, 71, {{0, kGreen}, {11, {0, 212, 0}}, {10, {0, 170, 0}}, {9, {0, 127, 0}}, {8, {0, 85, 0}},
                       {7, {0, 42, 0}}});
    CHECK_STEP(s, 72, {});
    // The orange comet sets off afresh from position 0: its first step is the head at 1 over
    // the whole trail at 0, where the dimmest level wins, exactly as the green one began.
    CHECK_STEP(s, 73, {{1, orange}, {0, {42, 15, 0}}});
    CHECK_STEP(s, 74, {});
    CHECK_STEP(s, 75, {{2, orange}, {1, {212, 79, 0}}, {0, {42, 15, 0}}});
    CHECK_STEP(s, 95, {{0, orange}, {11, {212, 79, 0}}, {10, {170, 63, 0}}, {9, {127, 47, 0}}, {8, {85, 31, 0}},
                       {7, {42, 15, 0}}});
    CHECK_STEP(s, 96, {});

    CHECK_STEP(s, 97, {{0, {127, 175, 0}}});
    CHECK_STEP(s, 98, {{1, orange}, {10, kGreen}});
    CHECK_STEP(s, 109, {{0, {127, 175, 0}}});
    CHECK_STEP(s, 120, {{11, orange}, {0, kGreen}});

    const auto twoTone = [](int v, int w) {
        Leds leds;
        for (int p = 0; p < 12; ++p)
            leds[p] = p % 2 ? Rgb{v, w, 0} : Rgb{0, v, 0};
        return leds;
    };
    CHECK_STEP(s, 121, twoTone(0, 0));
    CHECK_STEP(s, 122, twoTone(19, 7));
    CHECK_STEP(s, 133, twoTone(228, 84));
    CHECK_STEP(s, 134, twoTone(156, 52));
    CHECK_STEP(s, 146, twoTone(12, 4));
    CHECK_STEP(s, 147, twoTone(0, 0));
    CHECK_STEP(s, 172, twoTone(12, 4));
    takeLog();
}

void ScriptAnimationsTest::welcomeToCESHueCometAndBands()
{
    const QVector<ScriptStep> s = WelcomeToCES().userScriptList();
    CHECK_STEP(s, 0, {{1, kWheel[1]}, {0, {0, 21, 42}}});
    CHECK_STEP(s, 5, {{6, kWheel[6]}, {5, {212, 212, 0}}, {4, {84, 170, 0}}, {3, {0, 127, 0}}, {2, {0, 85, 42}},
                      {1, {0, 42, 42}}});
    CHECK_STEP(s, 24, {{0, kRed}});
    CHECK_STEP(s, 28, {{0, kRed}, {1, kRed}, {2, kRed}, {3, kRed}, {4, kBlue}});
    Leds band;
    for (int p = 0; p < 12; ++p)
        band[p] = p < 4 ? kRed : p < 8 ? kBlue : kWhite;
    CHECK_STEP(s, 35, band);
    const auto turned = [&band](int step) {
        Leds leds;
        for (int p = 0; p < 12; ++p)
            leds[p] = band[11 - (step + p) % 12];
        return leds;
    };
    CHECK_STEP(s, 36, turned(0));
    CHECK_STEP(s, 36, {{0, kWhite}, {1, kWhite}, {2, kWhite}, {3, kWhite}, {4, kBlue}, {5, kBlue}, {6, kBlue},
                       {7, kBlue}, {8, kRed}, {9, kRed}, {10, kRed}, {11, kRed}});
    CHECK_STEP(s, 37, turned(1));
    CHECK_STEP(s, 59, turned(23));
    takeLog();
}

void ScriptAnimationsTest::kvNumberOneHighlightsMirrorsAndStacks()
{
    const QVector<ScriptStep> s = KVNumberOne().userScriptList();
    const auto tenth = [](int p) {
        return Rgb{int(kWheel[p].r * 0.1), int(kWheel[p].g * 0.1), int(kWheel[p].b * 0.1)};
    };
    Leds highlight0;
    for (int p = 0; p < 12; ++p)
        highlight0[p] = (p == 0 || p == 6) ? kWheel[p] : tenth(p);
    CHECK_STEP(s, 0, highlight0);
    CHECK_STEP(s, 0, {{0, kWheel[0]}, {1, {0, 25, 25}}, {2, {0, 25, 12}}, {3, {0, 25, 0}}, {4, {12, 25, 0}},
                      {5, {25, 25, 0}}, {6, kWheel[6]}, {7, {25, 0, 0}}, {8, {25, 0, 12}}, {9, {25, 0, 25}},
                      {10, {12, 0, 25}}, {11, {0, 0, 25}}});
    CHECK_STEP(s, 6, highlight0);

    CHECK_STEP(s, 12, {{0, kWheel[0]}, {11, kWheel[11]}});
    QCOMPARE(s[12].brightness[5], 0);
    CHECK_STEP(s, 17, {{5, kWheel[5]}, {6, kWheel[6]}});
    CHECK_STEP(s, 23, {{11, kWheel[11]}, {0, kWheel[0]}});

    CHECK_STEP(s, 24, {{11, kWheel[11]}});
    CHECK_STEP(s, 25, {{10, kWheel[10]}});
    CHECK_STEP(s, 35, {{0, kWheel[0]}});
    CHECK_STEP(s, 36, {{0, kWheel[0]}, {11, kWheel[11]}});
    CHECK_STEP(s, 46, {{0, kWheel[0]}, {1, kWheel[1]}});
    CHECK_STEP(s, 47, {{0, kWheel[0]}, {1, kWheel[1]}, {11, kWheel[11]}});
    CHECK_STEP(s, 101, wheel());
    takeLog();
}

void ScriptAnimationsTest::cometLogsEveryMoveAndPosition()
{
    takeLog();
    HelloGigabyte animation;
    const QStringList lines = takeLog();
    int moves = 0, positions = 0;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("jjjjj == ")))
            ++moves;
        else if (line.startsWith(QStringLiteral("rippleBody[")))
            ++positions;
    }
    // 24 comet steps, each moving five trail entries and drawing six positions.
    QCOMPARE(moves, 24 * 5);
    QCOMPARE(positions, 24 * 6);
}

void ScriptAnimationsTest::factoryRefusesUnknownIndex_data()
{
    QTest::addColumn<int>("helloIndex");
    QTest::newRow("-1") << -1;
    QTest::newRow("9") << 9;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
}

void ScriptAnimationsTest::factoryRefusesUnknownIndex()
{
    QFETCH(int, helloIndex);
    QVERIFY(ScriptLibrary::build(helloIndex).isEmpty());
}

void ScriptAnimationsTest::showStepWritesFiveMaskedColours()
{
    ScriptStep step;
    step.red[0] = 0x1FF;
    step.green[0] = -1;
    step.blue[0] = 0x100;
    step.red[1] = 1;
    step.green[2] = 2;
    step.blue[3] = 3;
    step.red[4] = 10;
    step.green[4] = 20;
    step.blue[4] = 30;
    for (int p = 0; p < 12; ++p)
        step.brightness[p] = 0; // never applied
    for (int p = 5; p < 12; ++p)
        step.red[p] = 200;

    COLORREF frame[12];
    std::fill(std::begin(frame), std::end(frame), COLORREF(0xDEADBEEF));
    ScriptLibrary::showStep(step, frame, 12);
    QCOMPARE(frame[0], COLORREF(0x00FFFF));
    QCOMPARE(frame[1], COLORREF(0x000001));
    QCOMPARE(frame[2], COLORREF(0x000200));
    QCOMPARE(frame[3], COLORREF(0x030000));
    QCOMPARE(frame[4], COLORREF(0x1E140A));
    for (int p = 5; p < 12; ++p)
        QCOMPARE(frame[p], COLORREF(0xDEADBEEF));
}

void ScriptAnimationsTest::showStepHonoursSmallCountsAndNullFrame()
{
    ScriptStep step;
    for (int p = 0; p < 12; ++p)
        step.red[p] = 255;

    COLORREF frame[5] = {7, 7, 7, 7, 7};
    ScriptLibrary::showStep(step, frame, 3);
    QCOMPARE(frame[2], COLORREF(0xFF));
    QCOMPARE(frame[3], COLORREF(7));

    COLORREF untouched[5] = {7, 7, 7, 7, 7};
    ScriptLibrary::showStep(step, untouched, 0);
    ScriptLibrary::showStep(step, untouched, -3);
    for (COLORREF colour : untouched)
        QCOMPARE(colour, COLORREF(7));

    ScriptLibrary::showStep(step, nullptr, 5);
}

QTEST_GUILESS_MAIN(ScriptAnimationsTest)
#include "tst_ScriptAnimations.moc"
