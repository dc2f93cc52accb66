// Hub synchronisation and power events inside the control program's main object: the
// virtual HAL (reporting no module at first), scenario sensors, the test hub playing
// "Spectra Hub", a copy of it playing "KV RGB Memory.exe", the channel tool acting as the
// user interface, and a private bus standing in for the system bus, on which the test
// owns logind's name. One object serves the whole case; the functions run in order.
#include "HubSyncRecord.h"
#include "KVRGBMemoryControl.h"
#include "MessagePresenter.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "TestHubProcess.h"
#include "VirtualHalState.h"
#include "ScriptLibrary.h"
#include "WindowMessenger.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

QString program(const QString &name)
{
    return TestEnvironment::binDir() + QLatin1Char('/') + name;
}

bool runChannel(const QStringList &arguments)
{
    QProcess process;
    process.start(program(QStringLiteral("veltrima-channel")), arguments);
    if (process.waitForFinished(15000) && process.exitCode() == 0)
        return true;
    qWarning() << "veltrima-channel" << arguments << "failed:" << process.readAllStandardError();
    return false;
}

bool setLighting(int module, int mode)
{
    return runChannel({QStringLiteral("set-lighting"), QString::number(module), QString::number(mode),
                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("on")});
}

bool setColour(int module, COLORREF colour)
{
    QStringList colours, bright;
    for (int i = 0; i < 8; ++i) {
        colours << QStringLiteral("0x%1").arg(colour, 6, 16, QLatin1Char('0'));
        bright << QStringLiteral("1");
    }
    return runChannel({QStringLiteral("set-rgb"), QString::number(module), colours.join(QLatin1Char(',')),
                       QStringLiteral("--bright"), bright.join(QLatin1Char(','))});
}

const char kScenario[] = R"({
  "board": { "clock": 2400, "chipset": "Orrin Q7 Platform Hub" },
  "modules": [
    { "index": 0, "size": 16384, "manufacturer": "Vandercrest", "partNumber": "VCR5R022D-16G", "type": "DDR5", "text": "DIMM_A1", "frequency": 2400 },
    { "index": 1, "size": 16384, "manufacturer": "Vandercrest", "partNumber": "VCR5R022D-16G", "type": "DDR5", "text": "DIMM_A2", "frequency": 2400 }
  ],
  "sensors": [
    { "name": "System", "readings": [ { "label": "Physical Memory Load", "unit": "%", "value": 40 } ] },
    { "name": "CPU [#0]: Halvane H7 16-Core", "temperatures": [ { "label": "CPU Package", "unit": "°C", "value": 45 } ] }
  ]
})";

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace

class tst_HubSync : public QObject
{
    Q_OBJECT

private:
    QString syncPath() const { return m_env.runtimeDir() + QStringLiteral("/veltrima/SpectraHubSyncVELTRIMA"); }
    std::optional<quint32> word(int offset) const { return TestHub::readSyncWord(syncPath(), offset); }
    bool setHalDevices(int count) const
    {
        const QString path = m_env.dataDir() + QStringLiteral("/veltrima/hal-virtual/") + VirtualHalState::defaultClsid()
            + QStringLiteral(".ini");
        return QDir().mkpath(QFileInfo(path).path())
            && writeFile(path, QStringLiteral("[server]\ndevices=%1\nledCount=5\n").arg(count).toUtf8());
    }
    static std::optional<VirtualHalSnapshot> hal() { return VirtualHalState::read(VirtualHalState::defaultClsid()); }
    static bool halShows(int device, COLORREF colour)
    {
        const auto state = hal();
        if (!state || state->devices.size() <= device || state->devices.at(device).lastColours.isEmpty())
            return false;
        for (quint32 shown : state->devices.at(device).lastColours) {
            if (shown != colour)
                return false;
        }
        return true;
    }
    QList<WindowRequest> restingFanMessages() const
    {
        QList<WindowRequest> fan;
        for (const WindowRequest &request : m_hub->messages()) {
            if (request.message == 0x8130 && request.wParam == 0)
                fan << request;
        }
        return fan;
    }
    void sendPrepareForSleep(bool start)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << start;
        QVERIFY(QDBusConnection(QStringLiteral("fake-logind")).send(signal));
    }

    TestEnvironment m_env;
    std::unique_ptr<ProgramRunner> m_bus;
    std::unique_ptr<TestHubProcess> m_hub;
    std::unique_ptr<TestHubProcess> m_memoryPeer;
    std::unique_ptr<KVRGBMemoryControl> m_control;
    QString m_victim;

private slots:
    void initTestCase()
    {
        MessagePresenter::setPresenter([](const MessagePresenter::Box &) {});

        const QString sensors = m_env.dataDir() + QStringLiteral("/veltrima");
        QVERIFY(QDir().mkpath(sensors));
        QVERIFY(writeFile(sensors + QStringLiteral("/hub.json"), kScenario));
        QVERIFY(writeFile(sensors + QStringLiteral("/sensors"),
                          QStringLiteral("[Sensors]\nLibrary=%1\nConfig=%2\n")
                              .arg(program(QStringLiteral("veltrima-sensors-scenario.so")),
                                   sensors + QStringLiteral("/hub.json"))
                              .toUtf8()));
        QProcess halRegister;
        halRegister.start(program(QStringLiteral("veltrima-hal-register")),
                          {QStringLiteral("--virtual"), sensors + QStringLiteral("/hal-servers")});
        QVERIFY(halRegister.waitForFinished(10000));
        QCOMPARE(halRegister.exitCode(), 0);
        QVERIFY(setHalDevices(0));

        // A private bus in the system bus's place; the test owns logind's name on it.
        const QString busPath = m_env.root() + QStringLiteral("/system_bus");
        m_bus = std::make_unique<ProgramRunner>(
            QStringLiteral("dbus-daemon"),
            QStringList{QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                        QStringLiteral("--address=unix:path=") + busPath});
        QVERIFY(m_bus->start());
        QVERIFY(m_bus->waitForOutput(QStringLiteral("unix:"), 15000));
        const QString address = QStringLiteral("unix:path=") + busPath;
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toLocal8Bit());
        QDBusConnection logind = QDBusConnection::connectToBus(address, QStringLiteral("fake-logind"));
        QVERIFY(logind.isConnected());
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));

        m_hub = std::make_unique<TestHubProcess>(m_env.root() + QStringLiteral("/hub-record"));
        QVERIFY(m_hub->start());
        // A process whose executable is named as the record's receiver.
        const QString peerDir = m_env.root() + QStringLiteral("/peer");
        QVERIFY(QDir().mkpath(peerDir));
        const QString peer = peerDir + QStringLiteral("/KV RGB Memory.exe");
        QVERIFY(QFile::copy(TestHubProcess::defaultProgram(), peer));
        QVERIFY(QFile(peer).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_memoryPeer = std::make_unique<TestHubProcess>(m_env.root() + QStringLiteral("/peer-record"), peer,
                                                        QStringList{QStringLiteral("--title"),
                                                                    QStringLiteral("KV RGB Memory")});
        QVERIFY(m_memoryPeer->start());

        // A record file planted as a link to a file of ours must not be followed.
        QVERIFY(QDir().mkpath(QFileInfo(syncPath()).path()));
        m_victim = m_env.root() + QStringLiteral("/victim");
        QVERIFY(writeFile(m_victim, "untouched"));
        QVERIFY(QFile::link(m_victim, syncPath()));

        m_control = std::make_unique<KVRGBMemoryControl>();
        QVERIFY(waitUntil([&] { return QFileInfo(syncPath()).isFile() && !QFileInfo(syncPath()).isSymLink(); },
                          30000));
    }

    void cleanupTestCase()
    {
        m_control.reset();
        for (auto *peer : {m_hub.get(), m_memoryPeer.get()}) {
            if (peer)
                peer->stop();
        }
        if (m_bus)
            m_bus->stop();
        MessagePresenter::setPresenter({});
    }

    void recordIsOursNotTheLinks()
    {
        QFile victim(m_victim);
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), QByteArray("untouched"));
        QCOMPARE(QFileInfo(syncPath()).size(), qint64(HubSyncRecord::kSize));
        QCOMPARE(QFileInfo(syncPath()).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        QVERIFY(waitUntil([&] { return word(HubSyncRecord::kModuleCountAt) == 2u; }, 10000));
    }

    void resumeDiscoversAgainAndStartsTheLights()
    {
        // No module at start: nothing is driven.
        const auto before = hal();
        QVERIFY(before);
        QVERIFY(before->devices.isEmpty());
        const quint64 objectsBefore = before->objectsCreated;

        QVERIFY(runChannel({QStringLiteral("set-noti"), QStringLiteral("--type"), QStringLiteral("3"),
                            QStringLiteral("--fan-speed"), QStringLiteral("1"), QStringLiteral("--fan-speed-value"),
                            QStringLiteral("40")}));
        const COLORREF colour = 0x00336699;
        QVERIFY(setColour(0, colour));
        QVERIFY(setLighting(0, 6));
        QVERIFY(waitUntil([&] { return word(HubSyncRecord::kLedColourAt) == colour; }, 10000));
        QVERIFY(setHalDevices(2));
        const int restingBefore = restingFanMessages().size();

        sendPrepareForSleep(true);
        QElapsedTimer sinceResume;
        sendPrepareForSleep(false);
        sinceResume.start();
        // A second enumeration, and the modules show the channel's colours, not their own.
        QVERIFY(waitUntil([&] { return halShows(0, colour); }, 30000));
        QVERIFY(hal()->objectsCreated > objectsBefore);
        QCOMPARE(hal()->devices.size(), 2);

        QVERIFY(waitUntil([&] { return restingFanMessages().size() > restingBefore; }, 40000));
        QVERIFY2(sinceResume.elapsed() >= 9000, qPrintable(QString::number(sinceResume.elapsed())));
        QCOMPARE(restingFanMessages().last().lParam, qint64(40));

        // A second resume with the modules lit: discovered again, lighting back at once.
        const quint64 objectsLit = hal()->objectsCreated;
        sinceResume.restart();
        sendPrepareForSleep(false);
        QVERIFY(waitUntil([&] { return hal()->objectsCreated > objectsLit && halShows(0, colour); }, 30000));

        // Switched off before its time, the request planned at the resume is not sent.
        const int restingLit = restingFanMessages().size();
        QVERIFY(runChannel({QStringLiteral("set-noti"), QStringLiteral("--type"), QStringLiteral("3"),
                            QStringLiteral("--fan-speed"), QStringLiteral("0")}));
        QVERIFY(waitUntil([&] { return restingFanMessages().size() == restingLit + 1; }, 10000));
        if (sinceResume.elapsed() >= 9000)
            QSKIP("the machine was too slow to switch the rule off before the planned request");
        QVERIFY(waitUntil([&] { return sinceResume.elapsed() > 13000; }, 20000));
        QCOMPARE(restingFanMessages().size(), restingLit + 1);
    }

    void recordFollowsTheChannel()
    {
        const COLORREF colour = 0x00102030;
        QVERIFY(setLighting(1, 6));
        QVERIFY(setColour(1, colour));
        const int colourAt = HubSyncRecord::kLedColourAt + (1 * 8 + 7) * 4;
        QVERIFY(waitUntil([&] { return word(colourAt) == colour && word(HubSyncRecord::kLightModeAt + 4) == 6u; },
                          10000));
        float bright = 0;
        const quint32 brightWord = word(HubSyncRecord::kLedBrightAt + (1 * 8) * 4).value_or(0);
        std::memcpy(&bright, &brightWord, 4);
        QCOMPARE(bright, 1.0f);
        QCOMPARE(word(HubSyncRecord::kLedCountAt), 5u);

        // Light mode 20 is not mirrored, while the colours still are.
        QVERIFY(setLighting(1, 20));
        QVERIFY(setColour(1, 0x00405060));
        QVERIFY(waitUntil([&] { return word(colourAt) == 0x00405060u; }, 10000));
        QCOMPARE(word(HubSyncRecord::kLightModeAt + 4), 6u);
    }

    void lightMode16PlaysTheHubsChoice()
    {
        const int choice = 3;
        QVERIFY(TestHub::writeAnimationChoice(syncPath(), choice));
        QVERIFY(setLighting(0, 16));
        // Every frame the HAL shows from now on is a step of the chosen animation.
        QVector<QVector<quint32>> steps;
        for (const ScriptStep &step : ScriptLibrary::build(choice)) {
            QVector<quint32> frame(5);
            ScriptLibrary::showStep(step, reinterpret_cast<COLORREF *>(frame.data()), 5);
            steps << frame;
        }
        QVERIFY(!steps.isEmpty());
        QVERIFY(waitUntil([&] { return !halShows(0, 0x00336699); }, 10000));
        int seen = 0;
        QElapsedTimer watch;
        watch.start();
        while (watch.elapsed() < 3000) {
            const auto state = hal();
            if (state && !state->devices.isEmpty()) {
                const QVector<quint32> shown = state->devices.at(0).lastColours.mid(0, 5);
                QVERIFY2(steps.contains(shown), qPrintable(QStringLiteral("frame %1 not of animation %2")
                                                               .arg(shown.first(), 0, 16)
                                                               .arg(choice)));
                ++seen;
            }
            QTest::qWait(50);
        }
        QVERIFY(seen > 10);
    }

    void windowMessages()
    {
        const QString control = QStringLiteral("VELTRIMA RGB Control");
        QCOMPARE(WindowMessenger::sendMessage(control, 0x8111, 0, 0), std::optional<qint64>(0));
        QList<WindowRequest> received;
        QVERIFY(waitUntil([&] {
            received = m_memoryPeer->messages();
            return !received.isEmpty();
        }, 15000));
        const WindowRequest &record = received.first();
        QVERIFY(record.isCopyData());
        QCOMPARE(record.copyDataType, quint64(10000));
        QCOMPARE(record.copyData.size(), int(sizeof(HWData)));
        QCOMPARE(record.wParam, quint64(QCoreApplication::applicationPid()));
        HWData data;
        std::memcpy(&data, record.copyData.constData(), sizeof data);
        QCOMPARE(data.memoryCount, 2);
        QCOMPARE(QByteArray(data.chipset), QByteArray("Orrin Q7 Platform Hub"));

        const QByteArray colours(64, '\x11');
        QCOMPARE(WindowMessenger::sendCopyData(control, 1, 10001, colours), std::optional<qint64>(1));
        QCOMPARE(WindowMessenger::sendCopyData(control, 1, 10002, colours), std::optional<qint64>(0));
        const QByteArray tooLarge(64 * 1024 + 1, '\x11');
        QCOMPARE(WindowMessenger::sendCopyData(control, 1, 10001, tooLarge), std::optional<qint64>(0));
    }
};

QTEST_MAIN(tst_HubSync)
#include "tst_hub_sync.moc"
