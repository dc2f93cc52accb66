#include "DebugFlags.h"
#include "IniFileGuard.h"
#include "Profile_RW.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <future>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

HWData defaults()
{
    HWData data = makeZeroHWData();
    data.reset();
    return data;
}

HWData sampleProfile()
{
    HWData data = defaults();
    for (int m = 0; m < kModuleCount; ++m) {
        MemoryModuleData &module = data.memoryData[m];
        module.lightMode = 10 + m;
        module.colorMode = m % 4;
        module.lightSpeed = 3 - m % 4;
        for (int led = 0; led < kLedSlots; ++led) {
            module.rgb[led] = rgbColor(m * 10 + led, 100 + led, 200 + m);
            module.bright[led] = float(led % 4) / 4.0f;
        }
        module.singleRGB = rgbColor(1, 2, 3 + m);
        module.singleBright = 0.3f;
        module.turnOff = m % 2 == 1;
    }
    return data;
}

HWData sampleDevice()
{
    HWData data = defaults();
    data.selectProfile = 3;
    const int order[kModuleCount] = {1, 0, 2, 3, 7, 5, 6, 4};
    for (int m = 0; m < kModuleCount; ++m)
        data.memoryData[m].slotSequence = order[m];
    NotiEventData &event = data.notiEvent;
    event.loadingOn = true;
    event.loadingValue = 80;
    event.loadingUnit = 1;
    event.loadingColor = rgbColor(10, 20, 30);
    event.shutdownMemoryOn = true;
    event.shutdownMemoryValue = 85;
    event.shutdownMemoryUnit = 0;
    event.fanSpeedOn = false;
    event.fanSpeedValue = 60;
    event.fanSpeedUnit = 1;
    event.shutdownCPUOn = true;
    event.shutdownCPUValue = 95;
    event.shutdownCPUUnit = 1;
    data.settingData.language = 3;
    data.settingData.isAutoUpdate = false;
    data.settingData.isAutoRun = true;
    data.settingData.isCurrentLocation = true;
    return data;
}

QString fileText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

HWData readBackProfile(Profile_RW &store, int profile)
{
    QSignalSpy spy(&store, &Profile_RW::readProfileStatus);
    store.readProfile(profile, 0);
    if (spy.count() != 1)
        return makeZeroHWData();
    return spy.at(0).at(2).value<HWData>();
}

HWData readBackDevice(Profile_RW &store)
{
    QSignalSpy spy(&store, &Profile_RW::readDeviceStatus);
    store.readDevice();
    if (spy.count() != 1)
        return makeZeroHWData();
    return spy.at(0).at(0).value<HWData>();
}

bool writeProfileOk(Profile_RW &store, int profile, const HWData &data)
{
    QSignalSpy spy(&store, &Profile_RW::writeProfileStatus);
    store.writeProfile(profile, 0, data);
    return spy.count() == 1 && spy.at(0).at(0).toInt() == profile && spy.at(0).at(1).toBool();
}

bool writeDeviceOk(Profile_RW &store, const HWData &data)
{
    QSignalSpy spy(&store, &Profile_RW::writeDeviceStatus);
    store.writeDevice(data);
    return spy.count() == 1 && spy.at(0).at(0).toBool();
}

QStringList s_messages;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_messages << message;
}

QString ledLine(const char *key, const QStringList &values)
{
    return QString::fromLatin1(key) + QStringLiteral("=\"") + values.join(QLatin1Char(',')) + QStringLiteral("\"\n");
}

} // namespace

class TestProfileRW : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void filesAreNamedUnderTheSettingsFolder();
    void logLinesOfEachOperation();
    void freshInstallationGivesTheDefaults();
    void deviceRoundTrip();
    void deviceWrittenForms();
    void debugSwitchesComeFromTheFileAndSurviveWrites();
    void profileRoundTrip();
    void profileWrittenForms();
    void syncModesKeepThePreviousLightKeys();
    void profileNeverSavedOutsideSyncKeepsDefaults();
    void handEditedProfile_data();
    void handEditedProfile();
    void damagedProfileFilesLoad();
    void handEditedDevice_data();
    void handEditedDevice();
    void damagedDeviceFilesLoad();
    void everyReadStartsFromTheDefaults();
    void profileNumbersOutsideTheRangeNameNoFile();
    void errorLogKeysAndRunningNumber();
    void errorLogOnlyInDebugMode();
    void writeFailureIsReported();
    void damagedFileIsRewrittenOnSave();
    void killedWriterNeverLeavesADamagedFile();
    void serialisedValuesAreRecognised_data();
    void serialisedValuesAreRecognised();
    void filesWithSerialisedValuesAreRefused();
    void lightModesPastTheNamedOnesAreKept();
    void filesThatAreNotSmallRegularFilesAreMovedAside();

private:
    TestEnvironment m_environment;
    QScopedPointer<QTemporaryDir> m_dir;
    QString base() const { return m_dir->path() + QStringLiteral("/VELTRIMARGB"); }
};

void TestProfileRW::initTestCase()
{
    registerLightingMetaTypes();
}

void TestProfileRW::init()
{
    m_dir.reset(new QTemporaryDir(m_environment.root() + QStringLiteral("/store-XXXXXX")));
    QVERIFY(m_dir->isValid());
    DebugFlags::setDebugMode(false);
    DebugFlags::setHWDebugMode(false);
}

void TestProfileRW::filesAreNamedUnderTheSettingsFolder()
{
    const QString expected = m_environment.configDir() + QStringLiteral("/Kv/VELTRIMARGB");
    QCOMPARE(Profile_RW::defaultBaseDirectory(), expected);
    Profile_RW store;
    QCOMPARE(store.deviceFilePath(), expected + QStringLiteral("/ModuleDevice.ini"));
    QCOMPARE(store.errorLogFilePath(), expected + QStringLiteral("/errorLog.ini"));
    for (int p = 0; p < Profile_RW::kProfileCount; ++p)
        QCOMPARE(store.profileFilePath(p), expected + QStringLiteral("/VELTRIMA RGB/Profile_%1.ini").arg(p));
    QVERIFY(store.profileFilePath(-1).isEmpty());
    QVERIFY(store.profileFilePath(5).isEmpty());

    // The default folder really receives the files.
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QVERIFY(QFile::exists(expected + QStringLiteral("/ModuleDevice.ini")));
    QVERIFY(writeProfileOk(store, 4, sampleProfile()));
    QVERIFY(QFile::exists(expected + QStringLiteral("/VELTRIMA RGB/Profile_4.ini")));
}

void TestProfileRW::logLinesOfEachOperation()
{
    Profile_RW store(base());
    writeFile(store.deviceFilePath(), "[DebugMode]\nisDebugMode=1\n");
    HWData data = sampleProfile();
    data.memoryData[7].lightMode = 20;
    data.memoryData[7].colorMode = 1;
    data.memoryData[7].lightSpeed = 3;

    s_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(&recordMessage);
    store.checkDebugMode();
    store.readDevice();
    store.readProfile(2, 0);
    store.writeProfile(2, 0, data);
    store.writeDevice(data);
    qInstallMessageHandler(previous);

    const QString write = QStringLiteral("--------------------WRITE-----------");
    QStringList expected = {QStringLiteral("isDebugMode = true"), QStringLiteral("Profile_RW::readDevice"),
                            QStringLiteral("Profile_RW::readProfile")};
    for (int m = 0; m < kModuleCount; ++m)
        expected << QStringLiteral("%1 %2 %3 %4 %5").arg(write).arg(m).arg(data.memoryData[m].lightMode)
                        .arg(data.memoryData[m].colorMode).arg(data.memoryData[m].lightSpeed);
    expected << QStringLiteral("Profile_RW::writeDevice");
    for (int m = 0; m < kModuleCount; ++m)
        expected << expected.at(3 + m);
    QCOMPARE(s_messages, expected);
}

void TestProfileRW::freshInstallationGivesTheDefaults()
{
    Profile_RW store(base());
    const HWData device = readBackDevice(store);
    QCOMPARE(device.settingData.language, 0);
    QCOMPARE(device.settingData.isAutoUpdate, true);
    QCOMPARE(device.settingData.isAutoRun, false);
    QCOMPARE(device.settingData.isCurrentLocation, false);
    QCOMPARE(device.notiEvent.loadingOn, false);
    QCOMPARE(device.notiEvent.shutdownMemoryOn, false);
    QCOMPARE(device.notiEvent.shutdownCPUOn, false);
    QCOMPARE(device.notiEvent.fanSpeedOn, false);
    QCOMPARE(device.notiEvent.loadingColor, rgbColor(255, 0, 0));
    QCOMPARE(device.selectProfile, 0);
    for (int m = 0; m < kModuleCount; ++m)
        QCOMPARE(device.memoryData[m].slotSequence, m);

    const HWData profile = readBackProfile(store, 0);
    const HWData expected = defaults();
    for (int m = 0; m < kModuleCount; ++m) {
        QCOMPARE(profile.memoryData[m].lightMode, 5);
        QCOMPARE(profile.memoryData[m].colorMode, 0);
        QCOMPARE(profile.memoryData[m].lightSpeed, 2);
        QVERIFY(std::equal(std::begin(profile.memoryData[m].rgb), std::end(profile.memoryData[m].rgb),
                           std::begin(expected.memoryData[m].rgb)));
    }
    QVERIFY(!QFile::exists(store.deviceFilePath()));
    QVERIFY(!QFile::exists(store.profileFilePath(0)));
}

void TestProfileRW::deviceRoundTrip()
{
    Profile_RW store(base());
    const HWData written = sampleDevice();
    QVERIFY(writeDeviceOk(store, written));
    const HWData read = readBackDevice(store);

    QCOMPARE(read.selectProfile, 3);
    for (int m = 0; m < kModuleCount; ++m)
        QCOMPARE(read.memoryData[m].slotSequence, written.memoryData[m].slotSequence);
    const NotiEventData &a = read.notiEvent;
    const NotiEventData &b = written.notiEvent;
    QCOMPARE(a.loadingOn, b.loadingOn);
    QCOMPARE(a.loadingValue, b.loadingValue);
    QCOMPARE(a.loadingUnit, b.loadingUnit);
    QCOMPARE(a.loadingColor, b.loadingColor);
    QCOMPARE(a.shutdownMemoryOn, b.shutdownMemoryOn);
    QCOMPARE(a.shutdownMemoryValue, b.shutdownMemoryValue);
    QCOMPARE(a.shutdownMemoryUnit, b.shutdownMemoryUnit);
    QCOMPARE(a.fanSpeedOn, b.fanSpeedOn);
    QCOMPARE(a.fanSpeedValue, b.fanSpeedValue);
    QCOMPARE(a.fanSpeedUnit, b.fanSpeedUnit);
    QCOMPARE(a.shutdownCPUOn, b.shutdownCPUOn);
    QCOMPARE(a.shutdownCPUValue, b.shutdownCPUValue);
    QCOMPARE(a.shutdownCPUUnit, b.shutdownCPUUnit);
    QCOMPARE(read.settingData.language, 3);
    QCOMPARE(read.settingData.isAutoUpdate, false);
    QCOMPARE(read.settingData.isAutoRun, true);
    QCOMPARE(read.settingData.isCurrentLocation, true);
}

void TestProfileRW::deviceWrittenForms()
{
    Profile_RW store(base());
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    const QString text = fileText(store.deviceFilePath());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const char *line : {"[Main]", "Profile=3", "SlotSequence=\"1,0,2,3,7,5,6,4\"", "AutoUpdate=false",
                             "Language=3", "isAutoRun=true", "isCurrentLocatio=true", "NotiLoading=true",
                             "NotiShutdown_Memory=true", "NotiShutdown_CPU=true", "NotiFanSpeed=false",
                             "NotiClean=0", "NotiLoadingValue=80", "NotiShutdownMemoryValue=85",
                             "NotiShutdownCPUValue=95", "NotiFanSpeedValue=60", "NotiCleanValue=0",
                             "NotiLoadingUnit=1", "NotiShutdownMemoryUnit=0", "NotiShutdownCPUUnit=1",
                             "NotiFanSpeedUnit=1", "NotiCleanUnit=0", "NotiLoadingColor=\"10,20,30\"",
                             "[DebugMode]", "isDebugMode=0", "isHWDebugMode=false"}) {
        QVERIFY2(lines.contains(QString::fromLatin1(line)), line);
    }
}

void TestProfileRW::debugSwitchesComeFromTheFileAndSurviveWrites()
{
    Profile_RW store(base());
    QCOMPARE(store.checkDebugMode(), false); // no device file
    QCOMPARE(DebugFlags::isDebugMode(), false);

    writeFile(store.deviceFilePath(), "[Main]\nLanguage=2\n[DebugMode]\nisDebugMode=1\nisHWDebugMode=true\n");
    QCOMPARE(store.checkDebugMode(), true);
    QCOMPARE(DebugFlags::isDebugMode(), true);
    QCOMPARE(DebugFlags::isHWDebugMode(), true);

    // A user switching debug off while the program runs keeps that choice over saves.
    writeFile(store.deviceFilePath(), "[DebugMode]\nisDebugMode=0\nisHWDebugMode=false\n");
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    const QStringList lines = fileText(store.deviceFilePath()).split(QLatin1Char('\n'));
    QVERIFY(lines.contains(QStringLiteral("isDebugMode=0")));
    QVERIFY(lines.contains(QStringLiteral("isHWDebugMode=false")));
    QCOMPARE(store.checkDebugMode(), false);
    QCOMPARE(DebugFlags::isHWDebugMode(), false);
}

void TestProfileRW::profileRoundTrip()
{
    Profile_RW store(base());
    const HWData written = sampleProfile();
    QVERIFY(writeProfileOk(store, 2, written));

    QSignalSpy spy(&store, &Profile_RW::readProfileStatus);
    store.readProfile(2, 7);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(0).at(1).toInt(), 7); // passed through unchanged
    const HWData read = spy.at(0).at(2).value<HWData>();

    for (int m = 0; m < kModuleCount; ++m) {
        const MemoryModuleData &a = read.memoryData[m];
        const MemoryModuleData &b = written.memoryData[m];
        QCOMPARE(a.lightMode, b.lightMode);
        QCOMPARE(a.colorMode, b.colorMode);
        QCOMPARE(a.lightSpeed, b.lightSpeed);
        for (int led = 0; led < kLedSlots; ++led) {
            QCOMPARE(a.rgb[led], b.rgb[led]);
            QCOMPARE(a.bright[led], b.bright[led]);
        }
        QCOMPARE(a.singleRGB, b.singleRGB);
        QCOMPARE(a.singleBright, b.singleBright);
        QCOMPARE(a.turnOff, b.turnOff);
    }
}

void TestProfileRW::profileWrittenForms()
{
    Profile_RW store(base());
    HWData data = sampleProfile();
    MemoryModuleData &module = data.memoryData[1];
    const float bright[kLedSlots] = {1.0f, 0.5f, 0.0f, 0.25f, 0.1f, 0.123456789f, 1, 1, 1, 1, 1, 1};
    std::copy(std::begin(bright), std::end(bright), std::begin(module.bright));
    module.rgb[0] = rgbColor(255, 216, 0);
    module.singleRGB = rgbColor(12, 34, 56);
    module.singleBright = 0.5f;
    module.turnOff = true;
    QVERIFY(writeProfileOk(store, 0, data));

    const QString text = fileText(store.profileFilePath(0));
    const int start = text.indexOf(QStringLiteral("[Memory1]\n"));
    QVERIFY(start >= 0);
    const int end = text.indexOf(QStringLiteral("\n\n"), start);
    const QString group = text.mid(start, end - start + 1);

    QStringList red, green, blue;
    for (int led = 0; led < kLedSlots; ++led) {
        red << QString::number(redOf(module.rgb[led]));
        green << QString::number(greenOf(module.rgb[led]));
        blue << QString::number(blueOf(module.rgb[led]));
    }
    QVERIFY(red.startsWith(QStringLiteral("255")));
    QVERIFY(group.contains(ledLine("RColor", red)));
    QVERIFY(group.contains(ledLine("GColor", green)));
    QVERIFY(group.contains(ledLine("BColor", blue)));
    QVERIFY2(group.contains(QStringLiteral("Bright=\"1,0.5,0,0.25,0.1,0.123457,1,1,1,1,1,1\"\n")), qPrintable(group));
    QVERIFY(group.contains(QStringLiteral("\nLightMode=11\n")));
    QVERIFY(group.contains(QStringLiteral("\nColorMode=1\n")));
    QVERIFY(group.contains(QStringLiteral("\nLightSpeed=2\n")));
    QVERIFY(group.contains(QStringLiteral("\nSRColor=12\n")));
    QVERIFY(group.contains(QStringLiteral("\nSGColor=34\n")));
    QVERIFY(group.contains(QStringLiteral("\nSBColor=56\n")));
    QVERIFY(group.contains(QStringLiteral("\nSBright=0.5\n")));
    QVERIFY(group.contains(QStringLiteral("\nTurnOff=1\n")));
    for (int m = 0; m < kModuleCount; ++m)
        QVERIFY(text.contains(QStringLiteral("[Memory%1]\n").arg(m)));
}

void TestProfileRW::syncModesKeepThePreviousLightKeys()
{
    Profile_RW store(base());
    HWData data = sampleProfile();
    data.memoryData[1].lightMode = 17;
    data.memoryData[1].colorMode = 0;
    data.memoryData[1].lightSpeed = 3;
    QVERIFY(writeProfileOk(store, 1, data));

    data.memoryData[1].lightMode = 20;
    data.memoryData[1].colorMode = 2;
    data.memoryData[1].lightSpeed = 0;
    data.memoryData[1].rgb[0] = rgbColor(1, 2, 3);
    data.memoryData[4].lightMode = 35;
    data.memoryData[4].colorMode = 3;
    data.memoryData[2].lightMode = 6;
    QVERIFY(writeProfileOk(store, 1, data));

    const HWData read = readBackProfile(store, 1);
    QCOMPARE(read.memoryData[1].lightMode, 17);
    QCOMPARE(read.memoryData[1].colorMode, 0);
    QCOMPARE(read.memoryData[1].lightSpeed, 3);
    QCOMPARE(read.memoryData[1].rgb[0], rgbColor(1, 2, 3)); // colours are always saved
    QCOMPARE(read.memoryData[4].lightMode, 14);
    QCOMPARE(read.memoryData[4].colorMode, 0);
    QCOMPARE(read.memoryData[2].lightMode, 6);
}

void TestProfileRW::profileNeverSavedOutsideSyncKeepsDefaults()
{
    Profile_RW store(base());
    HWData data = sampleProfile();
    data.memoryData[0].lightMode = 20;
    data.memoryData[0].colorMode = 1;
    data.memoryData[0].lightSpeed = 0;
    QVERIFY(writeProfileOk(store, 0, data));
    QVERIFY(!fileText(store.profileFilePath(0)).section(QStringLiteral("[Memory1]"), 0, 0).contains(QStringLiteral("LightMode")));

    const HWData read = readBackProfile(store, 0);
    QCOMPARE(read.memoryData[0].lightMode, 5);
    QCOMPARE(read.memoryData[0].colorMode, 0);
    QCOMPARE(read.memoryData[0].lightSpeed, 2);
}

void TestProfileRW::handEditedProfile_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("lightMode");
    QTest::addColumn<int>("colorMode");
    QTest::addColumn<int>("lightSpeed");
    QTest::addColumn<QList<uint>>("rgb");    // expected colours of LEDs 0..11
    QTest::addColumn<QList<float>>("bright"); // expected brightness of LEDs 0..11
    QTest::addColumn<uint>("singleRGB");
    QTest::addColumn<float>("singleBright");

    const HWData reset = defaults();
    QList<uint> pattern;
    for (const COLORREF colour : reset.memoryData[0].rgb)
        pattern << colour;
    const QList<float> full = QVector<float>(kLedSlots, 1.0f).toList();
    // A missing colour or brightness list is one empty entry: LED 0 black at brightness 0.
    QList<uint> ledZeroBlack = pattern;
    ledZeroBlack[0] = 0;
    QList<float> ledZeroDark = full;
    ledZeroDark[0] = 0.0f;
    // Missing single-colour keys read as 0.
    const uint black = 0;

    {
        QList<uint> rgb = pattern;
        QList<float> bright = full;
        for (int led = 0; led < 5; ++led) {
            rgb[led] = rgbColor(led, 10 + led, 20 + led);
            bright[led] = 0.5f;
        }
        QTest::newRow("five entries leave the rest at the defaults")
            << QByteArray("LightMode=3\nColorMode=1\nLightSpeed=0\nRColor=\"0,1,2,3,4\"\nGColor=\"10,11,12,13,14\"\n"
                          "BColor=\"20,21,22,23,24\"\nBright=\"0.5,0.5,0.5,0.5,0.5\"\n")
            << 3 << 1 << 0 << rgb << bright << black << 0.0f;
    }
    {
        QList<uint> rgb;
        QList<float> bright;
        QStringList reds, brights;
        for (int led = 0; led < 20; ++led) {
            reds << QString::number(led * 10);
            brights << QStringLiteral("0.25");
        }
        for (int led = 0; led < kLedSlots; ++led) {
            rgb << rgbColor(led * 10, greenOf(pattern[led]), blueOf(pattern[led]));
            bright << 0.25f;
        }
        rgb[0] = 0; // green and blue lists missing: their entry 0 reads 0
        QTest::newRow("twenty entries: the first twelve count")
            << (QStringLiteral("RColor=\"%1\"\nBright=\"%2\"\n").arg(reds.join(','), brights.join(','))).toLatin1()
            << 5 << 0 << 2 << rgb << bright << black << 0.0f;
    }
    {
        QList<uint> rgb = pattern;
        rgb[0] = rgbColor(7, 8, 9);
        rgb[1] = rgbColor(1, 2, 3);
        QList<float> bright = full;
        bright[0] = 0.5f;
        bright[1] = 0.0f;
        QTest::newRow("unquoted lists, as an editor writes them")
            << QByteArray("RColor=7, 1\nGColor=8,2\nBColor=9 , 3\nBright=0.5,0\nSRColor=4\nSBright=0.5\n")
            << 5 << 0 << 2 << rgb << bright << uint(rgbColor(4, 0, 0)) << 0.5f;
    }
    {
        QList<uint> rgb = pattern;
        rgb[0] = rgbColor(0, 0, 0);
        rgb[1] = rgbColor(0, greenOf(pattern[1]), blueOf(pattern[1]));
        QList<float> bright = full;
        bright[0] = 0.0f;
        QTest::newRow("letters in numbers read as 0")
            << QByteArray("LightMode=abc\nColorMode=1x\nLightSpeed=\nRColor=\"red,\"\nBright=\"bright\"\n"
                          "SRColor=x\nSBright=much\n")
            << 0 << 0 << 0 << rgb << bright << rgbColor(0, 0, 0) << 0.0f;
    }
    {
        QList<uint> rgb = pattern;
        rgb[0] = rgbColor(255, 0, 0);
        rgb[1] = rgbColor(10, greenOf(pattern[1]), blueOf(pattern[1]));
        rgb[2] = rgbColor(20, greenOf(pattern[2]), blueOf(pattern[2]));
        QList<float> bright = full;
        bright[0] = 1.0f;
        bright[1] = 0.0f;
        bright[2] = 0.0f;
        QTest::newRow("numbers out of range")
            << QByteArray("LightMode=-1\nColorMode=-1\nLightSpeed=4\nRColor=\"300,10,20\"\nGColor=\"-5\"\n"
                          "Bright=\"7,-1,nan\"\nSBright=inf\nSGColor=1000\n")
            << 5 << 0 << 2 << rgb << bright << rgbColor(0, 255, 0) << 0.0f;
    }
    {
        // The red list counts the LEDs: longer green, blue and brightness lists do not
        // reach past it.
        QList<uint> rgb = pattern;
        QList<float> bright = full;
        for (int led = 0; led < 5; ++led) {
            rgb[led] = rgbColor(led, 100, 200);
            bright[led] = 0.5f;
        }
        QStringList reds, greens, blues, brights;
        for (int led = 0; led < kLedSlots; ++led) {
            if (led < 5)
                reds << QString::number(led);
            greens << QStringLiteral("100");
            blues << QStringLiteral("200");
            brights << QStringLiteral("0.5");
        }
        QTest::newRow("five red entries, twelve of the others")
            << (ledLine("RColor", reds) + ledLine("GColor", greens) + ledLine("BColor", blues)
                + ledLine("Bright", brights)).toLatin1()
            << 5 << 0 << 2 << rgb << bright << black << 0.0f;
    }
    {
        // Green and blue without red: the missing red list names LED 0 alone.
        QList<uint> rgb = pattern;
        rgb[0] = rgbColor(0, 1, 4);
        QTest::newRow("colour lists without red")
            << QByteArray("GColor=\"1,2,3\"\nBColor=\"4,5,6\"\nBright=\"0,0,0\"\nSBright=1\n")
            << 5 << 0 << 2 << rgb << ledZeroDark << black << 1.0f;
    }
    {
        // The light keys keep the reset defaults; everything else reads 0.
        QTest::newRow("missing keys")
            << QByteArray("SomethingElse=1\n") << 5 << 0 << 2 << ledZeroBlack << ledZeroDark << black << 0.0f;
    }
}

void TestProfileRW::handEditedProfile()
{
    QFETCH(QByteArray, group);
    QFETCH(int, lightMode);
    QFETCH(int, colorMode);
    QFETCH(int, lightSpeed);
    QFETCH(QList<uint>, rgb);
    QFETCH(QList<float>, bright);
    QFETCH(uint, singleRGB);
    QFETCH(float, singleBright);

    Profile_RW store(base());
    // Memory2 is edited; Memory0 is written normally and Memory5 is missing altogether.
    writeFile(store.profileFilePath(3),
              "[Memory0]\nLightMode=9\nColorMode=1\nLightSpeed=3\n\n[Memory2]\n" + group + "\n");
    const HWData read = readBackProfile(store, 3);

    const MemoryModuleData &module = read.memoryData[2];
    QCOMPARE(module.lightMode, lightMode);
    QCOMPARE(module.colorMode, colorMode);
    QCOMPARE(module.lightSpeed, lightSpeed);
    for (int led = 0; led < kLedSlots; ++led) {
        QCOMPARE(module.rgb[led], COLORREF(rgb.at(led)));
        QCOMPARE(module.bright[led], bright.at(led));
    }
    QCOMPARE(module.singleRGB, COLORREF(singleRGB));
    QCOMPARE(module.singleBright, singleBright);

    QCOMPARE(read.memoryData[0].lightMode, 9);
    const HWData reset = defaults();
    const MemoryModuleData &missing = read.memoryData[5];
    QCOMPARE(missing.lightMode, 5);
    QCOMPARE(missing.rgb[0], COLORREF(0));
    QCOMPARE(missing.bright[0], 0.0f);
    QVERIFY(std::equal(std::begin(missing.rgb) + 1, std::end(missing.rgb), std::begin(reset.memoryData[5].rgb) + 1));
    QCOMPARE(missing.singleRGB, COLORREF(0));
    QCOMPARE(missing.singleBright, 0.0f);
    QCOMPARE(missing.turnOff, false);
}

void TestProfileRW::damagedProfileFilesLoad()
{
    Profile_RW store(base());
    QVERIFY(writeProfileOk(store, 0, sampleProfile()));
    const QByteArray good = fileText(store.profileFilePath(0)).toUtf8();

    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 7919 + 13) % 256));

    const QList<QByteArray> damaged = {
        good.left(good.size() / 2),                    // truncated in the middle of a group
        junk,                                          // nothing but binary junk
        good.left(good.size() / 3) + junk,             // junk after a good start
        QByteArray("[Memory1\nLightMode=\"3\n[[[\n=\n"), // broken brackets and quotes
        QByteArray(),                                  // empty
    };
    for (const QByteArray &contents : damaged) {
        writeFile(store.profileFilePath(0), contents);
        const HWData read = readBackProfile(store, 0);
        for (const MemoryModuleData &module : read.memoryData) {
            QVERIFY(module.lightMode >= 0);
            QVERIFY(module.colorMode >= 0 && module.colorMode <= 3);
            QVERIFY(module.lightSpeed >= 0 && module.lightSpeed <= 3);
            for (const float value : module.bright)
                QVERIFY(value >= 0.0f && value <= 1.0f);
        }
    }

    // Nothing readable: every key is missing, so the light keys are at their defaults and
    // the rest reads 0 (LED 0 black at brightness 0).
    writeFile(store.profileFilePath(0), junk);
    {
        const HWData read = readBackProfile(store, 0);
        const HWData reset = defaults();
        for (int m = 0; m < kModuleCount; ++m) {
            const MemoryModuleData &a = read.memoryData[m];
            const MemoryModuleData &b = reset.memoryData[m];
            QCOMPARE(a.lightMode, b.lightMode);
            QCOMPARE(a.colorMode, b.colorMode);
            QCOMPARE(a.lightSpeed, b.lightSpeed);
            QCOMPARE(a.rgb[0], COLORREF(0));
            QCOMPARE(a.bright[0], 0.0f);
            QVERIFY(std::equal(std::begin(a.rgb) + 1, std::end(a.rgb), std::begin(b.rgb) + 1));
            QVERIFY(std::equal(std::begin(a.bright) + 1, std::end(a.bright), std::begin(b.bright) + 1));
            QCOMPARE(a.singleRGB, COLORREF(0));
            QCOMPARE(a.singleBright, 0.0f);
            QCOMPARE(a.turnOff, false);
        }
    }

    // What a truncated file still holds is read; the rest stays at the defaults.
    writeFile(store.profileFilePath(0), good.left(good.indexOf("[Memory3]")));
    const HWData read = readBackProfile(store, 0);
    QCOMPARE(read.memoryData[2].lightMode, sampleProfile().memoryData[2].lightMode);
    QCOMPARE(read.memoryData[3].lightMode, 5);
}

void TestProfileRW::handEditedDevice_data()
{
    QTest::addColumn<QByteArray>("main");
    QTest::addColumn<QList<int>>("sequence");
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<uint>("loadingColor");

    const QList<int> plain = {0, 1, 2, 3, 4, 5, 6, 7};
    const uint red = rgbColor(255, 0, 0);
    QTest::newRow("unquoted lists") << QByteArray("SlotSequence=7,6,5,4,3,2,1,0\nNotiLoadingColor=1, 2, 3\n")
                                    << QList<int>{7, 6, 5, 4, 3, 2, 1, 0} << 0 << 0 << false << uint(rgbColor(1, 2, 3));
    QTest::newRow("short order completed from the plain order")
        << QByteArray("SlotSequence=\"1,0\"\n") << QList<int>{1, 0, 2, 3, 4, 5, 6, 7} << 0 << 0 << false << red;
    QTest::newRow("twenty slot numbers: the first eight count")
        << QByteArray("SlotSequence=\"7,6,5,4,3,2,1,0,9,9,9,9,9,9,9,9,9,9,9,9\"\n")
        << QList<int>{7, 6, 5, 4, 3, 2, 1, 0} << 0 << 0 << false << red;
    QTest::newRow("repeated slot number") << QByteArray("SlotSequence=\"0,0,1,2,3,4,5,6\"\n") << plain << 0 << 0 << false << red;
    QTest::newRow("slot number out of range") << QByteArray("SlotSequence=\"0,1,2,3,4,5,6,8\"\n") << plain << 0 << 0 << false << red;
    QTest::newRow("letters in the order") << QByteArray("SlotSequence=\"a,b,c,d,e,f,g,h\"\n") << plain << 0 << 0 << false << red;
    QTest::newRow("profile out of range") << QByteArray("Profile=9\n") << plain << 0 << 0 << false << red;
    QTest::newRow("negative profile") << QByteArray("Profile=-1\n") << plain << 0 << 0 << false << red;
    QTest::newRow("profile as text") << QByteArray("Profile=four\nLanguage=abc\n") << plain << 0 << 0 << false << red;
    QTest::newRow("valid values") << QByteArray("Profile=4\nLanguage=9\nAutoUpdate=0\n") << plain << 4 << 9 << false << red;
    QTest::newRow("language out of range") << QByteArray("Language=42\nAutoUpdate=yes\n") << plain << 0 << 0 << false << red;
    QTest::newRow("loading colour with two parts") << QByteArray("NotiLoadingColor=\"1,2\"\n") << plain << 0 << 0 << false << red;
    QTest::newRow("loading colour out of range")
        << QByteArray("NotiLoadingColor=\"300,x,-4\"\n") << plain << 0 << 0 << false << uint(rgbColor(255, 0, 0));
    QTest::newRow("automatic update on") << QByteArray("AutoUpdate=true\n") << plain << 0 << 0 << true << red;
    QTest::newRow("missing group") << QByteArray() << plain << 0 << 0 << false << red;
}

void TestProfileRW::handEditedDevice()
{
    QFETCH(QByteArray, main);
    QFETCH(QList<int>, sequence);
    QFETCH(int, profile);
    QFETCH(int, language);
    QFETCH(bool, autoUpdate);
    QFETCH(uint, loadingColor);

    Profile_RW store(base());
    writeFile(store.deviceFilePath(), main.isEmpty() ? QByteArray("[Other]\nx=1\n") : "[Main]\n" + main);
    const HWData read = readBackDevice(store);
    for (int m = 0; m < kModuleCount; ++m)
        QCOMPARE(read.memoryData[m].slotSequence, sequence.at(m));
    QCOMPARE(read.selectProfile, profile);
    QCOMPARE(read.settingData.language, language);
    QCOMPARE(read.settingData.isAutoUpdate, autoUpdate);
    QCOMPARE(read.notiEvent.loadingColor, COLORREF(loadingColor));
}

void TestProfileRW::damagedDeviceFilesLoad()
{
    Profile_RW store(base());
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    const QByteArray good = fileText(store.deviceFilePath()).toUtf8();
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 7919 + 13) % 256));

    // Binary junk: every key missing, so the fresh-installation values except automatic
    // update, whose missing key reads false.
    writeFile(store.deviceFilePath(), junk);
    HWData read = readBackDevice(store);
    QCOMPARE(read.selectProfile, 0);
    QCOMPARE(read.settingData.language, 0);
    QCOMPARE(read.settingData.isAutoUpdate, false);
    QCOMPARE(read.settingData.isAutoRun, false);
    QCOMPARE(read.notiEvent.loadingOn, false);
    QCOMPARE(read.notiEvent.loadingColor, rgbColor(255, 0, 0));
    for (int m = 0; m < kModuleCount; ++m)
        QCOMPARE(read.memoryData[m].slotSequence, m);
    QCOMPARE(store.checkDebugMode(), false);

    // Truncated after "Language": the keys before it are read, the rest keep defaults.
    const int cut = good.indexOf("Language=3\n");
    QVERIFY(cut > 0);
    writeFile(store.deviceFilePath(), good.left(cut + int(qstrlen("Language=3\n"))));
    read = readBackDevice(store);
    QCOMPARE(read.settingData.language, 3);
    QCOMPARE(read.settingData.isAutoUpdate, false);  // "AutoUpdate" comes before "Language"
    QCOMPARE(read.settingData.isAutoRun, false);      // cut off
    QCOMPARE(read.notiEvent.loadingColor, rgbColor(255, 0, 0));
    QCOMPARE(read.selectProfile, 0);

    // Saving over junk gives a whole file again.
    writeFile(store.deviceFilePath(), junk);
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QCOMPARE(readBackDevice(store).settingData.language, 3);
    QSettings check(store.deviceFilePath(), QSettings::IniFormat);
    check.allKeys();
    QCOMPARE(check.status(), QSettings::NoError);
}

void TestProfileRW::everyReadStartsFromTheDefaults()
{
    Profile_RW store(base());
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QCOMPARE(readBackDevice(store).settingData.language, 3);
    writeFile(store.deviceFilePath(), "[Main]\nProfile=1\n");
    const HWData device = readBackDevice(store);
    QCOMPARE(device.selectProfile, 1);
    QCOMPARE(device.settingData.language, 0);
    QCOMPARE(device.settingData.isAutoRun, false);
    QCOMPARE(device.notiEvent.loadingColor, rgbColor(255, 0, 0));
    QCOMPARE(device.memoryData[0].slotSequence, 0);

    QVERIFY(writeProfileOk(store, 1, sampleProfile()));
    QCOMPARE(readBackProfile(store, 1).memoryData[3].lightMode, 13);
    QVERIFY(QFile::remove(store.profileFilePath(1)));
    QCOMPARE(readBackProfile(store, 1).memoryData[3].lightMode, 5);
}

void TestProfileRW::profileNumbersOutsideTheRangeNameNoFile()
{
    Profile_RW store(base());
    for (const int profile : {-1, 5, 100, std::numeric_limits<int>::min()}) {
        QSignalSpy written(&store, &Profile_RW::writeProfileStatus);
        store.writeProfile(profile, 0, sampleProfile());
        QCOMPARE(written.count(), 1);
        QCOMPARE(written.at(0).at(1).toBool(), false);

        QSignalSpy read(&store, &Profile_RW::readProfileStatus);
        store.readProfile(profile, 0);
        QCOMPARE(read.count(), 0);
    }
    QDir dir(base() + QStringLiteral("/VELTRIMA RGB"));
    QVERIFY(!dir.exists() || dir.entryList(QDir::Files).isEmpty());
}

void TestProfileRW::errorLogKeysAndRunningNumber()
{
    Profile_RW store(base());
    writeFile(store.deviceFilePath(), "[DebugMode]\nisDebugMode=1\n");
    QVERIFY(store.checkDebugMode());
    const QStringList messages = {QStringLiteral("first"), QStringLiteral("second, with a comma"),
                                  QStringLiteral("third = with \"quotes\" and ümlaut")};
    for (const QString &message : messages)
        store.writeErrorLog(message);

    QSettings settings(store.errorLogFilePath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.beginGroup(QStringLiteral("Debug"));
    QStringList keys = settings.childKeys();
    QCOMPARE(keys.size(), 3);
    const QRegularExpression pattern(QStringLiteral("^(\\d{8}\\.\\d{2}-\\d{2}-\\d{2})\\.(\\d+)$"));
    std::sort(keys.begin(), keys.end(), [&pattern](const QString &a, const QString &b) {
        return pattern.match(a).captured(2).toInt() < pattern.match(b).captured(2).toInt();
    });
    for (int i = 0; i < keys.size(); ++i) {
        const QRegularExpressionMatch match = pattern.match(keys.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(keys.at(i)));
        QVERIFY(QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd.hh-mm-ss")).isValid());
        QCOMPARE(match.captured(2).toInt(), i);
        QCOMPARE(settings.value(keys.at(i)).toString(), messages.at(i));
    }
}

void TestProfileRW::errorLogOnlyInDebugMode()
{
    Profile_RW store(base());
    store.writeErrorLog(QStringLiteral("before the debug switch was read"));
    writeFile(store.deviceFilePath(), "[DebugMode]\nisDebugMode=0\n");
    QVERIFY(!store.checkDebugMode());
    store.writeErrorLog(QStringLiteral("debug mode off"));
    QVERIFY(!QFile::exists(store.errorLogFilePath()));
}

void TestProfileRW::writeFailureIsReported()
{
    // The base folder cannot be created below a plain file.
    const QString blocker = m_dir->path() + QStringLiteral("/file");
    writeFile(blocker, "x");
    Profile_RW store(blocker + QStringLiteral("/VELTRIMARGB"));

    QSignalSpy device(&store, &Profile_RW::writeDeviceStatus);
    store.writeDevice(sampleDevice());
    QCOMPARE(device.count(), 1);
    QCOMPARE(device.at(0).at(0).toBool(), false);

    QSignalSpy profile(&store, &Profile_RW::writeProfileStatus);
    store.writeProfile(1, 0, sampleProfile());
    QCOMPARE(profile.count(), 1);
    QCOMPARE(profile.at(0).at(1).toBool(), false);
}

void TestProfileRW::damagedFileIsRewrittenOnSave()
{
    Profile_RW store(base());
    // Junk without "@" and "\\", which would have the file refused as a whole.
    QByteArray junk("[Memory0]\nLightMode=9\n");
    for (int i = 0; i < 2048; ++i) {
        const char c = char((i * 31 + 7) % 256);
        if (c != '@' && c != '\\')
            junk.append(c);
    }
    writeFile(store.profileFilePath(0), junk);

    HWData data = sampleProfile();
    data.memoryData[0].lightMode = 20; // keeps the key that could be read
    QVERIFY(writeProfileOk(store, 0, data));
    const HWData read = readBackProfile(store, 0);
    QCOMPARE(read.memoryData[0].lightMode, 9);
    QCOMPARE(read.memoryData[7].lightMode, 17);
    QCOMPARE(read.memoryData[7].rgb[11], data.memoryData[7].rgb[11]);

    QSettings check(store.profileFilePath(0), QSettings::IniFormat);
    check.allKeys();
    QCOMPARE(check.status(), QSettings::NoError);
}

void TestProfileRW::killedWriterNeverLeavesADamagedFile()
{
    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/veltrima_store_writer");
    QVERIFY(QFile::exists(writer));
    Profile_RW store(base());

    for (int round = 0; round < 8; ++round) {
        QProcess process;
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(writer, {base()});
        QVERIFY(process.waitForStarted());
        QVERIFY(process.waitForReadyRead(30000));
        // Long enough for hundreds of saves, with the kill landing anywhere in one.
        QTest::qWait(150 + round * 37);
        process.kill();
        QVERIFY(process.waitForFinished(30000));

        for (const QString &path : {store.deviceFilePath(), store.profileFilePath(0)}) {
            QSettings settings(path, QSettings::IniFormat);
            settings.allKeys();
            QCOMPARE(settings.status(), QSettings::NoError);
        }
        // Each file holds one whole state, never a mixture or a part.
        const HWData device = readBackDevice(store);
        QVERIFY(device.settingData.language == 1 || device.settingData.language == 2);
        QCOMPARE(device.selectProfile, device.settingData.language);
        const HWData profile = readBackProfile(store, 0);
        const int variant = profile.memoryData[0].lightMode - 2;
        QVERIFY(variant == 1 || variant == 2);
        for (const MemoryModuleData &module : profile.memoryData) {
            QCOMPARE(module.lightMode, variant + 2);
            QCOMPARE(module.rgb[11], rgbColor(variant * 10, variant * 20, variant * 30));
            QCOMPARE(module.singleBright, variant == 1 ? 0.25f : 0.75f);
        }
    }
    // A lock left by the killed writer does not stop the next save.
    QVERIFY(writeProfileOk(store, 0, sampleProfile()));
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QCOMPARE(readBackProfile(store, 0).memoryData[7].lightMode, 17);
}

void TestProfileRW::serialisedValuesAreRecognised_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("safe");
    QTest::newRow("own profile") << QByteArray("[Memory0]\nRColor=\"255,0\"\nSBright=0.5\n") << true;
    QTest::newRow("value") << QByteArray("a=@Variant(x)\n") << false;
    QTest::newRow("quoted value") << QByteArray("a=  \"@Variant(x)\"\n") << false;
    QTest::newRow("after empty quotes") << QByteArray("a=\"\"@Variant(x)\n") << false;
    QTest::newRow("list element") << QByteArray("a=1, @Variant(x)\n") << false;
    QTest::newRow("line without key") << QByteArray("[x]\n@Variant(x)\n") << false;
    QTest::newRow("hex escape") << QByteArray("a=\\x40Variant(x)\n") << false;
    QTest::newRow("octal escape") << QByteArray("a=\\100Variant(x)\n") << false;
    QTest::newRow("continued line") << QByteArray("a=\\\n@Variant(x)\n") << false;
    QTest::newRow("escaped at") << QByteArray("a=@@Variant(x)\n") << true;
    QTest::newRow("inside text") << QByteArray("a=mail@example\n") << true;
    QTest::newRow("inside quotes after a comma") << QByteArray("a=\"x, @y = @z\"\n") << true;
    QTest::newRow("quoted blank first") << QByteArray("a=\" @y\"\n") << true;
    QTest::newRow("long hex escape") << QByteArray("a=x\\x10040\n") << false;
    QTest::newRow("other escapes") << QByteArray("a=\\x41\\t\\101\\n\\\"\n") << true;
    QTest::newRow("escaped backslash") << QByteArray("a=\"c:\\\\x1\"\n") << true;
}

void TestProfileRW::serialisedValuesAreRecognised()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, safe);
    QCOMPARE(IniFileGuard::isSafe(text), safe);
}

void TestProfileRW::filesWithSerialisedValuesAreRefused()
{
    // A list claiming 2^31 entries: parsed by QSettings it would ask for 16 GB.
    const QByteArray bomb("LightMode=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n");
    Profile_RW store(base());
    writeFile(store.profileFilePath(1), "[Memory0]\nLightMode=7\n" + bomb);
    QCOMPARE(readBackProfile(store, 1).memoryData[0].lightMode, 5);

    writeFile(store.deviceFilePath(), "[Main]\nLanguage=4\nProfile=\\x40Variant(x)\n[DebugMode]\nisDebugMode=1\n");
    QCOMPARE(readBackDevice(store).settingData.language, 0);
    QVERIFY(!store.checkDebugMode());

    // Saving replaces the refused file and keeps it aside for the user.
    QVERIFY(writeProfileOk(store, 1, sampleProfile()));
    QVERIFY(QFile::exists(store.profileFilePath(1) + QStringLiteral(".unsafe")));
    QCOMPARE(readBackProfile(store, 1).memoryData[0].lightMode, 10);
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QCOMPARE(readBackDevice(store).settingData.language, 3);

    // Messages of the error log are text, whatever characters they hold.
    writeFile(store.deviceFilePath(), "[DebugMode]\nisDebugMode=1\n");
    QVERIFY(store.checkDebugMode());
    const QStringList messages = {QStringLiteral("@Variant(x)"), QStringLiteral("a, @b = @c"), QStringLiteral("c:\\x41"),
                                  QStringLiteral("tab\there")};
    for (const QString &message : messages)
        store.writeErrorLog(message);
    QVERIFY(!QFile::exists(store.errorLogFilePath() + QStringLiteral(".unsafe")));
    QSettings settings(store.errorLogFilePath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.beginGroup(QStringLiteral("Debug"));
    QStringList values;
    for (const QString &key : settings.childKeys())
        values << settings.value(key).toString();
    values.sort();
    QStringList expected = messages;
    expected.sort();
    QCOMPARE(values, expected);
}

void TestProfileRW::lightModesPastTheNamedOnesAreKept()
{
    // The engine gives every mode number from 36 on a meaning of its own (the frame rotates).
    Profile_RW store(base());
    HWData data = sampleProfile();
    data.memoryData[0].lightMode = 36;
    data.memoryData[1].lightMode = 99;
    data.memoryData[2].lightMode = std::numeric_limits<std::int32_t>::max();
    QVERIFY(writeProfileOk(store, 2, data));
    const HWData read = readBackProfile(store, 2);
    for (int m = 0; m < 3; ++m)
        QCOMPARE(read.memoryData[m].lightMode, data.memoryData[m].lightMode);

    writeFile(store.profileFilePath(3), "[Memory0]\nLightMode=40\n[Memory1]\nLightMode=-3\n");
    const HWData edited = readBackProfile(store, 3);
    QCOMPARE(edited.memoryData[0].lightMode, 40);
    QCOMPARE(edited.memoryData[1].lightMode, 5);
}

void TestProfileRW::filesThatAreNotSmallRegularFilesAreMovedAside()
{
    Profile_RW store(base());
    QElapsedTimer clock;

    // Just over the bound, with a readable start: refused whole, not read in part.
    QByteArray large("[Memory0]\nLightMode=9\n");
    while (large.size() <= 1024 * 1024)
        large.append("; padding that an editor or a runaway writer left behind\n");
    writeFile(store.profileFilePath(1), large);
    QCOMPARE(readBackProfile(store, 1).memoryData[0].lightMode, 5);
    QVERIFY(!QFile::exists(store.profileFilePath(1)));
    QCOMPARE(QFileInfo(store.profileFilePath(1) + QStringLiteral(".too-large")).size(), qint64(large.size()));
    QVERIFY(writeProfileOk(store, 1, sampleProfile()));
    QVERIFY(QFileInfo(store.profileFilePath(1)).size() < 16 * 1024);
    QCOMPARE(readBackProfile(store, 1).memoryData[0].lightMode, 10);

    // 100 MB (sparse, so the test costs no disk): start-up and saves stay quick.
    {
        QFile device(store.deviceFilePath());
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(device.resize(100 * 1024 * 1024));
    }
    clock.start();
    QCOMPARE(store.checkDebugMode(), false);
    const HWData device = readBackDevice(store);
    QCOMPARE(device.settingData.isAutoUpdate, true); // moved aside: a fresh installation's values
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(QFileInfo(store.deviceFilePath()).size() < 16 * 1024);
    QVERIFY(QFile::exists(store.deviceFilePath() + QStringLiteral(".too-large")));
    QCOMPARE(readBackDevice(store).settingData.language, 3);

    // A FIFO would hold the reader until some writer came.
    const QString fifo = store.deviceFilePath();
    QVERIFY(QFile::remove(fifo));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::future<int> language = std::async(std::launch::async, [&store] {
        Profile_RW reader(store.baseDirectory());
        return readBackDevice(reader).settingData.language;
    });
    if (language.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        const int unblock = open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        ::close(unblock);
        language.wait();
        QFAIL("reading the device file waited for a writer of the FIFO");
    }
    QCOMPARE(language.get(), 0);
    QVERIFY(QFileInfo(fifo + QStringLiteral(".not-a-file")).exists());
    QVERIFY(writeDeviceOk(store, sampleDevice()));
    QCOMPARE(readBackDevice(store).settingData.language, 3);

    // A folder where a profile belongs.
    QVERIFY(QDir().mkpath(store.profileFilePath(2)));
    QCOMPARE(readBackProfile(store, 2).memoryData[0].lightMode, 5);
    QVERIFY(writeProfileOk(store, 2, sampleProfile()));
    QCOMPARE(readBackProfile(store, 2).memoryData[0].lightMode, 10);
}

QTEST_GUILESS_MAIN(TestProfileRW)
#include "tst_Profile_RW.moc"
