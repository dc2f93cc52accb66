// The Linux sensor library: its readers on fixture trees, the whole library through
// the hardware reader, and this machine's memory use against `free`.
#include "BoardReader.h"
#include "Get_HWInfo.h"
#include "HwmonReader.h"
#include "MeminfoReader.h"
#include "ScenarioFixture.h"
#include "SmbiosReader.h"
#include "SysfsTree.h"
#include "TestEnvironment.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <memory>

namespace {

struct Type17 {
    quint16 size;
    quint8 type;
    quint16 speed;
    quint16 configuredSpeed;
    QByteArray locator;
    QByteArray manufacturer;
    QByteArray partNumber;
    quint32 extendedSize = 0;
};

void putWord(QByteArray &data, int offset, quint16 value)
{
    data[offset] = char(value & 0xFF);
    data[offset + 1] = char(value >> 8);
}

// An SMBIOS 3.x memory device structure (0x28 bytes formatted) with its strings.
QByteArray memoryDevice(const Type17 &d, quint16 handle)
{
    QByteArray s(0x28, '\0');
    s[0] = 17;
    s[1] = 0x28;
    putWord(s, 2, handle);
    putWord(s, 0x0C, d.size);
    s[0x12] = char(d.type);
    putWord(s, 0x15, d.speed);
    putWord(s, 0x1C, quint16(d.extendedSize & 0xFFFF));
    putWord(s, 0x1E, quint16(d.extendedSize >> 16));
    putWord(s, 0x20, d.configuredSpeed);
    // Strings are numbered from 1; an absent one has number 0 and is not in the set.
    QByteArray strings;
    int number = 0;
    for (const auto &field : {qMakePair(0x10, d.locator), qMakePair(0x17, d.manufacturer), qMakePair(0x1A, d.partNumber)}) {
        if (field.second.isEmpty())
            continue;
        s[field.first] = char(++number);
        strings += field.second + '\0';
    }
    return s + (strings.isEmpty() ? QByteArray(2, '\0') : strings + '\0');
}

QByteArray otherStructure(quint8 type)
{
    QByteArray s(4, '\0');
    s[0] = char(type);
    s[1] = 4;
    return s + QByteArray("Vendor\0\0", 8);
}

// Four DDR4 slots, the first empty, then the maker's modules in slots 1 and 3.
QByteArray fourSlotTable()
{
    QByteArray table = otherStructure(0);
    table += memoryDevice({0, 0x02, 0, 0, "DIMM_A1", "", ""}, 0x40);
    table += memoryDevice({8192, 0x1A, 3200, 3000, "DIMM_A2", "Vandercrest", "VCR4R009D-8G  "}, 0x41);
    table += memoryDevice({8192, 0x1A, 3200, 3000, "DIMM_B1", "Orbelle", "OB4-8G"}, 0x42);
    table += memoryDevice({0x7FFF, 0x1A, 3200, 3000, "DIMM_B2", "Vandercrest", "VCR4R009D-32G", 32768}, 0x43);
    table += otherStructure(127);
    return table;
}

// Four DDR4 modules in four slots: the maker's in slots 0, 2 and 3, another maker's in 1.
QByteArray fourModuleTable()
{
    QByteArray table = otherStructure(16);
    table += memoryDevice({16384, 0x1A, 3600, 3600, "ChannelA-DIMM0", "Vandercrest", "VCR4R019D-16G"}, 0x50);
    table += memoryDevice({8192, 0x1A, 3200, 3200, "ChannelA-DIMM1", "Orbelle", "OB4-8G"}, 0x51);
    table += memoryDevice({16384, 0x1A, 3600, 3600, "ChannelB-DIMM0", "Vandercrest", "VCR4R019D-16G"}, 0x52);
    table += memoryDevice({16384, 0x1A, 3600, 3600, "ChannelB-DIMM1", "Vandercrest", "VCR4R019D-16G"}, 0x53);
    table += otherStructure(127);
    return table;
}

QString text(const char (&field)[kTextSize])
{
    return QString::fromUtf8(field, int(textLength(field)));
}

} // namespace

class TestLinuxSensors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }

    void readsMemoryUseAsFreeDoes()
    {
        SysfsTree tree;
        tree.write("proc/meminfo", "MemTotal:       16384000 kB\nMemFree:         1000000 kB\nMemAvailable:   12288000 kB\n");
        const SensorDevice memory = MeminfoReader(tree.root()).read();
        QCOMPARE(memory.others.size(), 3);
        QCOMPARE(memory.others.at(0).label, QStringLiteral("Physical Memory Used"));
        QCOMPARE(memory.others.at(0).value, 4000.0);
        QCOMPARE(memory.others.at(1).value, 12000.0);
        QCOMPARE(memory.others.at(2).label, QStringLiteral("Physical Memory Load"));
        QCOMPARE(memory.others.at(2).value, 25.0);

        tree.write("proc/meminfo", "MemTotal:       16384000 kB\nMemFree:         1000000 kB\n");
        QVERIFY(MeminfoReader(tree.root()).read().others.isEmpty());
    }

    void readsAnIntelPackageTemperature()
    {
        SysfsTree tree;
        tree.write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Intel(R) Sample(TM) 6-Core CPU @ 3.70GHz\n");
        tree.hwmon(0, "acpitz", {{"", 27800}});
        tree.hwmon(1, "coretemp", {{"Package id 0", 52000}, {"Core 0", 48500}});
        const QVector<SensorDevice> sensors = HwmonReader(tree.root()).read();
        QCOMPARE(sensors.size(), 1);
        QCOMPARE(sensors.at(0).name, QStringLiteral("CPU [#0]: Intel(R) Sample(TM) 6-Core CPU @ 3.70GHz"));
        QCOMPARE(sensors.at(0).temperatures.at(0).label, QStringLiteral("CPU Package"));
        QCOMPARE(sensors.at(0).temperatures.at(0).value, 52.0);
        QCOMPARE(sensors.at(0).temperatures.at(1).label, QStringLiteral("Core 0"));
        QCOMPARE(sensors.at(0).temperatures.at(1).value, 48.5);
    }

    void readsAnAmdTctlAndCcd()
    {
        SysfsTree tree;
        tree.hwmon(3, "k10temp", {{"Tctl", 61250}, {"Tccd1", 55500}});
        const QVector<SensorDevice> sensors = HwmonReader(tree.root()).read();
        QCOMPARE(sensors.size(), 1);
        QVERIFY(sensors.at(0).name.startsWith(QLatin1String("CPU [#0]: AMD")));
        QCOMPARE(sensors.at(0).temperatures.at(0).label, QStringLiteral("CPU (Tctl/Tdie)"));
        QCOMPARE(sensors.at(0).temperatures.at(0).value, 61.25);
        QCOMPARE(sensors.at(0).temperatures.at(1).label, QStringLiteral("CPU CCD1 (Tdie)"));
    }

    void numbersDimmSensorsBySlot_data()
    {
        QTest::addColumn<QByteArray>("driver");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("jc42, DDR4") << QByteArray("jc42") << QStringList{"0-001a", "0-0018"}
                                    << QStringList{"DIMM[0] Temperature", "DIMM[2] Temperature"};
        QTest::newRow("spd5118, DDR5, two buses") << QByteArray("spd5118") << QStringList{"7-0051", "3-0053", "3-0050"}
                                                  << QStringList{"DIMM[0] Temperature", "DIMM[3] Temperature", "DIMM[9] Temperature"};
        QTest::newRow("not a DIMM address") << QByteArray("jc42") << QStringList{"0-0048"} << QStringList{};
    }

    void numbersDimmSensorsBySlot()
    {
        QFETCH(QByteArray, driver);
        QFETCH(QStringList, devices);
        QFETCH(QStringList, labels);
        SysfsTree tree;
        for (int i = 0; i < devices.size(); ++i)
            tree.hwmon(i, driver, {{"", 30000 + i * 1000}}, devices.at(i));
        const QVector<SensorDevice> sensors = HwmonReader(tree.root()).read();
        QStringList found;
        for (const SensorDevice &sensor : sensors) {
            for (const SensorReading &r : sensor.temperatures)
                found.append(r.label);
        }
        QCOMPARE(found, labels);
    }

    void readsModulesFromTheSmbiosTable()
    {
        const QVector<SmbiosReader::Slot> slotList = SmbiosReader::parseTable(fourSlotTable());
        QCOMPARE(slotList.size(), 4);
        QCOMPARE(slotList.at(0).module.sizeMB, 0);
        QCOMPARE(slotList.at(1).module.sizeMB, 8192);
        QCOMPARE(slotList.at(1).module.type, QStringLiteral("DDR4"));
        QCOMPARE(slotList.at(1).module.manufacturer, QStringLiteral("Vandercrest"));
        QCOMPARE(slotList.at(1).module.partNumber, QStringLiteral("VCR4R009D-8G"));
        QCOMPARE(slotList.at(1).module.text, QStringLiteral("DIMM_A2"));
        QCOMPARE(slotList.at(1).module.frequency, 1600.0);
        QCOMPARE(slotList.at(1).configuredSpeedMTs, 3000);
        QCOMPARE(slotList.at(3).module.sizeMB, 32768);

        // A damaged table ends the walk where it breaks, never reading past the data.
        const QByteArray table = fourSlotTable();
        for (int cut = 0; cut < table.size(); cut += 7)
            QVERIFY(SmbiosReader::parseTable(table.left(cut)).size() <= 4);
        QByteArray badLength = table;
        badLength[1] = 2;
        QVERIFY(SmbiosReader::parseTable(badLength).isEmpty());
    }

    void readsFourDdr4Modules()
    {
        const QVector<SmbiosReader::Slot> slotList = SmbiosReader::parseTable(fourModuleTable());
        QCOMPARE(slotList.size(), 4);
        const QStringList locators{"ChannelA-DIMM0", "ChannelA-DIMM1", "ChannelB-DIMM0", "ChannelB-DIMM1"};
        for (int i = 0; i < 4; ++i) {
            const MemoryModule &m = slotList.at(i).module;
            QCOMPARE(m.type, QStringLiteral("DDR4"));
            QCOMPARE(m.text, locators.at(i));
            QCOMPARE(m.sizeMB, i == 1 ? 8192 : 16384);
            QCOMPARE(m.manufacturer, i == 1 ? QStringLiteral("Orbelle") : QStringLiteral("Vandercrest"));
            QCOMPARE(m.partNumber, i == 1 ? QStringLiteral("OB4-8G") : QStringLiteral("VCR4R019D-16G"));
            QCOMPARE(m.frequency, i == 1 ? 1600.0 : 1800.0);
        }
    }

    void readsModulesFromUdevProperties()
    {
        const QMap<QString, QString> properties{
            {"MEMORY_DEVICE_0_SIZE", "17179869184"}, {"MEMORY_DEVICE_0_PRESENT", "1"},
            {"MEMORY_DEVICE_0_MANUFACTURER", "Vandercrest"}, {"MEMORY_DEVICE_0_PART_NUMBER", "VCR5R022D-16G"},
            {"MEMORY_DEVICE_0_TYPE", "DDR5"}, {"MEMORY_DEVICE_0_SPEED_MTS", "6000"},
            {"MEMORY_DEVICE_0_CONFIGURED_SPEED_MTS", "4800"}, {"MEMORY_DEVICE_0_LOCATOR", "DIMM_A1"},
            {"MEMORY_DEVICE_2_SIZE", "0"}, {"MEMORY_DEVICE_2_PRESENT", "0"},
            {"MEMORY_DEVICE_99_SIZE", "17179869184"}};
        const QVector<SmbiosReader::Slot> slotList = SmbiosReader::parseUdevProperties(properties);
        QCOMPARE(slotList.size(), 3);
        QCOMPARE(slotList.at(0).module.sizeMB, 16384);
        QCOMPARE(slotList.at(0).module.frequency, 3000.0);
        QCOMPARE(slotList.at(0).configuredSpeedMTs, 4800);
        QCOMPARE(slotList.at(0).module.text, QStringLiteral("DIMM_A1"));
        QCOMPARE(slotList.at(1).module.sizeMB, 0);
        QCOMPARE(slotList.at(2).module.sizeMB, 0);
    }

    void readsBoardAndChipset()
    {
        SysfsTree tree;
        tree.write("sys/class/dmi/id/board_vendor", "Tessaly Works\n");
        tree.write("sys/class/dmi/id/board_name", "TW-X299 Pro\n");
        tree.write("sys/bus/pci/devices/0000:00:00.0/class", "0x060000\n");
        tree.write("sys/bus/pci/devices/0000:00:00.0/vendor", "0x8086\n");
        tree.write("sys/bus/pci/devices/0000:00:00.0/device", "0x2020\n");
        tree.write("sys/bus/pci/devices/0000:00:1f.0/class", "0x060100\n");
        tree.write("sys/bus/pci/devices/0000:00:1f.0/vendor", "0x8086\n");
        tree.write("sys/bus/pci/devices/0000:00:1f.0/device", "0xa2d2\n");
        tree.write("usr/share/misc/pci.ids", "# comment\n1022  Sample Vendor A\n\ta2d2  Not this one\n"
                                             "8086  Sample Vendor B\n\t2020  Host Bridge Registers\n"
                                             "\ta2d2  X299 Platform Bridge\n\t\t1043 8694  TW-X299 Pro\n");
        const BoardReader board(tree.root());
        QCOMPARE(board.boardText(), QStringLiteral("Tessaly Works TW-X299 Pro"));
        QCOMPARE(board.chipset(), QStringLiteral("X299 Platform Bridge"));

        SysfsTree empty;
        QVERIFY(BoardReader(empty.root()).boardText().isNull());
        QVERIFY(BoardReader(empty.root()).chipset().isNull());
    }

    // The whole library through the reader: the maker's modules are found in the SMBIOS
    // table and each DIMM sensor's temperature reaches its own module.
    void givesEachModuleItsOwnDimmTemperature()
    {
        TestEnvironment environment;
        SysfsTree tree;
        tree.write("sys/firmware/dmi/tables/DMI", fourSlotTable());
        tree.write("proc/meminfo", "MemTotal: 8192000 kB\nMemAvailable: 6144000 kB\n");
        for (int slot = 0; slot < 4; ++slot)
            tree.hwmon(slot, "jc42", {{"", 30000 + slot * 1000 + 600}}, QStringLiteral("0-%1").arg(0x18 + slot, 4, 16, QLatin1Char('0')));
        ScenarioFixture(environment).registerLibrary(ScenarioFixture::library("veltrima-sensors-linux.so"), tree.root());

        Get_HWInfo reader;
        QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
        reader.initHWInfo();
        reader.stopScans();
        QCOMPARE(status.first().first().toBool(), true);
        const HWData data = reader.snapshot();
        QCOMPARE(data.memoryCount, 2);
        QCOMPARE(data.memoryData[0].memorySlot, 1);
        QCOMPARE(data.memoryData[0].temperature, 31);
        QCOMPARE(data.memoryData[1].memorySlot, 3);
        QCOMPARE(data.memoryData[1].temperature, 33);
        QCOMPARE(data.memoryData[1].memoryModuleSize, 32768);
        QCOMPARE(text(data.memoryData[1].memoryType), QStringLiteral("DDR4"));
        QCOMPARE(data.clock, 1500.0);
        QCOMPARE(data.physicalMemoryLoad, 25.0);
        QCOMPARE(data.cpuTemperature, 0);
        QCOMPARE(data.casLatency, -1.0);
        QCOMPARE(text(data.chipset), QString()); // absent, never invented
    }

    // Four DDR4 modules, a jc42 sensor on each and an AMD CPU: the whole library through
    // the reader keeps the maker's three modules and gives each its own temperature.
    void readsAFourModuleDdr4Machine()
    {
        TestEnvironment environment;
        SysfsTree tree;
        tree.write("sys/firmware/dmi/tables/DMI", fourModuleTable());
        tree.write("proc/meminfo", "MemTotal: 57344000 kB\nMemAvailable: 43008000 kB\n");
        tree.write("proc/cpuinfo", "model name\t: AMD Sample 8-Core Processor\n");
        tree.hwmon(0, "k10temp", {{"Tctl", 64800}, {"Tccd1", 58000}});
        for (int slot = 0; slot < 4; ++slot)
            tree.hwmon(slot + 1, "jc42", {{"", 35000 + slot * 1000 + 900}}, QStringLiteral("1-%1").arg(0x18 + slot, 4, 16, QLatin1Char('0')));
        ScenarioFixture(environment).registerLibrary(ScenarioFixture::library("veltrima-sensors-linux.so"), tree.root());

        Get_HWInfo reader;
        QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
        reader.initHWInfo();
        reader.stopScans();
        QCOMPARE(status.first().first().toBool(), true);
        const HWData data = reader.snapshot();
        QCOMPARE(data.memoryCount, 3);
        QCOMPARE(data.slotCount, 4);
        const int slotsOfEntries[] = {0, 2, 3};
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(data.memoryData[k].memorySlot, slotsOfEntries[k]);
            QCOMPARE(data.memoryData[k].temperature, 35 + slotsOfEntries[k]);
            QCOMPARE(text(data.memoryData[k].memoryType), QStringLiteral("DDR4"));
            QCOMPARE(text(data.memoryData[k].partNumber), QStringLiteral("VCR4R019D-16G"));
        }
        QCOMPARE(data.memoryData[3].memorySlot, -1);
        QCOMPARE(data.clock, 1800.0);
        QCOMPARE(data.cpuTemperature, 64);
        QCOMPARE(data.physicalMemoryUsed, 14000);
        QCOMPARE(data.physicalMemoryAvailable, 42000);
        QCOMPARE(data.physicalMemoryLoad, 25.0);
    }

    // The root folder is configurable: FIFOs and devices under it are refused, not read.
    void readsOnlyRegularFilesUnderTheRoot()
    {
        SysfsTree tree;
        tree.hwmon(0, "coretemp", {{"Package id 0", 52000}});
        tree.hwmon(1, "jc42", {});
        tree.mkdir("proc");
        const QStringList fifos = {QStringLiteral("proc/meminfo"), QStringLiteral("proc/cpuinfo"),
                                   QStringLiteral("sys/class/hwmon/hwmon1/temp1_input")};
        for (const QString &fifo : fifos)
            QCOMPARE(mkfifo(QFile::encodeName(tree.root() + QLatin1Char('/') + fifo).constData(), 0600), 0);
        tree.mkdir("sys/firmware/dmi/tables");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), tree.root() + QStringLiteral("/sys/firmware/dmi/tables/DMI")));

        struct Readings {
            SensorDevice memory;
            QVector<SensorDevice> sensors;
            QVector<SmbiosReader::Slot> modules;
        };
        std::future<Readings> readings = std::async(std::launch::async, [&tree] {
            return Readings{MeminfoReader(tree.root()).read(), HwmonReader(tree.root()).read(),
                            SmbiosReader(tree.root()).read()};
        });
        if (readings.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            for (const QString &fifo : fifos)
                ::close(open(QFile::encodeName(tree.root() + QLatin1Char('/') + fifo).constData(), O_WRONLY | O_NONBLOCK));
            readings.wait();
            QFAIL("a reader waited on a FIFO");
        }
        const Readings read = readings.get();
        QVERIFY(read.memory.others.isEmpty());
        QVERIFY(read.modules.isEmpty());
        QCOMPARE(read.sensors.size(), 1);
        QCOMPARE(read.sensors.at(0).temperatures.size(), 1);
        QCOMPARE(read.sensors.at(0).temperatures.at(0).value, 52.0);
    }

    void refusesARootFolderThatIsNotThere()
    {
        TestEnvironment environment;
        ScenarioFixture(environment).registerLibrary(ScenarioFixture::library("veltrima-sensors-linux.so"),
                                                     environment.root() + QStringLiteral("/no-such-root"));
        Get_HWInfo reader;
        QSignalSpy status(&reader, &Get_HWInfo::sendInitStatus);
        reader.initHWInfo();
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.first().first().toBool(), false);
        QCOMPARE(reader.snapshot().memoryCount, -1);
    }

    void reportsThisMachinesMemoryLoadAsFreeDoes()
    {
        TestEnvironment environment;
        const QString free = QStandardPaths::findExecutable(QStringLiteral("free"));
        if (free.isEmpty())
            QSKIP("procps's free is not installed");
        ScenarioFixture(environment).registerLibrary(ScenarioFixture::library("veltrima-sensors-linux.so"));
        Get_HWInfo reader;
        reader.initHWInfo();
        reader.stopScans();
        const HWData data = reader.snapshot();

        QProcess process;
        process.start(free, {QStringLiteral("-k")});
        QVERIFY(process.waitForFinished(10000));
        const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
        QVERIFY(lines.size() > 1);
        const QList<QByteArray> fields = lines.at(1).simplified().split(' ');
        QVERIFY(fields.size() >= 7);
        const double total = fields.at(1).toDouble();
        const double available = fields.at(6).toDouble();
        QVERIFY(total > 0);
        QVERIFY(qAbs(data.physicalMemoryLoad - 100.0 * (total - available) / total) < 1.0);

        // Whatever the machine does not offer stays absent: every module is one that the
        // firmware lists as the maker's, and temperatures come only from real sensors.
        const QVector<SmbiosReader::Slot> firmware = SmbiosReader(QStringLiteral("/")).read();
        QVERIFY(data.memoryCount >= 0);
        for (int k = 0; k < data.memoryCount; ++k) {
            const int slot = data.memoryData[k].memorySlot;
            QVERIFY(slot >= 0 && slot < firmware.size());
            QVERIFY(firmware.at(slot).module.sizeMB > 0);
            QVERIFY(firmware.at(slot).module.manufacturer.contains(QLatin1String("Vandercrest")));
        }
        for (int k = qMax(data.memoryCount, 0); k < kModuleCount; ++k)
            QCOMPARE(data.memoryData[k].memorySlot, -1);
        const QVector<SensorDevice> sensors = HwmonReader(QStringLiteral("/")).read();
        bool dimmSensors = false;
        bool cpuSensors = false;
        for (const SensorDevice &sensor : sensors) {
            cpuSensors = cpuSensors || sensor.name.startsWith(QLatin1String("CPU [#"));
            dimmSensors = dimmSensors || !sensor.name.startsWith(QLatin1String("CPU [#"));
        }
        if (!cpuSensors)
            QCOMPARE(data.cpuTemperature, 0);
        if (!dimmSensors) {
            for (const MemoryModuleData &entry : data.memoryData)
                QCOMPARE(entry.temperature, -1);
        }
    }
};

QTEST_GUILESS_MAIN(TestLinuxSensors)
#include "tst_LinuxSensors.moc"
