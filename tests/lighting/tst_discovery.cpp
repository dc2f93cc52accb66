#include "HalDescription.h"
#include "HalFixtures.h"
#include "Lighting_Control.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"

#include <QtTest>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const QString kFirst = QStringLiteral("{10000000-0000-0000-0000-000000000001}");
const QString kSecond = QStringLiteral("{20000000-0000-0000-0000-000000000002}");
const QString kThird = QStringLiteral("{30000000-0000-0000-0000-000000000003}");

QByteArray repeated(const QByteArray &piece, int times)
{
    QByteArray text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Elements nested `levels` deep, closed again.
QByteArray nested(int levels)
{
    return repeated("<a>", levels) + repeated("</a>", levels);
}

int scriptedObjectsAlive()
{
    int alive = 0;
    int calls = 0;
    HalFixtures::scriptedCounters(alive, calls);
    return alive;
}

} // namespace

class tst_discovery : public QObject
{
    Q_OBJECT

private slots:
    void integerConversion_data();
    void integerConversion();
    void descriptionFields();
    void descriptionRefusals_data();
    void descriptionRefusals();
    void descriptionBounds();

    void noServerFindsNothing();
    void fourVirtualModules();
    void rediscoveryGrowsDescriptionsNotLedTotals();
    void otherTypeServerPassedOver();
    void malformedEntriesPassedOver();
    void oddDescriptions();
    void ninthModuleRefused();
    void mixedTypesTakePositionsInAcceptanceOrder();
    void otherTypesDoNotUsePositions();
    void hostileDescriptionsSkipTheirDevice();
    void slowServerPassedOverThenTakenLate();
    void slowServerGivenBackWhenNotWanted();
};

void tst_discovery::integerConversion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("458752") << true << 458752;
    QTest::newRow("blanks and sign") << QByteArray("  \t+12") << true << 12;
    QTest::newRow("negative") << QByteArray(" -3") << true << -3;
    QTest::newRow("hex reads its leading 0") << QByteArray("0x70000") << true << 0;
    QTest::newRow("digits up to a non-digit") << QByteArray("12abc") << true << 12;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("word") << QByteArray("five") << false << 0;
    QTest::newRow("sign alone") << QByteArray("-") << false << 0;
    QTest::newRow("overflow") << QByteArray("99999999999") << false << 0;
}

void tst_discovery::integerConversion()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int> number = HalDescription::readInteger(text.constData());
    QCOMPARE(number.has_value(), valid);
    if (valid)
        QCOMPARE(*number, value);
}

void tst_discovery::descriptionFields()
{
    const QByteArray xml = "<anything><version>2.1</version><type> 458752</type>"
                           "<device><name>DIMM A</name><id>3</id><layout><led_count>5</led_count>"
                           "<size><width>5</width></size><led_name><led>a</led><led/><led>c</led></led_name></layout>"
                           "<supported_effect><effect><name>Direct</name><id>0</id><synchronizable>2</synchronizable></effect>"
                           "<effect><name>Rainbow</name><id>5</id><synchronizable>0</synchronizable></effect>"
                           "<effect><name>Bare</name></effect></supported_effect></device>"
                           "<device><name>second</name></device></anything>";
    QString error;
    const auto description = HalDescription::parse(xml, &error);
    QVERIFY2(description, qPrintable(error));
    QCOMPARE(description->version, QStringLiteral("2.1"));
    QCOMPARE(description->type, 458752);
    QCOMPARE(description->devices.size(), 2);
    const HalDeviceDescription &device = description->devices.first();
    QCOMPARE(device.name, QStringLiteral("DIMM A"));
    QCOMPARE(device.id, 3);
    QCOMPARE(device.led_count, 5);
    QCOMPARE(device.width, 5);
    QCOMPARE(device.height, 0);
    QCOMPARE(device.led_name, QStringList({"a", "", "c"}));
    QCOMPARE(device.supported_effect.size(), 3);
    QVERIFY(device.supported_effect.at(0).synchronizable);
    QVERIFY(!device.supported_effect.at(1).synchronizable);
    QCOMPARE(device.supported_effect.at(1).id, 5);
    QCOMPARE(device.supported_effect.at(2).id, 0);
    QCOMPARE(description->devices.at(1).led_count, 0);

    const auto bare = HalDescription::parse("<hal><type>0x70000</type></hal>");
    QVERIFY(bare);
    QCOMPARE(bare->type, 0);
    QVERIFY(bare->devices.isEmpty());
    QCOMPARE(bare->version, QString());
}

void tst_discovery::descriptionRefusals_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("not XML") << QByteArray("<hal><type>458752</type>");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("type word") << QByteArray("<hal><type>memory</type></hal>");
    QTest::newRow("type empty") << QByteArray("<hal><type></type></hal>");
    QTest::newRow("led_count word") << QByteArray(
        "<hal><type>458752</type><device><layout><led_count>five</led_count></layout></device></hal>");
    QTest::newRow("effect id word") << QByteArray(
        "<hal><type>458752</type><device><supported_effect><effect><id>x</id></effect></supported_effect></device></hal>");
}

void tst_discovery::descriptionRefusals()
{
    QFETCH(QByteArray, xml);
    QString error;
    QVERIFY(!HalDescription::parse(xml, &error));
    QVERIFY(!error.isEmpty());
}

void tst_discovery::descriptionBounds()
{
    const QByteArray real = HalFixtures::memory(5).toUtf8();
    QVERIFY(HalDescription::parse(real));
    QVERIFY(HalDescription::parse("<hal>" + nested(HalDescription::kMaxDepth - 1) + "</hal>"));
    // Markup that cannot nest does not count: comments, CDATA, declarations, self-closed.
    QVERIFY(HalDescription::parse("<?xml version=\"1.0\"?><!-- " + repeated("<a>", 100) + " --><hal><x><![CDATA["
                                  + repeated("<a>", 100) + "]]></x>" + repeated("<e a='1'/>", 100) + "</hal>"));

    QString error;
    QVERIFY(!HalDescription::parse(nested(5000), &error));
    QVERIFY2(error.contains("nested"), qPrintable(error));
    QVERIFY(!HalDescription::parse("<hal>" + nested(HalDescription::kMaxDepth) + "</hal>"));
    // A '>' or "</" inside a quoted value neither ends a tag nor closes an element.
    for (const QByteArray &piece : {QByteArray("<a x=\">\" y=\"</b>\">"), QByteArray("<a x='/>'>"), QByteArray("<a>/>")}) {
        QVERIFY(!HalDescription::parse(repeated(piece, 2000), &error));
        QVERIFY2(error.contains("nested"), qPrintable(error));
    }
    // Large but flat: refused on size alone, before any parsing.
    const QByteArray padded = "<hal><type>458752</type>" + repeated("<led>x</led>", 10000) + "</hal>";
    QVERIFY(!HalDescription::parse(padded, &error));
    QVERIFY2(error.contains("bytes"), qPrintable(error));
}

void tst_discovery::noServerFindsNothing()
{
    TestEnvironment env;
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 0);
    QVERIFY(engine.devicePositions().isEmpty());
    QCOMPARE(engine.state().totalLedNum, 0);
    QSignalSpy spy(&engine, &Lighting_Control::sendLedNum);
    engine.getMemoryLedNum();
    QCOMPARE(spy.size(), 8);
    for (int m = 0; m < 8; ++m)
        QCOMPARE(spy.at(m), QVariantList({m, 0}));
}

void tst_discovery::fourVirtualModules()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kFirst, 4, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 4);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2, 3}));
    const EngineState state = engine.state();
    QCOMPARE(state.totalLedNum, 20);
    for (int m = 0; m < 8; ++m) {
        QCOMPARE(state.memoryData[m].ledNum, m < 4 ? 5 : 0);
        for (int k = 0; k < 12; ++k)
            QCOMPARE(state.memoryData[m].rgb[k], COLORREF(m < 4 && k < 5 ? 255 : 0));
    }
    QCOMPARE(engine.descriptions().size(), 4);
    QCOMPARE(VirtualHalState::read(kFirst)->objectsAlive, qint64(1));
}

void tst_discovery::rediscoveryGrowsDescriptionsNotLedTotals()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kFirst, 2, 3));
    {
        Lighting_Control engine;
        QCOMPARE(engine.setupMemory(), 2);
        engine.setRGB(0, std::array<COLORREF, 5>{1, 2, 3, 4, 5}.data(), std::array<float, 5>{}.data(), 0, 0, 5);
        QCOMPARE(engine.setupMemory(), 2);
        const EngineState state = engine.state();
        QCOMPARE(engine.descriptions().size(), 4);
        QCOMPARE(state.totalLedNum, 6);
        // The first LEDs become pure red again; the others keep the user's colours.
        QCOMPARE(state.memoryData[0].rgb[0], COLORREF(255));
        QCOMPARE(state.memoryData[0].rgb[2], COLORREF(255));
        QCOMPARE(state.memoryData[0].rgb[3], COLORREF(4));
        // The object of the first discovery went back when the second replaced it.
        QCOMPARE(VirtualHalState::read(kFirst)->objectsAlive, qint64(1));
    }
    QCOMPARE(VirtualHalState::read(kFirst)->objectsAlive, qint64(0));
}

void tst_discovery::otherTypeServerPassedOver()
{
    TestEnvironment env;
    // Sorted first: two keyboards; then the virtual modules.
    QVERIFY(HalFixtures::registerScripted(kFirst, {HalFixtures::description("65536", "5"),
                                                   HalFixtures::description("65536", "5")}));
    QVERIFY(HalFixtures::registerVirtual(kSecond, 3, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 3);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2}));
    QCOMPARE(engine.state().totalLedNum, 15);
    QCOMPARE(engine.descriptions().size(), 5);
    int alive = 0;
    int calls = 0;
    HalFixtures::scriptedCounters(alive, calls);
    QCOMPARE(alive, 0);
}

void tst_discovery::malformedEntriesPassedOver()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerEntry(QStringLiteral("{00000000-not-a-clsid}"), HalFixtures::virtualServer()));
    QVERIFY(HalFixtures::registerEntry(QStringLiteral("{0A000000-0000-0000-0000-000000000000}"),
                                       env.root() + QStringLiteral("/missing.so")));
    // The scripted server has no folder for this id: creation fails.
    QVERIFY(HalFixtures::registerEntry(QStringLiteral("{0B000000-0000-0000-0000-000000000000}"),
                                       HalFixtures::scriptedServer()));
    QVERIFY(HalFixtures::registerScripted(QStringLiteral("{0C000000-0000-0000-0000-000000000000}"), {}));
    QVERIFY(HalFixtures::registerVirtual(kFirst, 2, 4));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 2);
    QCOMPARE(engine.state().totalLedNum, 8);
}

void tst_discovery::oddDescriptions()
{
    TestEnvironment env;
    const QStringList descriptions = {
        HalFixtures::memory(13),                                         // clamped to 12
        QStringLiteral("<hal><type>458752</type></hal>"),               // no device: 0 LEDs
        HalFixtures::description(QStringLiteral("0x70000"), "5"),       // reads 0: not a module
        HalFixtures::description(QStringLiteral("458752"), "many"),     // malformed: refused
        QStringLiteral("<hal><type>458752</type><device>"),            // broken XML: refused
        HalFixtures::description(QStringLiteral(" +458752"), " 4"),     // blanks and sign
        HalFixtures::memory(-2),                                        // no negative count
    };
    QVERIFY(HalFixtures::registerScripted(kFirst, descriptions));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 7);
    // The accepted devices (HAL indices 0, 1, 5, 6) take positions 0 to 3 in that order.
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2, 3}));
    const EngineState state = engine.state();
    QCOMPARE(state.memoryData[0].ledNum, 12);
    QCOMPARE(state.memoryData[1].ledNum, 0);
    QCOMPARE(state.memoryData[2].ledNum, 4);
    QCOMPARE(state.memoryData[3].ledNum, 0);
    for (int m = 4; m < 8; ++m)
        QCOMPARE(state.memoryData[m].ledNum, 0);
    QCOMPARE(state.totalLedNum, 16);
    for (int k = 0; k < 12; ++k)
        QCOMPARE(state.memoryData[0].rgb[k], COLORREF(255));
    QCOMPARE(state.memoryData[2].rgb[3], COLORREF(255));
    QCOMPARE(state.memoryData[2].rgb[4], COLORREF(0));
    QCOMPARE(engine.descriptions().size(), 5);
}

void tst_discovery::ninthModuleRefused()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerVirtual(kThird, 9, 5));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 9);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(engine.state().totalLedNum, 40);
    engine.sendCmd();
    const auto published = VirtualHalState::read(kThird);
    QVERIFY(published);
    QCOMPARE(published->devices.at(7).colourCalls, 1ull);
    QCOMPARE(published->devices.at(8).colourCalls, 0ull);
}

void tst_discovery::mixedTypesTakePositionsInAcceptanceOrder()
{
    TestEnvironment env;
    // A keyboard first and another between the modules: the three modules are positions 0 to 2.
    QVERIFY(HalFixtures::registerVirtual(kFirst, 5, 5, {{0, 65536, 5}, {2, 65536, 5}, {3, 458752, 3}}));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 5);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2}));
    const EngineState state = engine.state();
    QCOMPARE(state.memoryData[0].ledNum, 5);
    QCOMPARE(state.memoryData[1].ledNum, 3);
    QCOMPARE(state.memoryData[2].ledNum, 5);
    QCOMPARE(state.memoryData[3].ledNum, 0);
    QCOMPARE(state.totalLedNum, 13);

    COLORREF first[5] = {0x10, 0x20, 0x30, 0x40, 0x50};
    COLORREF second[5] = {0x11, 0x21, 0x31, 0x41, 0x51};
    float bright[5] = {1, 1, 1, 1, 1};
    engine.setRGB(0, first, bright, 0, 0, 5);
    engine.setRGB(1, second, bright, 0, 0, 5);
    engine.sendCmd();
    // Device list entry i drives position i: HAL device 1 shows position 0, device 3 position 1.
    const auto published = VirtualHalState::read(kFirst);
    QVERIFY(published);
    QCOMPARE(published->devices.at(0).colourCalls, 0ull);
    QCOMPARE(published->devices.at(2).colourCalls, 0ull);
    QCOMPARE(published->devices.at(1).lastColours, QVector<quint32>({0x10, 0x20, 0x30, 0x40, 0x50}));
    QCOMPARE(published->devices.at(3).lastColours, QVector<quint32>({0x11, 0x21, 0x31, 0x41, 0x51}));
    QCOMPARE(published->devices.at(4).colourCalls, 1ull);
}

void tst_discovery::otherTypesDoNotUsePositions()
{
    TestEnvironment env;
    // Nine devices, the first of another type: all eight modules fit.
    QVERIFY(HalFixtures::registerVirtual(kThird, 9, 5, {{0, 65536, 5}}));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 9);
    QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(engine.state().totalLedNum, 40);
    engine.sendCmd();
    const auto published = VirtualHalState::read(kThird);
    QVERIFY(published);
    QCOMPARE(published->devices.at(0).colourCalls, 0ull);
    QCOMPARE(published->devices.at(8).colourCalls, 1ull);
}

void tst_discovery::hostileDescriptionsSkipTheirDevice()
{
    TestEnvironment env;
    const QString deep = QString::fromUtf8("<hal><type>458752</type>" + nested(50000) + "</hal>");
    const QString huge = QStringLiteral("<hal><type>458752</type><device><layout><led_count>5</led_count></layout>%1"
                                        "</device></hal>").arg(QString(2 * 1024 * 1024, QLatin1Char(' ')));
    QVERIFY(HalFixtures::registerScripted(kFirst, {deep, huge, HalFixtures::memory(4)}));
    Lighting_Control engine;
    QCOMPARE(engine.setupMemory(), 3);
    QCOMPARE(engine.devicePositions(), QVector<int>({0}));
    QCOMPARE(engine.state().memoryData[0].ledNum, 4);
    QCOMPARE(engine.descriptions().size(), 1);
}

void tst_discovery::slowServerPassedOverThenTakenLate()
{
    TestEnvironment env;
    // The first server answers each Enumerate in 3 s; the second at once.
    QVERIFY(HalFixtures::registerScripted(kFirst, {HalFixtures::memory(5), HalFixtures::memory(5)}));
    QVERIFY(HalFixtures::delayScriptedEnumerate(kFirst, 3000));
    QVERIFY(HalFixtures::registerVirtual(kSecond, 3, 4));
    {
        Lighting_Control engine;
        engine.setDiscoveryBounds(300ms, 5000ms);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(engine.setupMemory(), 3);
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2}));
        QCOMPARE(engine.state().totalLedNum, 12);
        // The slow server answers later; modules are in use, so it is given back.
        QTRY_COMPARE_WITH_TIMEOUT(scriptedObjectsAlive(), 0, 20000);
        QCOMPARE(engine.devicePositions(), QVector<int>({0, 1, 2}));
    }

    // Alone, the slow server is passed over at first and taken when it answers; the
    // frames start then and reach it.
    QFile::remove(HalFixtures::registryFolder() + "/" + kSecond);
    Lighting_Control engine;
    engine.setDiscoveryBounds(300ms, 600ms);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(engine.setupMemory(), 0);
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!engine.timersActive());
    QTRY_COMPARE_WITH_TIMEOUT(engine.devicePositions(), QVector<int>({0, 1}), 20000);
    QVERIFY(engine.timersActive());
    QCOMPARE(engine.state().totalLedNum, 10);
    int alive = 0;
    int calls = 0;
    QTRY_VERIFY_WITH_TIMEOUT((HalFixtures::scriptedCounters(alive, calls), calls > 2), 10000);
}

void tst_discovery::slowServerGivenBackWhenNotWanted()
{
    TestEnvironment env;
    QVERIFY(HalFixtures::registerScripted(kFirst, {HalFixtures::memory(5)}));
    QVERIFY(HalFixtures::delayScriptedEnumerate(kFirst, 1000));
    {
        // The engine is gone before the server answers.
        Lighting_Control engine;
        engine.setDiscoveryBounds(100ms, 200ms);
        QCOMPARE(engine.setupMemory(), 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(scriptedObjectsAlive(), 0, 20000);

    // A newer discovery started since: the late answer of the older one is not taken.
    Lighting_Control engine;
    engine.setDiscoveryBounds(100ms, 200ms);
    QCOMPARE(engine.setupMemory(), 0);
    QCOMPARE(engine.setupMemory(), 0);
    // The later one is taken; the object of the earlier one goes back.
    QTRY_COMPARE_WITH_TIMEOUT(engine.devicePositions(), QVector<int>({0}), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(scriptedObjectsAlive(), 1, 20000);
}

QTEST_GUILESS_MAIN(tst_discovery)
#include "tst_discovery.moc"
