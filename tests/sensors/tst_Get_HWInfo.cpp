// The hardware reader against the scenario sensor library.
#include "Get_HWInfo.h"
#include "ScenarioFixture.h"
#include "SensorLibraryRegistration.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QLoggingCategory>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <memory>
#include <optional>

namespace {

QJsonObject module(int index, const QString &maker, int size = 16384)
{
    QJsonObject m{{"index", index}, {"size", size}, {"type", "DDR5"}, {"text", QStringLiteral("DIMM_%1").arg(index)},
                  {"partNumber", QStringLiteral("VCR5R022D-%1").arg(index)}, {"frequency", 2400}};
    if (!maker.isNull())
        m.insert("manufacturer", maker);
    return m;
}

QJsonObject reading(const QString &label, const QJsonValue &value, const QString &unit = QString())
{
    QJsonObject r{{"label", label}, {"value", value}};
    if (!unit.isEmpty())
        r.insert("unit", unit);
    return r;
}

QJsonObject sensor(const QString &name, const QJsonArray &temperatures, const QJsonArray &others = {})
{
    return QJsonObject{{"name", name}, {"temperatures", temperatures}, {"readings", others}};
}

QJsonValue perScan(std::initializer_list<double> values, bool loop = false)
{
    QJsonArray list;
    for (double v : values)
        list.append(v);
    return QJsonObject{{"scan", list}, {"loop", loop}};
}

QByteArray scenario(const QJsonArray &modules, const QJsonArray &sensors, const QJsonObject &board = {})
{
    return QJsonDocument(QJsonObject{{"board", board}, {"modules", modules}, {"sensors", sensors}}).toJson();
}

QByteArray makers(const QStringList &perIndex, const QString &chipset = QStringLiteral("Orrin Q7 Platform Hub"))
{
    QJsonArray modules;
    for (int i = 0; i < perIndex.size(); ++i) {
        if (perIndex.at(i) != QLatin1String("-"))
            modules.append(module(i, perIndex.at(i)));
    }
    return scenario(modules, {}, QJsonObject{{"chipset", chipset}});
}

QString text(const char (&field)[kTextSize])
{
    return QString::fromUtf8(field, int(textLength(field)));
}

// What the scenario library tells tests about the calls it received.
class ScenarioProbe
{
public:
    ScenarioProbe()
        : m_handle(dlopen(ScenarioFixture::library("veltrima-sensors-scenario.so").toLocal8Bit().constData(), RTLD_NOW))
    {
    }
    ~ScenarioProbe()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    int call(const char *symbol) const
    {
        auto function = m_handle ? reinterpret_cast<int (*)()>(dlsym(m_handle, symbol)) : nullptr;
        return function ? function() : -100;
    }

private:
    void *m_handle;
};

} // namespace

class TestGetHWInfo : public QObject
{
    Q_OBJECT

private:
    // Starts a reader on this thread and stops its timer, so scans run only when asked.
    std::unique_ptr<Get_HWInfo> startReader(const QByteArray &json, bool expectReady = true)
    {
        m_fixture->play(json);
        auto reader = std::make_unique<Get_HWInfo>();
        QSignalSpy status(reader.get(), &Get_HWInfo::sendInitStatus);
        reader->initHWInfo();
        reader->stopScans();
        [&] { QCOMPARE(status.count(), 1); QCOMPARE(status.first().first().toBool(), expectReady); }();
        return reader;
    }

    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<ScenarioFixture> m_fixture;
    std::unique_ptr<ScenarioProbe> m_probe;
    QStringList m_boxes;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        m_environment = std::make_unique<TestEnvironment>();
        m_fixture = std::make_unique<ScenarioFixture>(*m_environment);
        m_probe = std::make_unique<ScenarioProbe>();
        QVERIFY(!TestEnvironment::binDir().isEmpty());
        Get_HWInfo::setMessagePresenter([this](const QString &text, const QString &caption) {
            m_boxes.append(text + QLatin1Char('/') + caption);
        });
    }

    void init()
    {
        m_boxes.clear();
        cpuSensorFound = false;
    }

    void cleanupTestCase() { Get_HWInfo::setMessagePresenter(nullptr); }

    void keepsOnlyTheMakersModulesWithoutGhosts()
    {
        // Another maker at 0 and 2, lower case at 4, no readable manufacturer at 5,
        // another maker last: only 1 and 3 are kept, and nothing of the others remains.
        QJsonArray modules{module(0, "Orbelle"), module(1, "Vandercrest"), module(2, "Kestin"), module(3, "Vandercrest Ltd"),
                           module(4, "vandercrest"), module(5, QString()), module(6, "Muranet")};
        QJsonArray dimms{reading("DIMM[0] Temperature", 71.0), reading("DIMM[3] Temperature", 41.9),
                         reading("DIMM[6] Temperature", 88.0)};
        auto reader = startReader(scenario(modules, {sensor("DDR5 DIMM sensors", dimms)}));
        const HWData data = reader->snapshot();

        QCOMPARE(data.memoryCount, 2);
        QCOMPARE(data.memoryData[0].memorySlot, 1);
        QCOMPARE(data.memoryData[1].memorySlot, 3);
        QCOMPARE(text(data.memoryData[1].manufacturer), QStringLiteral("Vandercrest Ltd"));
        QCOMPARE(data.memoryIndex[0], 0);
        QCOMPARE(data.memoryIndex[1], 1);
        for (int k = 2; k < kModuleCount; ++k) {
            QCOMPARE(data.memoryIndex[k], -1);
            QCOMPARE(data.memoryData[k].memoryModuleSize, -1);
            QCOMPARE(data.memoryData[k].memorySlot, -1);
            QCOMPARE(data.memoryData[k].temperature, -1);
            QCOMPARE(text(data.memoryData[k].manufacturer), QStringLiteral("N/A"));
        }
        QCOMPARE(data.memoryData[0].temperature, -1);
        QCOMPARE(data.memoryData[1].temperature, 41);
    }

    void countsSlotsByChipsetAndModules_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("slotCount");
        const QString v = QStringLiteral("Vandercrest");
        QTest::newRow("X299, two modules") << makers({v, v}, "X299 Platform Hub") << 8;
        QTest::newRow("TRX40 in lower case") << makers({v, v}, "trx40 platform") << 8;
        QTest::newRow("another chipset, two modules") << makers({v, v}) << 4;
        QTest::newRow("another chipset, four modules") << makers({v, v, v, v}) << 4;
        QTest::newRow("another chipset, five modules") << makers({v, v, v, v, v}) << 8;
        QTest::newRow("no modules") << makers({}) << 4;
    }

    void countsSlotsByChipsetAndModules()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, slotCount);
        auto reader = startReader(json);
        QCOMPARE(reader->snapshot().slotCount, slotCount);
    }

    // The user interface keeps the slot count of the first record it is given, so the
    // discovery's scan must not be published before the slot count is known.
    void publishesTheFirstScanWithItsSlotCount()
    {
        m_fixture->play(makers({"Vandercrest", "Vandercrest"}, "X299 Platform Hub"));
        Get_HWInfo reader;
        QVector<int> published;
        connect(&reader, &Get_HWInfo::doneScanComputer, &reader,
                [&reader, &published] { published.append(reader.snapshot().slotCount); }, Qt::DirectConnection);
        QSignalSpy discovery(&reader, &Get_HWInfo::initInfoStatus);
        reader.initHWInfo();
        reader.stopScans();
        QCOMPARE(published, QVector<int>{8});
        QCOMPARE(discovery.count(), 1);
        QCOMPARE(discovery.first().first().value<HWData>().slotCount, 8);
        QCOMPARE(discovery.first().first().value<HWData>().memoryCount, 2);
    }

    void keepsAtMostEightModules()
    {
        QStringList all;
        for (int i = 0; i < 16; ++i)
            all.append(QStringLiteral("Vandercrest"));
        auto reader = startReader(makers(all));
        const HWData data = reader->snapshot();
        QCOMPARE(data.memoryCount, 8);
        QCOMPARE(data.memoryData[7].memorySlot, 7);
        QCOMPARE(data.slotCount, 8);
    }

    void readsModuleDetailsAndBoardValues()
    {
        QJsonObject m = module(2, "Vandercrest");
        m.insert("partNumber", QString(100, QLatin1Char('P')));
        m.remove("type");
        QJsonObject board{{"clock", 1600.5}, {"infoText", "Board X"}, {"chipset", "Orrin Q7 Platform Hub"}, {"casLatency", 36.0},
                          {"tRCD", 38}, {"timing3", 39}, {"timing4", 76}, {"channelCount", 2}};
        auto reader = startReader(scenario({m}, {}, board));
        const HWData data = reader->snapshot();
        const MemoryModuleData &entry = data.memoryData[0];
        QCOMPARE(entry.memoryModuleSize, 16384);
        QCOMPARE(entry.frequency, 2400.0);
        QCOMPARE(text(entry.moduleText), QStringLiteral("DIMM_2"));
        QCOMPARE(text(entry.partNumber), QString(63, QLatin1Char('P')));
        QCOMPARE(text(entry.memoryType), QStringLiteral("N/A")); // a failed text call keeps the field
        QCOMPARE(data.clock, 1600.5);
        QCOMPARE(text(data.memoryInfoText), QStringLiteral("Board X"));
        QCOMPARE(text(data.chipset), QStringLiteral("Orrin Q7 Platform Hub"));
        QCOMPARE(data.casLatency, 36.0);
        QCOMPARE(data.tRCD, 38);
        QCOMPARE(data.timing3, 39);
        QCOMPARE(data.timing4, 76);
        QCOMPARE(data.channelCount, 2);
    }

    void usesTheMotherboardCpuReadingOnlyUntilACpuSensorIsSeen()
    {
        auto reader = startReader(scenario({}, {sensor("Motherboard: board controller", {reading("CPU", 45.0)})}));
        QCOMPARE(reader->snapshot().cpuTemperature, 45);
        reader.reset(); // the library is one per process: its shutdown ends the earlier reader's session

        QJsonArray sensors{sensor("Motherboard: board controller", {reading("CPU", perScan({45, 45, 60}))}),
                           sensor("CPU [#0]: Intel Sample 8-Core", {reading("Core Max", 70.0), reading("CPU Package", perScan({52, 52, 50}))})};
        reader = startReader(scenario({}, sensors));
        QSignalSpy temps(reader.get(), &Get_HWInfo::sendTemp);
        QCOMPARE(reader->snapshot().cpuTemperature, 52);
        QVERIFY(cpuSensorFound);
        reader->updateData();
        reader->updateData();
        QCOMPARE(reader->snapshot().cpuTemperature, 50);
        QCOMPARE(temps.last().first().toInt(), 50);
    }

    void takesTctlNotPackageFromAnAmdCpu()
    {
        QJsonArray sensors{sensor("CPU [#0]: AMD Sample 16-Core", {reading("CPU Package", 80.0), reading("CPU (Tctl/Tdie)", 61.9)})};
        auto reader = startReader(scenario({}, sensors));
        QCOMPARE(reader->snapshot().cpuTemperature, 61);
    }

    void creditsDimmTemperaturesThroughTheModuleMap()
    {
        QJsonArray modules{module(0, "Vandercrest"), module(2, "Vandercrest"), module(5, "Vandercrest")};
        QJsonArray dimms{reading("DIMM[2] Temperature", 38.7), reading("DIMM[x] Temperature", 90.0),
                         reading("DIMM Temperature", 91.0), reading("dimm[5] temperature", 40.2),
                         reading("DIMM[4] Temperature", 92.0)};
        auto reader = startReader(scenario(modules, {sensor("DIMM sensors", dimms)}));
        const HWData data = reader->snapshot();
        QCOMPARE(data.memoryData[0].temperature, -1);
        QCOMPARE(data.memoryData[1].temperature, 38);
        QCOMPARE(data.memoryData[2].temperature, 40);
    }

    void skipsDrivesAndTheirOtherSensors()
    {
        QJsonArray sensors{sensor("S.M.A.R.T.: Disk A", {reading("CPU", 99.0)}),
                           sensor("Drive: Disk A", {reading("CPU", 98.0)}, {reading("Physical Memory Load", 99.0)}),
                           sensor("S.M.A.R.T.: ", {reading("CPU", 97.0)}),
                           sensor("Motherboard", {reading("CPU", 40.0)})};
        auto reader = startReader(scenario({}, sensors));
        QSignalSpy scans(reader.get(), &Get_HWInfo::doneScanComputer);
        reader->updateData();
        // An empty drive name must not become the marker, or the motherboard would be skipped too.
        QCOMPARE(reader->snapshot().cpuTemperature, 40);
        QCOMPARE(reader->snapshot().physicalMemoryLoad, -1.0);
        QCOMPARE(scans.first().first().toStringList(), QStringList{QStringLiteral("Device = CPU, temp = 40")});
    }

    void readsMemoryUseAndListsEveryReading()
    {
        QJsonArray sensors{sensor("CPU [#0]: Intel Sample 6-Core", {reading("CPU Package", 52.25)}),
                           sensor("System: Memory", {},
                                  {reading("Physical Memory Used", 12345.75, "MB"), reading("Physical Memory Available", 20422.5, "MB"),
                                   reading("Physical Memory Load", 37.6875, "%")})};
        auto reader = startReader(scenario({}, sensors));
        QSignalSpy scans(reader.get(), &Get_HWInfo::doneScanComputer);
        QSignalSpy temps(reader.get(), &Get_HWInfo::sendTemp);
        reader->updateData();
        const HWData data = reader->snapshot();
        QCOMPARE(data.physicalMemoryUsed, 12345);
        QCOMPARE(data.physicalMemoryAvailable, 20422);
        QCOMPARE(data.physicalMemoryLoad, 37.6875);
        const QStringList expected{
            QStringLiteral("Device = CPU Package, temp = 52.25"),
            QStringLiteral("reading_desc_buf = Physical Memory Used, reading_resol_buf = 12345.8MB"),
            QStringLiteral("reading_desc_buf = Physical Memory Available, reading_resol_buf = 20422.5MB"),
            QStringLiteral("reading_desc_buf = Physical Memory Load, reading_resol_buf = 37.6875%")};
        QCOMPARE(scans.first().first().toStringList(), expected);
        QCOMPARE(temps.first().first().toInt(), 52);
    }

    void reportsNothingWhenThereAreNoReadings()
    {
        auto reader = startReader(makers({"Vandercrest", "Vandercrest"}));
        QSignalSpy temps(reader.get(), &Get_HWInfo::sendTemp);
        reader->updateData();
        const HWData data = reader->snapshot();
        for (const MemoryModuleData &entry : data.memoryData)
            QCOMPARE(entry.temperature, -1);
        QCOMPARE(data.cpuTemperature, 0);
        QCOMPARE(temps.first().first().toInt(), 0);
    }

    // A reading that a later scan no longer finds leaves nothing of its old value behind.
    void forgetsReadingsThatAreGone()
    {
        const QJsonObject firstScanOnly{{"scan", QJsonArray{55.5, QJsonValue()}}};
        const QJsonObject dimmFirstScanOnly{{"scan", QJsonArray{41.2, QJsonValue()}}};
        QJsonArray sensors{sensor("CPU [#0]: Intel Sample 8-Core", {reading("CPU Package", firstScanOnly)}),
                           sensor("DIMM sensors", {reading("DIMM[0] Temperature", dimmFirstScanOnly),
                                                   reading("DIMM[1] Temperature", 42.0)})};
        auto reader = startReader(scenario({module(0, "Vandercrest"), module(1, "Vandercrest")}, sensors));
        HWData data = reader->snapshot();
        QCOMPARE(data.cpuTemperature, 55);
        QCOMPARE(data.memoryData[0].temperature, 41);
        QCOMPARE(data.memoryData[1].temperature, 42);

        QSignalSpy temps(reader.get(), &Get_HWInfo::sendTemp);
        reader->updateData();
        data = reader->snapshot();
        QCOMPARE(data.cpuTemperature, 0);
        QCOMPARE(temps.first().first().toInt(), 0);
        QCOMPARE(data.memoryData[0].temperature, -1);
        QCOMPARE(data.memoryData[1].temperature, 42);
    }

    void keepsLedCountsAcrossScans()
    {
        auto reader = startReader(makers({"Vandercrest", "Vandercrest"}));
        reader->slot_LedNum(1, 5);
        reader->slot_LedNum(8, 12);
        reader->slot_LedNum(-1, 12);
        reader->updateData();
        QSignalSpy messages(reader.get(), &Get_HWInfo::sendMessage);
        reader->requestUpdateData();
        const HWData data = messages.first().first().value<HWData>();
        QCOMPARE(data.memoryData[1].ledNum, 5);
        QCOMPARE(data.memoryData[0].ledNum, 0);
    }

    void showsTheLoadFailureOncePerRun()
    {
        m_fixture->registerLibrary(m_environment->root() + QStringLiteral("/no-such-library.so"));
        Get_HWInfo reader;
        QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
        QSignalSpy errors(&reader, &Get_HWInfo::writeErrorLog);
        reader.initHWInfo();
        reader.initHWInfo();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("HWInfo LOAD Failure/Error")});
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.at(1).first().toBool(), false);
        QCOMPARE(errors.count(), 2);

        // One missing entry point, called or not, is as bad as a missing file; the box is
        // not repeated.
        for (const char *library : {"veltrima-sensors-broken.so", "veltrima-sensors-broken-readings.so"}) {
            m_fixture->registerLibrary(ScenarioFixture::library(library));
            Get_HWInfo broken;
            QSignalSpy brokenStatus(&broken, &Get_HWInfo::sendInitStatus);
            QSignalSpy scans(&broken, &Get_HWInfo::doneScanComputer);
            broken.initHWInfo();
            QVERIFY2(QFileInfo::exists(ScenarioFixture::library(library)), library);
            QCOMPARE(brokenStatus.count(), 1);
            QVERIFY2(!brokenStatus.first().first().toBool(), library);
            QCOMPARE(m_boxes.size(), 1);
            broken.updateData();
            QCOMPARE(scans.count(), 0);
            QCOMPARE(broken.snapshot().memoryCount, -1);
        }
    }

    void bindsNothingButASensorLibrary()
    {
        SensorLibrary library;
        QVERIFY(!library.load(QString())); // would otherwise bind the program itself
        QVERIFY(!library.isLoaded());
        QVERIFY(!library.load(ScenarioFixture::library("veltrima-sensors-broken-readings.so")));
        QVERIFY(library.errorString().contains(QLatin1String("ordinal_475")));
        QVERIFY(library.load(ScenarioFixture::library("veltrima-sensors-scenario.so")));
        QVERIFY(library.otherReading != nullptr);
        library.unload();
        QVERIFY(library.otherReading == nullptr);
    }

    void showsTheInitFailureAndDoesNotScan()
    {
        QJsonObject failing = QJsonDocument::fromJson(makers({"Vandercrest"})).object();
        failing.insert("initResult", 7);
        auto reader = startReader(QJsonDocument(failing).toJson(), false);
        QCOMPARE(m_boxes, QStringList{QStringLiteral("HWInfo Init Failure/Error")});
        QCOMPARE(reader->snapshot().memoryCount, -1);

        // The scenario library without a scenario refuses to start as well.
        m_fixture->registerLibrary(ScenarioFixture::library("veltrima-sensors-scenario.so"));
        Get_HWInfo bare;
        QSignalSpy status(&bare, &Get_HWInfo::sendInitStatus);
        bare.initHWInfo();
        QCOMPARE(status.first().first().toBool(), false);
        QCOMPARE(m_boxes.size(), 2);
    }

    // The control program retries a failed start every 5 s; the box must not pile up.
    void showsTheInitFailureOncePerRun()
    {
        QJsonObject failing = QJsonDocument::fromJson(makers({"Vandercrest"})).object();
        failing.insert("initResult", 7);
        m_fixture->play(QJsonDocument(failing).toJson());
        Get_HWInfo reader;
        QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
        QSignalSpy errors(&reader, &Get_HWInfo::writeErrorLog);
        for (int retry = 0; retry < 3; ++retry)
            reader.initHWInfo();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("HWInfo Init Failure/Error")});
        QCOMPARE(status.count(), 3);
        for (const QList<QVariant> &arguments : status)
            QCOMPARE(arguments.first().toBool(), false);
        QCOMPARE(errors.count(), 3);
    }

    // Paths of the registration are the user's to edit: a FIFO must not hold the reader,
    // a device or a huge file must not make it read without end.
    void refusesPathsThatAreNotSmallRegularFiles()
    {
        const QString fifo = m_environment->root() + QStringLiteral("/sensors.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString huge = m_environment->root() + QStringLiteral("/huge.json");
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(64 * 1024 * 1024)); // sparse
        }
        const QString scenarioLibrary = ScenarioFixture::library("veltrima-sensors-scenario.so");
        const QList<QPair<QString, QString>> registrations = {
            {scenarioLibrary, fifo}, {scenarioLibrary, QStringLiteral("/dev/zero")}, {scenarioLibrary, huge},
            {fifo, QString()}};
        for (const auto &registration : registrations) {
            m_fixture->registerLibrary(registration.first, registration.second);
            QElapsedTimer clock;
            clock.start();
            // On another thread, so that a reader held by the FIFO can be freed by opening
            // its other end instead of hanging the test.
            std::future<bool> ready = std::async(std::launch::async, [] {
                Get_HWInfo reader;
                QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
                reader.initHWInfo();
                return status.count() != 1 || status.first().first().toBool();
            });
            if (ready.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
                ::close(open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
                ready.wait();
                QFAIL(qPrintable(QStringLiteral("the reader waited on ") + registration.first + QLatin1Char(' ')
                                 + registration.second));
            }
            QVERIFY2(!ready.get(), qPrintable(registration.second));
            QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        }
    }

    void refusesARegistrationQSettingsWouldDeserialise()
    {
        const QString file = SensorLibraryRegistration::registrationFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        QFile registration(file);
        QVERIFY(registration.open(QIODevice::WriteOnly | QIODevice::Truncate));
        registration.write("[Sensors]\nLibrary=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\nConfig=x\n");
        registration.close();
        const SensorLibraryRegistration found = SensorLibraryRegistration::find(QStringLiteral("/opt/programs"));
        QCOMPARE(found.libraryPath(),
                 QStringLiteral("/opt/programs/") + SensorLibraryRegistration::defaultLibraryName());
        QVERIFY(QFile::remove(file));
    }

    void refusesADamagedScenario()
    {
        startReader("{\"modules\": [{\"index\": 99, \"size\": 1}]}", false);
        startReader("{\"sensors\": [{\"name\": \"CPU\", \"temperatures\": [{\"label\": \"CPU\", \"value\": \"hot\"}]}]}", false);
        startReader("not json", false);
        QCOMPARE(m_boxes.size(), 3);
    }

    void playsTheDemoMachine()
    {
        QFile demo(TestEnvironment::binDir() + QStringLiteral("/sensor-scenarios/demo.json"));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        auto reader = startReader(demo.readAll());
        const HWData data = reader->snapshot();
        QCOMPARE(data.memoryCount, 4);
        QCOMPARE(data.slotCount, 4);
        for (int k = 0; k < 4; ++k) {
            QVERIFY(text(data.memoryData[k].partNumber).contains(QLatin1String("R022D")));
            QCOMPARE(text(data.memoryData[k].memoryType), QStringLiteral("DDR5"));
            QVERIFY(data.memoryData[k].temperature >= 30 && data.memoryData[k].temperature <= 50);
        }
        QVERIFY(data.cpuTemperature >= 40 && data.cpuTemperature <= 70);
        QVERIFY(cpuSensorFound); // from the CPU's own sensor, not the board's
        QVERIFY(data.physicalMemoryLoad > 0 && data.physicalMemoryLoad < 100);
        QVERIFY(data.physicalMemoryUsed + data.physicalMemoryAvailable > 60000);
    }

    void passesTheDebugFlagsToTheLibrary()
    {
        m_fixture->play(makers({}));
        Get_HWInfo reader;
        reader.initHWInfo();
        QCOMPARE(m_probe->call("veltrima_scenario_init_flags"), 64);
        reader.setDebugModes(true, false);
        reader.initHWInfo();
        QCOMPARE(m_probe->call("veltrima_scenario_init_flags"), 64);
        reader.setDebugModes(true, true);
        reader.initHWInfo();
        QCOMPARE(m_probe->call("veltrima_scenario_init_flags"), 1);
        reader.stopScans();
    }

    // On its own thread, as the control program runs it: scans on the timer, copies
    // taken from this thread are whole records, and the library is shut down last.
    void runsOnItsThreadAndNeverHandsOutATornRecord()
    {
        QJsonArray sensors{sensor("CPU [#0]: Intel Sample 6-Core", {reading("CPU Package", perScan({10, 20, 30, 40, 50, 60, 70, 80, 90}, true))}),
                           sensor("System: Memory", {},
                                  {reading("Physical Memory Used", perScan({1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000}, true)),
                                   reading("Physical Memory Available", perScan({99000, 98000, 97000, 96000, 95000, 94000, 93000, 92000, 91000}, true))})};
        m_fixture->play(scenario({module(0, "Vandercrest")}, sensors));
        const int shutdownsBefore = m_probe->call("veltrima_scenario_shutdown_count");

        QThread thread;
        auto *reader = new Get_HWInfo;
        reader->moveToThread(&thread);
        // Counted where they are emitted: a QSignalSpy is not meant to be filled from another thread.
        std::atomic<int> discoveries{0};
        std::atomic<int> scans{0};
        QObject::connect(reader, &Get_HWInfo::initInfoStatus, reader, [&discoveries] { ++discoveries; }, Qt::DirectConnection);
        QObject::connect(reader, &Get_HWInfo::doneScanComputer, reader, [&scans] { ++scans; }, Qt::DirectConnection);
        thread.start();
        QMetaObject::invokeMethod(reader, "initHWInfo", Qt::QueuedConnection);
        QTRY_COMPARE_WITH_TIMEOUT(discoveries.load(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(scans >= 2, 10000); // the first timed scan follows the discovery's

        for (int i = 0; i < 300; ++i)
            QMetaObject::invokeMethod(reader, "updateData", Qt::QueuedConnection);
        HWData copy;
        QObject::connect(reader, &Get_HWInfo::sendMessage, reader, [&copy](const HWData &data) { copy = data; },
                         Qt::DirectConnection);
        int checked = 0;
        while (scans < 300) {
            reader->requestUpdateData();
            QCOMPARE(copy.physicalMemoryUsed + copy.physicalMemoryAvailable, 100000);
            QCOMPARE(copy.cpuTemperature * 100, copy.physicalMemoryUsed);
            reader->slot_LedNum(0, 5);
            ++checked;
            QCoreApplication::processEvents();
        }
        QVERIFY(checked > 0);
        QCOMPARE(reader->snapshot().memoryData[0].ledNum, 5);

        QMetaObject::invokeMethod(reader, "stopScans", Qt::BlockingQueuedConnection);
        thread.quit();
        QVERIFY(thread.wait(10000));
        QCOMPARE(m_probe->call("veltrima_scenario_shutdown_count"), shutdownsBefore);
        delete reader;
        QCOMPARE(m_probe->call("veltrima_scenario_shutdown_count"), shutdownsBefore + 1);
    }
};

QTEST_GUILESS_MAIN(TestGetHWInfo)
#include "tst_Get_HWInfo.moc"
