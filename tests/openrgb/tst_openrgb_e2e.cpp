// The control program driving modules through the OpenRGB HAL and the test server: two
// memory controllers and a keyboard make two modules; Static red reaches both; Flow runs
// at 25 LED updates a second; a server restart is followed by the lights within 3 s while
// the frames go on; a changed device list brings a new discovery; and a server that never
// answers the version request is spoken to in protocol 0.
#include "FakeOrgbServer.h"
#include "OrgbPacket.h"
#include "ProgramNames.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "WindowMessenger.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

using namespace std::chrono_literals;
constexpr std::uint32_t kRed = 0x000000ff;

QString program(const QString &name)
{
    return TestEnvironment::binDir() + QLatin1Char('/') + name;
}

std::optional<QString> tool(const QStringList &arguments)
{
    QProcess process;
    process.start(program(QStringLiteral("veltrima-channel")), arguments);
    if (!process.waitForFinished(15000) || process.exitCode() != 0) {
        qWarning() << "veltrima-channel" << arguments << "failed:" << process.readAllStandardError();
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool setLighting(int module, int mode)
{
    return tool({QStringLiteral("set-lighting"), QString::number(module), QString::number(mode), QStringLiteral("0"),
                 QStringLiteral("0"), QStringLiteral("on")})
        .has_value();
}

QJsonArray modules()
{
    const QString text = tool({QStringLiteral("show"), QStringLiteral("--json")}).value_or(QString());
    return QJsonDocument::fromJson(text.toUtf8()).object().value(QStringLiteral("memoryData")).toArray();
}

int ledNum(int module)
{
    return modules().at(module).toObject().value(QStringLiteral("ledNum")).toInt(-1);
}

QString softwareRgb(int module)
{
    return tool({QStringLiteral("software-rgb"), QString::number(module)}).value_or(QString()).trimmed();
}

int updatesBetween(const FakeOrgbServer &server, std::uint32_t device, FakeOrgbServer::Clock::time_point from,
                   FakeOrgbServer::Clock::time_point to)
{
    int count = 0;
    for (const FakeOrgbServer::Packet &packet : server.packets(OrgbPacket::UpdateLeds)) {
        if (packet.device == device && packet.received >= from && packet.received < to)
            ++count;
    }
    return count;
}

bool updatedSince(const FakeOrgbServer &server, std::uint32_t device, FakeOrgbServer::Clock::time_point since)
{
    return updatesBetween(server, device, since, FakeOrgbServer::Clock::time_point::max()) > 0;
}

bool allLeds(const OrgbController &controller, std::uint32_t colour)
{
    return !controller.colors.empty()
        && std::all_of(controller.colors.begin(), controller.colors.end(), [colour](std::uint32_t c) { return c == colour; });
}

} // namespace

class tst_OpenRgbE2E : public QObject
{
    Q_OBJECT

private:
    bool registerHal(std::uint16_t port)
    {
        QProcess process;
        process.start(program(QStringLiteral("veltrima-hal-register")),
                      {QStringLiteral("--openrgb"), QStringLiteral("127.0.0.1:%1").arg(port)});
        if (process.waitForFinished(10000) && process.exitCode() == 0)
            return true;
        qWarning() << "veltrima-hal-register failed:" << process.readAllStandardError();
        return false;
    }

    bool startControl()
    {
        m_control = std::make_unique<ProgramRunner>(program(QString::fromLatin1(ProgramNames::kControlExecutable)));
        if (!m_control->start())
            return false;
        return waitUntil([] {
            return WindowMessenger::findWindow(QString::fromLatin1(ProgramNames::kControlWindowTitle), 500).isValid();
        }, 30000);
    }

    bool stopControl()
    {
        if (!m_control || m_control->process().state() == QProcess::NotRunning)
            return true;
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlWindowTitle), 0x8301, 1, 1);
        const bool ended = m_control->waitForExit(20000);
        if (!ended)
            m_control->stop();
        return ended && m_control->process().exitStatus() == QProcess::NormalExit;
    }

    TestEnvironment m_env;
    std::unique_ptr<ProgramRunner> m_control;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(m_env.dataDir() + QStringLiteral("/veltrima")));
        QFile sensors(m_env.dataDir() + QStringLiteral("/veltrima/sensors"));
        QVERIFY(sensors.open(QIODevice::WriteOnly));
        sensors.write("[Sensors]\nLibrary=veltrima-sensors-scenario.so\nConfig=sensor-scenarios/demo.json\n");
    }

    void cleanup()
    {
        if (QTest::currentTestFailed() && m_control)
            qWarning().noquote() << "control program output:" << m_control->output().right(4000);
        stopControl();
    }

    void drivesModulesThroughTheServer()
    {
        FakeOrgbServer server;
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::keyboard(),
                               FakeOrgbServer::dram("DIMM B", 5)});
        QVERIFY(server.start());
        QVERIFY(registerHal(server.port()));
        QVERIFY(startControl());

        // Two modules of five LEDs; the keyboard is no module.
        QVERIFY(waitUntil([] { return ledNum(0) == 5 && ledNum(1) == 5; }, 20000));
        QCOMPARE(ledNum(2), 0);

        // Static red through the channel reaches every LED of both controllers.
        for (int module : {0, 1}) {
            QVERIFY(tool({QStringLiteral("set-rgb"), QString::number(module),
                          QStringLiteral("0xff,0xff,0xff,0xff,0xff,0xff,0xff,0xff"), QStringLiteral("--bright"),
                          QStringLiteral("1,1,1,1,1,1,1,1")}));
            QVERIFY(setLighting(module, 6));
        }
        QVERIFY(waitUntil([&] {
                    const auto now = server.controllers();
                    return allLeds(now[0], kRed) && allLeds(now[2], kRed);
                }, 15000));
        QVERIFY(allLeds(server.controllers()[0], kRed) && allLeds(server.controllers()[2], kRed));
        QCOMPARE(server.controllers()[0].activeMode, 0); // Direct
        QVERIFY(server.controllers()[1].colors == FakeOrgbServer::keyboard().colors);

        // Flow: 25 LED updates a second on each controller (±10 %) over 10 s.
        QVERIFY(setLighting(0, 0));
        QVERIFY(setLighting(1, 0));
        QTest::qWait(1000);
        const auto flowFrom = FakeOrgbServer::Clock::now();
        QTest::qWait(10000);
        const auto flowTo = FakeOrgbServer::Clock::now();
        for (std::uint32_t device : {0u, 2u}) {
            const int updates = updatesBetween(server, device, flowFrom, flowTo);
            qInfo() << "controller" << device << ":" << updates << "LED updates in 10 s of Flow";
            QVERIFY2(updates >= 225 && updates <= 275, qPrintable(QStringLiteral("controller %1: %2 updates in 10 s")
                                                                      .arg(device)
                                                                      .arg(updates)));
        }

        // The server restarts: the frames go on meanwhile, the lights come back within 3 s.
        server.stop();
        QStringList seen;
        QVERIFY(waitUntil([&] {
            seen << softwareRgb(0);
            return seen.removeDuplicates(), seen.size() >= 3;
        }, 10000));
        const auto restarted = FakeOrgbServer::Clock::now();
        QVERIFY(server.start(server.port()));
        QVERIFY(waitUntil([&] { return updatedSince(server, 0, restarted) && updatedSince(server, 2, restarted); },
                          10000));
        const auto relit = FakeOrgbServer::Clock::now();
        qInfo() << "lights again" << std::chrono::duration_cast<std::chrono::milliseconds>(relit - restarted).count()
                << "ms after the server's restart";
        QVERIFY2(relit - restarted < 3s,
                 qPrintable(QString::number(std::chrono::duration_cast<std::chrono::milliseconds>(relit - restarted).count())));
        QCOMPARE(m_control->process().state(), QProcess::Running);

        // A third module appears: the program discovers the modules again and drives it.
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::keyboard(),
                               FakeOrgbServer::dram("DIMM B", 5), FakeOrgbServer::dram("DIMM C", 5)});
        const auto changed = FakeOrgbServer::Clock::now();
        server.announceChange(3);
        QVERIFY(waitUntil([] { return ledNum(2) == 5; }, 20000));
        QVERIFY(setLighting(2, 0));
        QVERIFY(waitUntil([&] { return updatedSince(server, 3, changed) && updatedSince(server, 0, changed); }, 15000));

        // At the end each controller is left running the mode it had before we came.
        QVERIFY(stopControl());
        QTRY_VERIFY_WITH_TIMEOUT(server.controllers()[0].activeMode == 1, 5000);
    }

    // OpenRGB's server often starts after the user's session: its modules are taken up
    // when it comes, without a restart of the control program.
    void serverStartedLaterIsTakenUp()
    {
        FakeOrgbServer server;
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::dram("DIMM B", 5)});
        QVERIFY(server.start());
        const std::uint16_t port = server.port();
        server.stop();
        QVERIFY(registerHal(port));
        QVERIFY(startControl());
        QVERIFY(m_control->waitForOutput(QStringLiteral("watching it for some"), 20000));
        // The channel still holds the last test's modules until the program writes its own.
        QVERIFY(waitUntil([] { return ledNum(0) == 0 && ledNum(1) == 0 && ledNum(2) == 0; }, 20000));

        const auto started = FakeOrgbServer::Clock::now();
        QVERIFY(server.start(port));
        QVERIFY(waitUntil([] { return ledNum(0) == 5 && ledNum(1) == 5; }, 20000));
        QVERIFY(waitUntil([&] { return updatedSince(server, 0, started) && updatedSince(server, 1, started); },
                          15000));
        QVERIFY(stopControl());
    }

    void serverWithoutVersionAnswerIsProtocolZero()
    {
        FakeOrgbServer server;
        server.setProtocol(0);
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::dram("DIMM B", 5)});
        QVERIFY(server.start());
        QVERIFY(registerHal(server.port()));
        QVERIFY(startControl());
        QVERIFY(waitUntil([] { return ledNum(0) == 5 && ledNum(1) == 5; }, 20000));
        QVERIFY(waitUntil([&] { return updatedSince(server, 0, {}) && updatedSince(server, 1, {}); }, 15000));
        const auto requests = server.packets(OrgbPacket::ControllerData);
        QVERIFY(!requests.empty());
        for (const FakeOrgbServer::Packet &request : requests)
            QVERIFY(request.payload.empty()); // the version-0 request carries no version
        QVERIFY(stopControl());
    }
};

QTEST_GUILESS_MAIN(tst_OpenRgbE2E)
#include "tst_openrgb_e2e.moc"
