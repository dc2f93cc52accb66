#include "HelperProcess.h"
#include "TestEnvironment.h"
#include "WindowEndpoint.h"
#include "WindowFrame.h"
#include "WindowMessenger.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtEndian>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Echoes what it was sent so the tests can see every field arrive.
qint64 echo(const WindowRequest &request)
{
    if (request.isCopyData())
        return request.copyData.size();
    if (request.message == 0x8200)
        return static_cast<qint64>(request.wParam) * 1000 + request.lParam;
    return 0;
}

// Sends from another thread, so the main thread's event loop can serve the endpoint.
template<typename Send>
std::optional<qint64> fromWorker(Send send)
{
    std::future<std::optional<qint64>> result = std::async(std::launch::async, send);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

// Connections that send nothing, as a flood of them arrives; all closed at the end.
class IdleConnections
{
public:
    IdleConnections(const QString &socketPath, int count)
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(socketPath);
        std::memcpy(address.sun_path, native.constData(), size_t(qMin<int>(native.size(), sizeof(address.sun_path) - 1)));
        // A full queue refuses for the moment (EAGAIN); the owner empties it as it accepts.
        QDeadlineTimer deadline(20000);
        while (int(m_fds.size()) < count && !deadline.hasExpired()) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd < 0)
                break;
            if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0) {
                m_fds.push_back(fd);
                continue;
            }
            const int error = errno;
            ::close(fd);
            if (error != EAGAIN)
                break;
            QThread::msleep(10);
        }
    }
    ~IdleConnections() { closeAll(); }
    int count() const { return int(m_fds.size()); }
    void closeAll()
    {
        for (const int fd : m_fds)
            ::close(fd);
        m_fds.clear();
    }

private:
    std::vector<int> m_fds;
};

WindowRequest copyData(const QByteArray &data)
{
    WindowRequest request;
    request.message = WindowRequest::WM_COPYDATA;
    request.copyDataType = 10001;
    request.copyData = data;
    return request;
}

} // namespace

class tst_WindowEndpoint : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_env;

private slots:
    void initTestCase() { qRegisterMetaType<WindowRequest>(); }

    void frameRefusesMalformedHeaders_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("width");
        QTest::newRow("bad magic") << 0 << 0x12345678u << 4;
        QTest::newRow("unknown version") << 4 << 9u << 2;
        QTest::newRow("unknown kind") << 6 << 3u << 2;
        QTest::newRow("copy data kind on a plain message") << 8 << 0x8111u << 4;
        QTest::newRow("oversized") << 40 << (WindowFrame::MaxCopyDataSize + 1) << 4;
    }

    void frameRefusesMalformedHeaders()
    {
        QFETCH(int, offset);
        QFETCH(quint32, value);
        QFETCH(int, width);
        QByteArray frame = WindowFrame::encodeRequest(copyData("abc"));
        if (width == 4)
            qToLittleEndian<quint32>(value, frame.data() + offset);
        else
            qToLittleEndian<quint16>(static_cast<quint16>(value), frame.data() + offset);
        WindowRequest request;
        int consumed = 0;
        QString error;
        // Refused from the header alone: an oversized frame is not awaited.
        QCOMPARE(WindowFrame::parseRequest(frame.left(WindowFrame::HeaderSize), &request, &consumed, &error),
                 WindowFrame::Parse::Malformed);
        QVERIFY(!error.isEmpty());
    }

    void frameRoundTrip()
    {
        WindowRequest sent = copyData(QByteArray(5992, 'x'));
        sent.wParam = 4242;
        sent.senderPid = 77;
        const QByteArray frame = WindowFrame::encodeRequest(sent);
        WindowRequest received;
        int consumed = 0;
        QCOMPARE(WindowFrame::parseRequest(frame.left(frame.size() - 1), &received, &consumed, nullptr),
                 WindowFrame::Parse::NeedMore);
        QCOMPARE(WindowFrame::parseRequest(frame + "trailing", &received, &consumed, nullptr),
                 WindowFrame::Parse::Complete);
        QCOMPARE(consumed, frame.size());
        QCOMPARE(received.message, sent.message);
        QCOMPARE(received.wParam, sent.wParam);
        QCOMPARE(received.copyDataType, sent.copyDataType);
        QCOMPARE(received.copyData, sent.copyData);

        qint64 result = 0;
        QVERIFY(WindowFrame::parseReply(WindowFrame::encodeReply(-5), &result));
        QCOMPARE(result, -5);
        QVERIFY(!WindowFrame::parseReply(WindowFrame::encodeReply(1).left(8), &result));
    }

    void roundTripInThisProcess()
    {
        WindowEndpoint endpoint(QStringLiteral("VELTRIMA RGB Control"));
        QVERIFY(endpoint.isListening());
        endpoint.setHandler(echo);
        QSignalSpy received(&endpoint, &WindowEndpoint::messageReceived);

        // From the endpoint's own thread: delivered directly, announced only afterwards.
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("VELTRIMA RGB Control"), 0x8200, 3, 4), qint64(3004));
        QCOMPARE(received.count(), 0);
        QTRY_COMPARE(received.count(), 1);

        // From another thread: through the socket.
        QCOMPARE(fromWorker([] { return WindowMessenger::sendMessage(QStringLiteral("VELTRIMA RGB Control"), 0x8301, 1, 1); }),
                 qint64(0));
        const QByteArray data = QCryptographicHash::hash("record", QCryptographicHash::Sha512).repeated(100);
        QCOMPARE(fromWorker([&data] {
                     return WindowMessenger::sendCopyData(QStringLiteral("VELTRIMA RGB Control"), 99, 10001, data);
                 }),
                 qint64(data.size()));
        QTRY_COMPARE(received.count(), 3);
        const auto quit = received.at(1).at(0).value<WindowRequest>();
        QCOMPARE(quit.message, 0x8301u);
        QCOMPARE(quit.senderPid, qint64(getpid()));
        QCOMPARE(received.at(1).at(1).toLongLong(), qint64(0));
        const auto block = received.at(2).at(0).value<WindowRequest>();
        QVERIFY(block.isCopyData());
        QCOMPARE(block.wParam, quint64(99));
        QCOMPARE(block.copyDataType, quint64(10001));
        QCOMPARE(block.copyData, data);

        const WindowMessenger::Window window = WindowMessenger::findWindow(QStringLiteral("VELTRIMA RGB Control"));
        QCOMPARE(window.pid, qint64(getpid()));
        QVERIFY(!WindowMessenger::findWindow(QStringLiteral("VELTRIMA RGB")).isValid());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Window VELTRIMA RGB not found")));
        QVERIFY(!WindowMessenger::sendMessage(QStringLiteral("VELTRIMA RGB"), 0x8302, 1, 1));
    }

    void roundTripWithAnotherProcess()
    {
        HelperProcess helper;
        QCOMPARE(helper.start({QStringLiteral("endpoint"), QStringLiteral("Spectra Hub")}), QByteArray("ready"));
        QCOMPARE(WindowMessenger::windowPid(QStringLiteral("Spectra Hub")), helper.pid());
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("Spectra Hub"), 0x8200, 1, -70), qint64(930));
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("Spectra Hub"), 0x8130, 1, 60), qint64(0));

        const QByteArray record(5992, '\x5a');
        QCOMPARE(WindowMessenger::sendCopyData(QStringLiteral("Spectra Hub"), quint64(getpid()), 10000, record),
                 qint64(5992));
        const QByteArray line = helper.readLine();
        QCOMPARE(line, "copydata 10000 " + QByteArray::number(getpid()) + ' ' + QByteArray::number(getpid()) + ' '
                           + QCryptographicHash::hash(record, QCryptographicHash::Sha1).toHex());

        const QList<WindowMessenger::Window> windows = WindowMessenger::windowsOfProcess(helper.pid());
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first().title, QStringLiteral("Spectra Hub"));
        QVERIFY(WindowMessenger::windowsOfProcess(getpid()).isEmpty());
    }

    // A handler's own messages go out only after its reply, so two processes that message
    // each other from their handlers never wait on each other.
    void replyGoesOutBeforeTheHandlersMessages()
    {
        WindowEndpoint origin(QStringLiteral("VELTRIMA RGB Control"));
        origin.setHandler(echo);
        QSignalSpy received(&origin, &WindowEndpoint::messageReceived);
        HelperProcess hub;
        QCOMPARE(hub.start({QStringLiteral("endpoint"), QStringLiteral("KV RGB Memory"), QStringLiteral("VELTRIMA RGB Control")}),
                 QByteArray("ready"));

        // This thread waits for the reply and cannot serve its own endpoint meanwhile.
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("KV RGB Memory"), 0x8111, 0, 0), qint64(7));
        QTRY_COMPARE(received.count(), 1);
        const auto block = received.first().at(0).value<WindowRequest>();
        QCOMPARE(block.copyDataType, quint64(10000));
        QCOMPARE(block.copyData.size(), 5992);
        QCOMPARE(block.wParam, quint64(hub.pid()));
        QCOMPARE(block.senderPid, hub.pid());
        QCOMPARE(hub.readLine(), QByteArray("sent 5992"));
    }

    void hungWindowDoesNotHangTheSender()
    {
        HelperProcess hung;
        QCOMPARE(hung.start({QStringLiteral("hang"), QStringLiteral("Spectra Hub")}), QByteArray("ready"));
        QCOMPARE(WindowMessenger::findWindow(QStringLiteral("Spectra Hub")).pid, hung.pid());

        QElapsedTimer clock;
        clock.start();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Window Spectra Hub gave no answer")));
        QVERIFY(!WindowMessenger::sendMessage(QStringLiteral("Spectra Hub"), 0x8130, 1, 60, 300));
        // More than a socket buffer holds, so the write itself would block.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Window Spectra Hub gave no answer")));
        QVERIFY(!WindowMessenger::sendCopyData(QStringLiteral("Spectra Hub"), 1, 10000,
                                               QByteArray(int(WindowFrame::MaxCopyDataSize), 'a'), 300));
        QVERIFY2(clock.elapsed() < 20000, "the sender waited far past its bound");
    }

    void staleSocketOfAKilledOwner()
    {
        HelperProcess killed;
        QCOMPARE(killed.start({QStringLiteral("endpoint"), QStringLiteral("VELTRIMA")}), QByteArray("ready"));
        killed.kill();
        QVERIFY(QFile::exists(WindowEndpoint::socketPath(QStringLiteral("VELTRIMA"))));
        QVERIFY(!WindowMessenger::findWindow(QStringLiteral("VELTRIMA")).isValid());

        WindowEndpoint endpoint(QStringLiteral("VELTRIMA"));
        QVERIFY(endpoint.isListening());
        endpoint.setHandler(echo);
        QCOMPARE(fromWorker([] { return WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8200, 2, 2); }),
                 qint64(2002));
    }

    void liveTitleIsNotTaken()
    {
        HelperProcess owner;
        QCOMPARE(owner.start({QStringLiteral("endpoint"), QStringLiteral("VELTRIMA")}), QByteArray("ready"));
        WindowEndpoint endpoint;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("another window has the title")));
        QVERIFY(!endpoint.setTitle(QStringLiteral("VELTRIMA")));
        QCOMPARE(WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8200, 5, 0), qint64(5000));
    }

    void renamedWindow()
    {
        WindowEndpoint endpoint(QStringLiteral("VELTRIMA RGB Base"));
        endpoint.setHandler(echo);
        const QString oldSocket = WindowEndpoint::socketPath(QStringLiteral("VELTRIMA RGB Base"));
        QVERIFY(QFile::exists(oldSocket));

        QVERIFY(endpoint.setTitle(QStringLiteral("VELTRIMA")));
        QCOMPARE(endpoint.title(), QStringLiteral("VELTRIMA"));
        QVERIFY(!QFile::exists(oldSocket));
        QVERIFY(!WindowMessenger::findWindow(QStringLiteral("VELTRIMA RGB Base")).isValid());
        QCOMPARE(fromWorker([] { return WindowMessenger::sendMessage(QStringLiteral("VELTRIMA"), 0x8200, 0, 8); }),
                 qint64(8));

        // The old title is free for someone else.
        WindowEndpoint other(QStringLiteral("VELTRIMA RGB Base"));
        QVERIFY(other.isListening());
    }

    void longAndOddTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("hashed");
        QTest::newRow("long") << QString(300, QLatin1Char('T')) << true;
        QTest::newRow("slash") << QStringLiteral("../up/and away") << false;
        QTest::newRow("non-latin") << QStringLiteral("VELTRIMA \u7e7d\u7d1b") << false;
    }

    void longAndOddTitles()
    {
        QFETCH(QString, title);
        QFETCH(bool, hashed);
        const QString socket = WindowEndpoint::socketPath(title);
        QVERIFY(QFile::encodeName(socket).size() <= 107);
        QCOMPARE(QFileInfo(socket).absolutePath(), m_env.runtimeDir() + QStringLiteral("/veltrima"));
        QCOMPARE(socket.contains(QStringLiteral("window-%h")), hashed);

        WindowEndpoint endpoint(title);
        QVERIFY(endpoint.isListening());
        endpoint.setHandler(echo);
        QCOMPARE(fromWorker([&title] { return WindowMessenger::sendMessage(title, 0x8200, 1, 1); }), qint64(1001));
        const QList<WindowMessenger::Window> windows = WindowMessenger::windowsOfProcess(getpid());
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first().title, hashed ? QString() : title);
    }

    // More connections than the owner has descriptors: the endpoint stays and answers.
    void connectionFloodNeverClosesTheEndpoint_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<bool>("answersDuringFlood");
        QTest::newRow("ulimit -n 64") << QStringLiteral("64") << true;
        // Descriptors run out long before the bound of peers is reached.
        QTest::newRow("four descriptors to spare") << QStringLiteral("+4") << false;
    }

    void connectionFloodNeverClosesTheEndpoint()
    {
        QFETCH(QString, limit);
        QFETCH(bool, answersDuringFlood);
        const QString title = QStringLiteral("VELTRIMA RGB Control");
        HelperProcess helper;
        QCOMPARE(helper.start({QStringLiteral("limited"), title, limit}), QByteArray("ready"));
        const QString socket = WindowEndpoint::socketPath(title);

        IdleConnections flood(socket, 100);
        // Time for the owner to accept all it can.
        QTest::qWait(1000);
        QVERIFY2(QFile::exists(socket), "the endpoint closed");
        QCOMPARE(flood.count(), 100);
        if (answersDuringFlood) {
            // Idle senders are dropped a few seconds after they connect, 32 at a time, so
            // a patient sender is served behind them.
            QCOMPARE(WindowMessenger::sendMessage(title, 0x8200, 2, 5, 60000), qint64(2005));
        }
        flood.closeAll();
        QTRY_VERIFY_WITH_TIMEOUT(WindowMessenger::sendMessage(title, 0x8200, 1, -70, 5000) == qint64(930), 30000);
        QVERIFY(QFile::exists(socket));
        QCOMPARE(helper.process().state(), QProcess::Running);
    }

    void malformedRequestsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("log");
        const QByteArray good = WindowFrame::encodeRequest(copyData("payload"));
        QByteArray badKind = good;
        qToLittleEndian<quint16>(7, badKind.data() + 6);
        QByteArray oversized = good.left(WindowFrame::HeaderSize);
        qToLittleEndian<quint32>(64u * 1024 * 1024, oversized.data() + 40);
        QTest::newRow("short") << good.left(20) << "refused a short request";
        QTest::newRow("cut data") << good.left(good.size() - 2) << "refused a short request";
        QTest::newRow("bad kind") << badKind << "refused a malformed request";
        QTest::newRow("oversized") << oversized << "refused a malformed request";
        QTest::newRow("garbage") << QByteArray(100, '\xff') << "refused a malformed request";
    }

    void malformedRequestsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, log);
        WindowEndpoint endpoint(QStringLiteral("VELTRIMA RGB"));
        int handled = 0;
        endpoint.setHandler([&handled](const WindowRequest &) { return ++handled; });

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Window VELTRIMA RGB ") + log));
        QLocalSocket raw;
        raw.connectToServer(WindowEndpoint::socketPath(QStringLiteral("VELTRIMA RGB")));
        QVERIFY(raw.waitForConnected(5000));
        raw.write(bytes);
        raw.flush();
        if (log.contains(QLatin1String("short"))) {
            QTest::qWait(50);
            raw.disconnectFromServer();
            QTRY_VERIFY(raw.state() == QLocalSocket::UnconnectedState);
            QTest::qWait(50);
        } else {
            QTRY_VERIFY(raw.state() == QLocalSocket::UnconnectedState);
            QCOMPARE(raw.bytesAvailable(), qint64(0));
        }
        QCOMPARE(handled, 0);

        // The endpoint keeps serving.
        QCOMPARE(fromWorker([] { return WindowMessenger::sendMessage(QStringLiteral("VELTRIMA RGB"), 0x8302, 1, 1); }),
                 qint64(1));
    }
};

QTEST_GUILESS_MAIN(tst_WindowEndpoint)
#include "tst_WindowEndpoint.moc"
