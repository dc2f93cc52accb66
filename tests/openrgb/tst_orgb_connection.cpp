// The HAL's connection against the test server and against peers that do not speak the
// protocol: versions 0 to 5, the direct mode selected once before the LED updates, the
// controllers' own modes and the restore at the end, reconnection after a restart, list
// changes followed once per burst, and hostile or silent peers refused with a log line.
#include "FakeOrgbServer.h"
#include "OrgbConnection.h"
#include "OrgbPacket.h"
#include "OrgbWriter.h"

#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;

std::mutex g_logMutex;
QStringList g_warnings;

void keepWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtWarningMsg)
        return;
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_warnings << text;
}

bool warned(const QString &part)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return std::any_of(g_warnings.cbegin(), g_warnings.cend(), [&](const QString &line) { return line.contains(part); });
}

OrgbConnectionSettings settingsFor(std::uint16_t port)
{
    OrgbConnectionSettings settings;
    settings.port = port;
    return settings;
}

std::vector<std::uint32_t> five(std::uint32_t colour)
{
    return std::vector<std::uint32_t>(5, colour);
}

// Accepts one client, answers its first bytes with `answer` and then only reads.
class ScriptedPeer
{
public:
    explicit ScriptedPeer(std::string answer) : m_answer(std::move(answer))
    {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_listener, 1);
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~ScriptedPeer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    std::uint16_t port() const { return m_port; }

private:
    void run()
    {
        int client = -1;
        bool answered = false;
        while (!m_stop) {
            pollfd fd{client < 0 ? m_listener : client, POLLIN, 0};
            if (poll(&fd, 1, 50) != 1)
                continue;
            if (client < 0) {
                client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                continue;
            }
            char buffer[4096];
            if (recv(client, buffer, sizeof buffer, 0) <= 0) {
                ::close(client);
                client = -1;
                answered = false;
                continue;
            }
            if (!answered && !m_answer.empty())
                send(client, m_answer.data(), m_answer.size(), MSG_NOSIGNAL);
            answered = true;
        }
        if (client >= 0)
            ::close(client);
    }

    std::string m_answer;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class tst_OrgbConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qInstallMessageHandler(keepWarnings); }

    void drivesControllersInEachVersion_data()
    {
        QTest::addColumn<quint32>("version");
        for (quint32 v : {0u, 1u, 3u, 4u, 5u})
            QTest::newRow(qPrintable(QStringLiteral("v%1").arg(v))) << v;
    }

    void drivesControllersInEachVersion()
    {
        QFETCH(quint32, version);
        FakeOrgbServer server;
        server.setProtocol(version);
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::keyboard(),
                               FakeOrgbServer::dram("DIMM B", 5)});
        QVERIFY(server.start());
        OrgbConnection connection(settingsFor(server.port()), nullptr);

        // The keyboard is not driven; the memory controllers keep the server's order.
        const std::vector<OrgbController> devices = connection.devices(3s);
        QCOMPARE(int(devices.size()), 2);
        QCOMPARE(devices[0].name, std::string("DIMM A"));
        QCOMPARE(devices[1].name, std::string("DIMM B"));
        for (const FakeOrgbServer::Packet &request : server.packets(OrgbPacket::ControllerData))
            QCOMPARE(request.payload, version == 0 ? std::string() : OrgbWriter().u32(version).data());

        for (int frame = 0; frame < 3; ++frame) {
            connection.show(0, OrgbConnection::kEffectShow, five(0x0000ff).data(), 5);
            connection.show(1, OrgbConnection::kEffectShow, five(0x00ff00).data(), 5);
        }
        QTRY_VERIFY_WITH_TIMEOUT(server.controllers()[0].colors == five(0x0000ff)
                                     && server.controllers()[2].colors == five(0x00ff00),
                                 5000);
        QCOMPARE(server.controllers()[0].activeMode, 0); // Direct
        // The direct mode is chosen once, before the first LED update of each controller.
        std::vector<std::uint32_t> toFirst;
        for (const FakeOrgbServer::Packet &packet : server.packets()) {
            if (packet.device == 2 && packet.id >= OrgbPacket::UpdateLeds)
                toFirst.push_back(packet.id);
        }
        QVERIFY(toFirst.size() >= 3);
        QCOMPARE(toFirst[0], std::uint32_t(OrgbPacket::SetCustomMode));
        QCOMPARE(toFirst[1], std::uint32_t(OrgbPacket::UpdateMode));
        QVERIFY(std::count(toFirst.begin(), toFirst.end(), std::uint32_t(OrgbPacket::SetCustomMode)) == 1);

        // A controller's own mode with our colour, then what it ran before we came.
        connection.show(0, OrgbConnection::kEffectModeBase + 1, five(0xff0000).data(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(server.controllers()[0].activeMode == 1
                                     && server.controllers()[0].modes[1].colors == std::vector<std::uint32_t>{0xff0000},
                                 5000);
        connection.show(0, OrgbConnection::kEffectRestore, five(0).data(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(server.controllers()[0].modes[1] == FakeOrgbServer::dram("DIMM A", 5).modes[1], 5000);
    }

    void reconnectsAndFollowsListChanges()
    {
        FakeOrgbServer server;
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::dram("DIMM B", 5)});
        QVERIFY(server.start());
        std::atomic<int> changes{0};
        OrgbConnection connection(settingsFor(server.port()), nullptr);
        connection.setChangeHandler([&] { ++changes; });
        QCOMPARE(int(connection.devices(3s).size()), 2);

        // A frame handed over while the server is away is shown once it is back.
        server.stop();
        connection.show(1, OrgbConnection::kEffectShow, five(0x123456).data(), 5);
        QVERIFY(server.start(server.port()));
        QElapsedTimer sinceBack;
        sinceBack.start();
        QTRY_VERIFY_WITH_TIMEOUT(server.controllers()[1].colors == five(0x123456), 5000);
        QVERIFY2(sinceBack.elapsed() < 3000, qPrintable(QString::number(sinceBack.elapsed())));

        // A burst of announcements is one new listing and one change reported.
        server.clearPackets();
        server.setControllers({FakeOrgbServer::dram("DIMM A", 5), FakeOrgbServer::dram("DIMM B", 5),
                               FakeOrgbServer::dram("DIMM C", 5)});
        server.announceChange(5);
        QTRY_COMPARE_WITH_TIMEOUT(changes.load(), 1, 5000);
        QTest::qWait(700);
        QCOMPARE(changes.load(), 1);
        QCOMPARE(int(server.packets(OrgbPacket::ControllerCount).size()), 1);
        // The devices handed out keep their numbering until the host lists them again.
        QCOMPARE(int(connection.devices(0ms).size()), 2);
    }

    void refusesPeersThatDoNotSpeakTheProtocol_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("logged");
        QTest::newRow("wrong magic") << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n") << "magic";
        QTest::newRow("100 MB announced")
            << QByteArray::fromStdString(OrgbPacket::frame(OrgbPacket::ProtocolVersion, 0).substr(0, 12)
                                         + OrgbWriter().u32(100000000).data())
            << "100000000 bytes";
        QTest::newRow("version reply of 2 bytes")
            << QByteArray::fromStdString(OrgbPacket::frame(OrgbPacket::ProtocolVersion, 0, "\x05\x00"))
            << "protocol version reply";
        QTest::newRow("size that lies")
            << QByteArray::fromStdString(OrgbPacket::frame(OrgbPacket::ProtocolVersion, 0).substr(0, 12)
                                         + OrgbWriter().u32(64).data() + "\x05")
            << "cut short";
        QTest::newRow("silent") << QByteArray() << "no answer to the controller count";
    }

    void refusesPeersThatDoNotSpeakTheProtocol()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, logged);
        ScriptedPeer peer(answer.toStdString());
        QElapsedTimer took;
        took.start();
        OrgbConnection connection(settingsFor(peer.port()), nullptr);
        QVERIFY(connection.devices(6s).empty());
        QVERIFY2(took.elapsed() < 5000, qPrintable(QString::number(took.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(warned(logged), 3000);
        // Frames for devices that were never listed are dropped, not queued.
        connection.show(0, OrgbConnection::kEffectShow, five(1).data(), 5);
    }
};

QTEST_GUILESS_MAIN(tst_OrgbConnection)
#include "tst_orgb_connection.moc"
