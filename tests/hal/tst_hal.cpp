#include "HalFixtures.h"
#include "HalGuid.h"
#include "HalRegistry.h"
#include "HalServer.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"

#include <QProcess>

#include <cstring>
#include <future>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QtTest>

class tst_hal : public QObject
{
    Q_OBJECT

private slots:
    void guidParsing_data();
    void guidParsing();
    void guidRoundTrip();
    void registryFoldersFollowXdg();
    void registryReadsSortedAndFirstFolderWins();
    void virtualServerPublishesWhatItReceives();
    void virtualServerReportingNone();
    void virtualServerRefusesOtherInterfaces();
    void registerToolWritesEntryAndDefaults();
    void halfWrittenEntryIsNotWaitedForEver();
    void outsidePathsMustBeRegularFiles();
};

void tst_hal::guidParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("upper") << "{F2C8D5B4-3854-4325-8A4F-FD7C5072E3B9}" << true;
    QTest::newRow("lower") << "{f2c8d5b4-3854-4325-8a4f-fd7c5072e3b9}" << true;
    QTest::newRow("no braces") << "F2C8D5B4-3854-4325-8A4F-FD7C5072E3B9" << false;
    QTest::newRow("one brace") << "{F2C8D5B4-3854-4325-8A4F-FD7C5072E3B9" << false;
    QTest::newRow("non-hex") << "{G2C8D5B4-3854-4325-8A4F-FD7C5072E3B9}" << false;
    QTest::newRow("dash moved") << "{F2C8D5B43-854-4325-8A4F-FD7C5072E3B9}" << false;
    QTest::newRow("too long") << "{F2C8D5B4-3854-4325-8A4F-FD7C5072E3B90}" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("name") << "virtual-hal" << false;
}

void tst_hal::guidParsing()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(HalGuid::fromString(text).has_value(), valid);
}

void tst_hal::guidRoundTrip()
{
    const auto guid = HalGuid::fromString(QStringLiteral("{f2c8d5b4-3854-4325-8a4f-fd7c5072e3b9}"));
    QVERIFY(guid);
    QCOMPARE(guid->data1, 0xF2C8D5B4u);
    QCOMPARE(guid->data2, quint16(0x3854));
    QCOMPARE(guid->data4[0], quint8(0x8A));
    QCOMPARE(guid->data4[7], quint8(0xB9));
    QCOMPARE(HalGuid::toString(*guid), QStringLiteral(VELTRIMA_HAL_IID_TEXT));
    QVERIFY(HalGuid::equal(*guid, HalGuid::halInterfaceId()));
}

void tst_hal::registryFoldersFollowXdg()
{
    TestEnvironment env;
    qputenv("XDG_DATA_DIRS", QByteArray("/opt/a:/opt/b"));
    const QStringList folders = HalRegistry::folders();
    QCOMPARE(folders, QStringList({env.dataDir() + "/veltrima/hal-servers/", "/opt/a/veltrima/hal-servers/",
                                   "/opt/b/veltrima/hal-servers/"}));
}

void tst_hal::registryReadsSortedAndFirstFolderWins()
{
    TestEnvironment env;
    const QString first = env.root() + "/first";
    const QString second = env.root() + "/second";
    QVERIFY(HalRegistry::registerServer(first, "{B0000000-0000-0000-0000-000000000000}", "/b.so"));
    QVERIFY(HalRegistry::registerServer(first, "{A0000000-0000-0000-0000-000000000000}", "/a.so"));
    QVERIFY(HalRegistry::registerServer(second, "{A0000000-0000-0000-0000-000000000000}", "/other.so"));
    QVERIFY(HalRegistry::registerServer(second, "{0C000000-0000-0000-0000-000000000000}", "/c.so"));

    const QVector<HalRegistryEntry> entries = HalRegistry::entries({first, second, env.root() + "/missing"});
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).name, QStringLiteral("{A0000000-0000-0000-0000-000000000000}"));
    QCOMPARE(entries.at(0).serverPath, QStringLiteral("/a.so"));
    QCOMPARE(entries.at(1).serverPath, QStringLiteral("/b.so"));
    QCOMPARE(entries.at(2).serverPath, QStringLiteral("/c.so"));
}

void tst_hal::virtualServerPublishesWhatItReceives()
{
    TestEnvironment env;
    const QString clsid = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
    QVERIFY(HalFixtures::registerVirtual(clsid, 3, 7, {{1, 65536, 2}}));
    const auto server = HalServer::load(HalFixtures::virtualServer());
    QVERIFY(server);

    void *created = nullptr;
    QCOMPARE(server->createInstance(*HalGuid::fromString(clsid), HalGuid::halInterfaceId(), &created),
             VeltrimaHalResult(VELTRIMA_HAL_OK));
    auto *hal = static_cast<VeltrimaHalObject *>(created);
    std::uint32_t count = 0;
    QCOMPARE(hal->vtbl->Enumerate(hal, nullptr, &count), VeltrimaHalResult(VELTRIMA_HAL_OK));
    QCOMPARE(count, 3u);
    VeltrimaHalDevice *devices[3] = {};
    QCOMPARE(hal->vtbl->Enumerate(hal, devices, &count), VeltrimaHalResult(VELTRIMA_HAL_OK));

    char *xml = nullptr;
    QCOMPARE(devices[1]->vtbl->GetCapabilities(devices[1], &xml), VeltrimaHalResult(VELTRIMA_HAL_OK));
    QVERIFY(QByteArray(xml).contains("<type>65536</type>"));
    QVERIFY(QByteArray(xml).contains("<led_count>2</led_count>"));
    server->freeString(xml);

    const std::uint32_t frame[5] = {1, 2, 3, 4, 5};
    devices[2]->vtbl->SetColors(devices[2], 0, frame, 5);
    devices[2]->vtbl->SetColors(devices[2], 5, frame, 5);

    auto snapshot = VirtualHalState::read(clsid);
    QVERIFY(snapshot);
    QCOMPARE(snapshot->deviceCount, 3);
    QCOMPARE(snapshot->objectsAlive, qint64(1));
    QCOMPARE(snapshot->devices.at(0).type, 458752);
    QCOMPARE(snapshot->devices.at(0).ledCount, 7);
    QCOMPARE(snapshot->devices.at(1).capabilityCalls, 1ull);
    QCOMPARE(snapshot->devices.at(0).colourCalls, 0ull);
    QCOMPARE(snapshot->devices.at(2).colourCalls, 2ull);
    QCOMPARE(snapshot->devices.at(2).effectCalls[0], 1ull);
    QCOMPARE(snapshot->devices.at(2).lastEffect, 5);
    QCOMPARE(snapshot->devices.at(2).lastColours, QVector<quint32>({1, 2, 3, 4, 5}));

    // The devices keep the object alive until the last reference goes.
    hal->vtbl->Release(hal);
    QCOMPARE(VirtualHalState::read(clsid)->objectsAlive, qint64(1));
    for (VeltrimaHalDevice *device : devices)
        device->vtbl->Release(device);
    QCOMPARE(VirtualHalState::read(clsid)->objectsAlive, qint64(0));
}

void tst_hal::virtualServerReportingNone()
{
    TestEnvironment env;
    const QString clsid = QStringLiteral("{21111111-2222-3333-4444-555555555555}");
    QVERIFY(HalFixtures::registerVirtual(clsid, 0, 5));
    const auto server = HalServer::load(HalFixtures::virtualServer());
    void *created = nullptr;
    QCOMPARE(server->createInstance(*HalGuid::fromString(clsid), HalGuid::halInterfaceId(), &created),
             VeltrimaHalResult(VELTRIMA_HAL_OK));
    auto *hal = static_cast<VeltrimaHalObject *>(created);
    std::uint32_t count = 99;
    hal->vtbl->Enumerate(hal, nullptr, &count);
    QCOMPARE(count, 0u);
    hal->vtbl->Release(hal);
}

void tst_hal::virtualServerRefusesOtherInterfaces()
{
    TestEnvironment env;
    const auto server = HalServer::load(HalFixtures::virtualServer());
    QVERIFY(server);
    void *created = reinterpret_cast<void *>(1);
    const auto clsid = *HalGuid::fromString(VirtualHalState::defaultClsid());
    QCOMPARE(server->createInstance(clsid, clsid, &created), VeltrimaHalResult(VELTRIMA_HAL_E_NOINTERFACE));
    QCOMPARE(created, nullptr);
    QVERIFY(!HalServer::load(env.root() + "/missing.so"));
}

void tst_hal::registerToolWritesEntryAndDefaults()
{
    TestEnvironment env;
    const QString folder = env.dataDir() + "/veltrima/hal-servers";
    QProcess tool;
    tool.start(HalFixtures::binDir() + "/veltrima-hal-register", {"--virtual", folder});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);

    const QVector<HalRegistryEntry> entries = HalRegistry::entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).name, VirtualHalState::defaultClsid());
    QCOMPARE(QFileInfo(entries.at(0).serverPath).canonicalFilePath(),
             QFileInfo(HalFixtures::virtualServer()).canonicalFilePath());
    QSettings ini(env.dataDir() + "/veltrima/hal-virtual/" + VirtualHalState::defaultClsid() + ".ini",
                  QSettings::IniFormat);
    QCOMPARE(ini.value("server/devices").toInt(), 4);
    QCOMPARE(ini.value("server/ledCount").toInt(), 5);

    QProcess bad;
    bad.start(HalFixtures::binDir() + "/veltrima-hal-register", {"--virtual", folder, "--clsid", "nonsense"});
    QVERIFY(bad.waitForFinished(30000));
    QVERIFY(bad.exitCode() != 0);
}

void tst_hal::halfWrittenEntryIsNotWaitedForEver()
{
    TestEnvironment env;
    const QString clsid = QStringLiteral("{31111111-2222-3333-4444-555555555555}");
    // What a server leaves when it dies between the two sequence increments.
    auto record = std::make_unique<VirtualHalRecord>();
    std::memset(static_cast<void *>(record.get()), 0, sizeof(VirtualHalRecord));
    record->magic = kVirtualHalMagic;
    record->version = kVirtualHalVersion;
    record->size = sizeof(VirtualHalRecord);
    record->deviceCount = 2;
    record->devices[1].sequence = 7;
    QFile file(VirtualHalState::filePath(clsid));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char *>(record.get()), sizeof(VirtualHalRecord));
    file.close();
    QVERIFY(!VirtualHalState::read(clsid));

    record->devices[1].sequence = 8;
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char *>(record.get()), sizeof(VirtualHalRecord));
    file.close();
    const auto snapshot = VirtualHalState::read(clsid);
    QVERIFY(snapshot);
    QCOMPARE(snapshot->devices.size(), 2);
}

void tst_hal::outsidePathsMustBeRegularFiles()
{
    TestEnvironment env;
    const QString fifo = env.root() + "/fifo";
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = env.root() + "/registry";
    // An entry that names a FIFO, an entry that is one (through a link), and a good entry.
    QVERIFY(HalRegistry::registerServer(folder, "{A0000000-0000-0000-0000-000000000000}", fifo));
    QVERIFY(QFile::link(fifo, folder + "/{B0000000-0000-0000-0000-000000000000}"));
    QVERIFY(HalRegistry::registerServer(folder, "{C0000000-0000-0000-0000-000000000000}", "/c.so"));

    // Run where a blocked open cannot hang the test: on failure a writer opens the FIFO
    // and closes it again, which lets a blocked reader go.
    const auto bounded = [&fifo](auto work) {
        auto result = std::async(std::launch::async, work);
        if (result.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
            return result.get();
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        ::close(writer);
        result.wait();
        return decltype(result.get()){};
    };
    const QVector<HalRegistryEntry> entries = bounded([&] { return HalRegistry::entries({folder}); });
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).serverPath, fifo);
    QCOMPARE(entries.at(1).serverPath, QString());
    QCOMPARE(entries.at(2).serverPath, QStringLiteral("/c.so"));

    QString error;
    const bool loaded = bounded([&] { return HalServer::load(fifo, &error).has_value(); });
    QVERIFY(!loaded);
    QVERIFY2(error.contains("not a regular file"), qPrintable(error));
    QVERIFY(!HalServer::load(QStringLiteral("/dev/zero"), &error));
    QVERIFY2(error.contains("not a regular file"), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_hal)
#include "tst_hal.moc"
