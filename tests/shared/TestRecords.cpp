#include "HWData.h"
#include "LightingMetaTypes.h"

#include <QtTest>

#include <cstring>
#include <limits>

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void newRecordIsZero();
    void resetSetsDocumentedDefaults();
    void resetKeepsFieldsWithoutDefault();
    void colourChannels();
    void settingPackRoundTrip_data();
    void settingPackRoundTrip();
    void settingPackLayout();
    void settingUnpackReadsAnyNonZeroByte();
    void freshTimestamp_data();
    void freshTimestamp();
    void languageCodes();
    void textFields();
    void metaTypesTravelInVariants();
    void readerReadingsLeaveTheRestAlone();
};

void TestRecords::newRecordIsZero()
{
    const HWData data = makeZeroHWData();
    for (const MemoryModuleData &module : data.memoryData)
        QCOMPARE(module.ledNum, 0);
    QCOMPARE(data.dataTimestamp, 0);
    QCOMPARE(data.memoryCount, 0);
}

void TestRecords::resetSetsDocumentedDefaults()
{
    HWData data = makeZeroHWData();
    std::memset(&data, 0x5A, sizeof data);
    data.reset();

    QCOMPARE(data.memoryCount, -1);
    QCOMPARE(data.cpuTemperature, -1);
    QCOMPARE(data.clock, -1.0);
    QCOMPARE(data.physicalMemoryLoad, -1.0);
    QCOMPARE(QByteArray(data.memoryInfoText), QByteArray("N/A"));
    QCOMPARE(data.dataTimestamp, 0);
    QCOMPARE(data.notiEvent.type, -1);
    QCOMPARE(data.notiEvent.loadingOn, false);
    QCOMPARE(data.notiEvent.loadingColor, COLORREF(255));
    QCOMPARE(data.notiEvent.shutdownCPUUnit, 0);
    QCOMPARE(data.settingData.language, 0);
    QCOMPARE(data.settingData.isAutoUpdate, true);
    QCOMPARE(data.settingData.isAutoRun, false);
    QCOMPARE(data.settingData.isCurrentLocation, false);

    const COLORREF pattern[kDrivenLeds] = {rgbColor(255, 0, 0), rgbColor(216, 255, 0), rgbColor(0, 255, 59),
                                           rgbColor(0, 98, 255), rgbColor(167, 0, 255)};
    for (int p = 0; p < kModuleCount; ++p) {
        const MemoryModuleData &m = data.memoryData[p];
        QCOMPARE(data.memoryIndex[p], -1);
        QCOMPARE(m.memorySlot, -1);
        QCOMPARE(m.slotSequence, p);
        QCOMPARE(m.temperature, -1);
        QCOMPARE(m.ledNum, -1);
        QCOMPARE(m.turnOff, false);
        QCOMPARE(m.lightMode, 5);
        QCOMPARE(m.colorMode, 0);
        QCOMPARE(m.lightSpeed, 2);
        QCOMPARE(QByteArray(m.manufacturer), QByteArray("N/A"));
        QCOMPARE(QByteArray(m.partNumber), QByteArray("N/A"));
        QCOMPARE(m.singleRGB, rgbColor(255, 0, 0));
        QCOMPARE(m.singleBright, 1.0f);
        for (int k = 0; k < kLedSlots; ++k) {
            QCOMPARE(m.rgb[k], pattern[k % kDrivenLeds]);
            QCOMPARE(m.softwareRGB[k], m.rgb[k]);
            QCOMPARE(m.bright[k], 1.0f);
        }
        QCOMPARE(m.rgb[10], rgbColor(255, 0, 0));
        QCOMPARE(m.rgb[11], rgbColor(216, 255, 0));
    }
}

void TestRecords::resetKeepsFieldsWithoutDefault()
{
    HWData data = makeZeroHWData();
    data.slotCount = 8;
    data.selectProfile = 3;
    setText(data.chipset, "x299");
    data.notiEvent.fanSpeedUnit = 1;
    data.reset();
    QCOMPARE(data.slotCount, 8);
    QCOMPARE(data.selectProfile, 3);
    QCOMPARE(QByteArray(data.chipset), QByteArray("x299"));
    QCOMPARE(data.notiEvent.fanSpeedUnit, 1);
}

void TestRecords::colourChannels()
{
    const COLORREF red = 0x0000FF;
    QCOMPARE(redOf(red), 255);
    QCOMPARE(greenOf(red), 0);
    QCOMPARE(blueOf(red), 0);
    QCOMPARE(rgbColor(1, 2, 3), COLORREF(0x030201));
    QCOMPARE(rgbColor(300, -1, 0), COLORREF(0x00FF2C));
}

void TestRecords::settingPackRoundTrip_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<bool>("autoRun");
    QTest::addColumn<bool>("location");
    QTest::newRow("defaults") << 0 << true << false << false;
    QTest::newRow("all on") << 9 << true << true << true;
    QTest::newRow("location only") << 3 << false << false << true;
    QTest::newRow("negative language") << -1 << false << true << false;
}

void TestRecords::settingPackRoundTrip()
{
    QFETCH(int, language);
    QFETCH(bool, autoUpdate);
    QFETCH(bool, autoRun);
    QFETCH(bool, location);
    const SettingData in{language, autoUpdate, autoRun, location};
    const SettingData out = SettingData::unpack(in.pack());
    QCOMPARE(out.language, language);
    QCOMPARE(out.isAutoUpdate, autoUpdate);
    QCOMPARE(out.isAutoRun, autoRun);
    QCOMPARE(out.isCurrentLocation, location);
}

void TestRecords::settingPackLayout()
{
    const SettingData location{0, false, false, true};
    QCOMPARE(location.pack(), std::uint64_t(1) << 48);
    const SettingData all{-1, true, true, true};
    QCOMPARE(all.pack(), std::uint64_t(0x00010101FFFFFFFFull));
    QCOMPARE(all.pack() >> 56, std::uint64_t(0));
}

void TestRecords::settingUnpackReadsAnyNonZeroByte()
{
    const SettingData data = SettingData::unpack(0xFF02008000000007ull);
    QCOMPARE(data.language, 7);
    QCOMPARE(data.isAutoUpdate, true);  // byte 0x80
    QCOMPARE(data.isAutoRun, false);    // byte 0x00
    QCOMPARE(data.isCurrentLocation, true); // byte 0x02
    // Packing again yields canonical flags and clears the top byte.
    QCOMPARE(data.pack(), 0x0001000100000007ull);
}

void TestRecords::freshTimestamp_data()
{
    QTest::addColumn<qint64>("stamp");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<bool>("fresh");
    const qint64 now = 1700000000;
    QTest::newRow("just stamped") << now << now << true;
    QTest::newRow("9 s old") << now - 9 << now << true;
    QTest::newRow("10 s old") << now - 10 << now << false;
    QTest::newRow("1 s in the future") << now + 1 << now << false;
    QTest::newRow("never stamped") << qint64(0) << now << false;
    // After 2038 the stamp wraps to a negative int32; the age still counts.
    const qint64 late = qint64(std::numeric_limits<std::int32_t>::max()) + 5;
    QTest::newRow("after 2038") << qint64(std::int32_t(std::uint32_t(late - 3))) << late << true;
}

void TestRecords::freshTimestamp()
{
    QFETCH(qint64, stamp);
    QFETCH(qint64, now);
    QFETCH(bool, fresh);
    QCOMPARE(isFreshTimestamp(std::int32_t(stamp), now), fresh);
}

void TestRecords::languageCodes()
{
    const char *const expected[] = {"en", "zh", "cn", "de", "fr", "jp", "th", "ru", "kr", "es"};
    for (int language = 0; language < LanguageCount; ++language)
        QCOMPARE(QByteArray(languageCode(language)), QByteArray(expected[language]));
    QVERIFY(!languageCode(-1));
    QVERIFY(!languageCode(LanguageCount));
}

void TestRecords::textFields()
{
    char field[kTextSize];
    const QByteArray longText(100, 'a');
    setText(field, longText.constData());
    QCOMPARE(textLength(field), std::size_t(kTextSize - 1));
    setText(field, nullptr);
    QCOMPARE(textLength(field), std::size_t(0));
    std::memset(field, 'b', sizeof field);
    QCOMPARE(textLength(field), std::size_t(kTextSize));
}

void TestRecords::metaTypesTravelInVariants()
{
    registerLightingMetaTypes();
    QVERIFY(QMetaType::type("HWData") != QMetaType::UnknownType);
    HWData data = makeZeroHWData();
    data.reset();
    data.memoryData[4].lightMode = 31;
    const QVariant variant = QVariant::fromValue(data);
    QCOMPARE(variant.value<HWData>().memoryData[4].lightMode, 31);
}

void TestRecords::readerReadingsLeaveTheRestAlone()
{
    HWData reader = makeZeroHWData();
    reader.reset();
    reader.memoryIndex[2] = 2;
    reader.memoryCount = 1;
    reader.slotCount = 8;
    reader.cpuTemperature = 55;
    reader.clock = 1600.0;
    reader.physicalMemoryLoad = 73.5;
    std::memset(reader.memoryInfoText, 'i', sizeof reader.memoryInfoText); // no terminator
    setText(reader.chipset, "x299");
    MemoryModuleData &module = reader.memoryData[2];
    module.memorySlot = 5;
    module.temperature = 41;
    setText(module.manufacturer, "Vandercrest");
    setText(module.partNumber, "VC-3200");
    setText(module.memoryType, "DDR4");
    setText(module.moduleText, "PC4-25600");
    module.memoryModuleSize = 8192;
    module.frequency = 1600.0;
    module.ledNum = 5;
    module.lightMode = 20;
    module.slotSequence = 6;
    module.rgb[0] = 0x123456;
    reader.selectProfile = 4;
    reader.settingData.language = 3;

    HWData fresh = makeZeroHWData();
    fresh.copyReaderReadings(reader);
    QCOMPARE(fresh.memoryIndex[2], 2);
    QCOMPARE(fresh.memoryIndex[0], -1);
    QCOMPARE(fresh.memoryCount, 1);
    QCOMPARE(fresh.slotCount, 8);
    QCOMPARE(fresh.cpuTemperature, 55);
    QCOMPARE(fresh.clock, 1600.0);
    QCOMPARE(fresh.physicalMemoryLoad, 73.5);
    QCOMPARE(textLength(fresh.memoryInfoText), std::size_t(kTextSize - 1));
    const MemoryModuleData &copied = fresh.memoryData[2];
    QCOMPARE(copied.memorySlot, 5);
    QCOMPARE(copied.temperature, 41);
    QCOMPARE(QByteArray(copied.manufacturer), QByteArray("Vandercrest"));
    QCOMPARE(QByteArray(copied.partNumber), QByteArray("VC-3200"));
    QCOMPARE(QByteArray(copied.memoryType), QByteArray("DDR4"));
    QCOMPARE(QByteArray(copied.moduleText), QByteArray("PC4-25600"));
    QCOMPARE(copied.memoryModuleSize, 8192);
    QCOMPARE(copied.frequency, 1600.0);
    // Not the reader's: they keep their construction value.
    QCOMPARE(textLength(fresh.chipset), std::size_t(0));
    QCOMPARE(copied.ledNum, 0);
    QCOMPARE(copied.lightMode, 0);
    QCOMPARE(copied.slotSequence, 0);
    QCOMPARE(copied.rgb[0], COLORREF(0));
    QCOMPARE(fresh.selectProfile, 0);
    QCOMPARE(fresh.settingData.language, 0);
    QCOMPARE(fresh.dataTimestamp, 0);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "TestRecords.moc"
