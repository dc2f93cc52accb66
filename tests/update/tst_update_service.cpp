// The update check against a local service: the exact requests, the kinds of answer,
// the success report after an update, the failures, and where the updater may come
// from. The updater is a stand-in that records how it was started.
#include "AutoUpdate.h"
#include "LocalHttpServer.h"
#include "TestEnvironment.h"
#include "UpdateNoteWindow.h"
#include "UpdateTestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkReply>
#include <QPushButton>
#include <QSslSocket>
#include <QTemporaryDir>

namespace {

constexpr int kWaitMs = 20000;
const QByteArray kVersionQuery = "ActiveData=ewogICAgImNvbW1hbmRfdHlwZSI6ICJLdjAzOCIsCiAgICAiZ2V0VXJsIjogMQp9Cg==";

QStringList s_log;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_log << message;
}

int logCount(const QString &part)
{
    return int(std::count_if(s_log.cbegin(), s_log.cend(), [&](const QString &line) { return line.contains(part); }));
}

// Waits until the n-th answer (or failure) has been handled.
bool waitForAnswers(int n)
{
    return QTest::qWaitFor([n] { return logCount(QStringLiteral("finishedSlot----------End")) >= n; }, kWaitMs);
}

bool repliesReleased(const AutoUpdate &update)
{
    return update.findChildren<QNetworkReply *>().isEmpty();
}

// A stand-in updater: records its argument count, its arguments and its working
// folder, one a line, into "<program>.record".
void writeRecorder(const QString &path)
{
    writeFile(path, "#!/bin/sh\nout=\"$0.record\"\n"
                    "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; pwd; } > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList record(const QString &program)
{
    const QString path = program + QStringLiteral(".record");
    if (!QFile::exists(path))
        return {};
    return QString::fromUtf8(fileBytes(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray answer(const char *code, const char *version, const QByteArray &url = "https://d.example.org/u.zip",
                  const QByteArray &note = "note")
{
    const QJsonObject data{{QStringLiteral("version"), QString::fromLatin1(version)},
                           {QStringLiteral("url"), QString::fromUtf8(url)},
                           {QStringLiteral("note"), QString::fromUtf8(note)}};
    return QJsonDocument(QJsonObject{{QStringLiteral("Result_Code"), QString::fromLatin1(code)}, {QStringLiteral("Data"), data}})
        .toJson();
}

} // namespace

class TestUpdateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void sameVersionShowsTheNoteAsPlainText();
    void newerVersionStartsTheUpdater_data();
    void newerVersionStartsTheUpdater();
    void answersThatChangeNothing_data();
    void answersThatChangeNothing();
    void silentServiceIsANetworkError();
    void successReportOnceAfterAnUpdate();
    void updaterNeverFromWorkingFolderOrPath();
    void addressWithoutSchemeUsesTls();

private:
    QString dataFile(const QString &name) const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB/") + name; }
    void configure(const QString &url, const QString &updater)
    {
        writeFile(dataFile(QStringLiteral("Services.ini")),
                  "[Update]\nUrl=" + url.toUtf8() + "\n" + (updater.isEmpty() ? QByteArray() : "Updater=" + updater.toUtf8()));
    }

    TestEnvironment m_env;
    QTemporaryDir m_tools;
    QString m_recorder;
    LocalHttpServer m_server;
};

void TestUpdateService::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_recorder = m_tools.filePath(QStringLiteral("record-updater"));
    writeRecorder(m_recorder);
    qInstallMessageHandler(recordMessage);
}

void TestUpdateService::init()
{
    QDir(m_env.configDir() + QStringLiteral("/Kv")).removeRecursively();
    QDir().mkpath(m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"));
    QFile::remove(m_recorder + QStringLiteral(".record"));
    s_log.clear();
    configure(m_server.httpUrl(), m_recorder);
    m_server.setSilent(false);
    m_server.clearRequests();
}

void TestUpdateService::sameVersionShowsTheNoteAsPlainText()
{
    const QByteArray note = "<b>Bold</b> & <a href=\"x\">link</a>\nsecond line";
    m_server.answer(200, answer("001", "1.0.2", "https://d.example.org/u.zip", note));
    AutoUpdate update;
    update.getVersion();
    QVERIFY(waitForAnswers(1));

    QCOMPARE(m_server.requests().size(), 1);
    const LocalHttpServer::Request request = m_server.requests().first();
    QCOMPARE(request.method + ' ' + request.path, QByteArray("POST /download/getVersionV1"));
    QCOMPARE(request.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(QByteArray::fromBase64(request.body.mid(11)), QByteArray("{\n    \"command_type\": \"Kv038\",\n    \"getUrl\": 1\n}\n"));
    QCOMPARE(request.body, kVersionQuery);

    auto *window = update.findChild<UpdateNoteWindow *>();
    QVERIFY(window && window->isVisible() && window->isWindow());
    QCOMPARE(window->geometry(), QRect(100, 100, 300, 300));
    QCOMPARE(window->noteText(), QString::fromUtf8(note));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);

    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btn_Close")), Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

void TestUpdateService::newerVersionStartsTheUpdater_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("fileUrl");

    QTest::newRow("002") << answer("002", "1.0.3") << QByteArray("<missing>");
    QTest::newRow("001") << answer("001", "1.1.0", "https://d.example.org/V_1.1.0.zip")
                         << QByteArray("https://d.example.org/V_1.1.0.zip");
}

void TestUpdateService::newerVersionStartsTheUpdater()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, fileUrl);

    m_server.answer(200, body);
    AutoUpdate update;
    update.setLanguageSource([] { return 3; });
    update.getVersion();
    QVERIFY(waitForAnswers(1));

    const QStringList started = {QStringLiteral("1"), QStringLiteral("VELTRIMARGB;DE;1.0.2"),
                                 QCoreApplication::applicationDirPath()};
    QTRY_COMPARE_WITH_TIMEOUT(record(m_recorder), started, kWaitMs);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("Version.txt"))), QByteArray("1.0.2"));
    QCOMPARE(fileBytes(dataFile(QStringLiteral("fileUrl.txt"))), fileUrl);
    QVERIFY(!update.findChild<UpdateNoteWindow *>());
}

void TestUpdateService::answersThatChangeNothing_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("not JSON") << 200 << QByteArray("<html>Service moved</html>");
    QTest::newRow("array") << 200 << QByteArray("[\"002\"]");
    QTest::newRow("code as number") << 200 << QByteArray("{\"Result_Code\": 2, \"Data\": {\"version\": \"9.9.9\"}}");
    QTest::newRow("Data not an object") << 200 << QByteArray("{\"Result_Code\": \"002\", \"Data\": \"9.9.9\"}");
    QTest::newRow("two-line address") << 200 << answer("001", "1.0.3", "https://d.example.org/a\nhttp://other.example/b");
    QTest::newRow("file address") << 200 << answer("001", "1.0.3", "file:///etc/passwd");
    QTest::newRow("long address") << 200 << answer("001", "1.0.3", "https://d.example.org/" + QByteArray(2100, 'a'));
    QTest::newRow("server failure") << 500 << answer("002", "9.9.9");
}

void TestUpdateService::answersThatChangeNothing()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    m_server.answer(status, body);
    AutoUpdate update;
    update.getVersion();
    QVERIFY(waitForAnswers(1));
    if (status != 200)
        QCOMPARE(logCount(QStringLiteral("found error ....code: %1 ").arg(status)), 1);

    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QVERIFY(!update.findChild<UpdateNoteWindow *>());
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("fileUrl.txt"))));
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

void TestUpdateService::silentServiceIsANetworkError()
{
    QCOMPARE(AutoUpdate::kDefaultReplyTimeoutMs, 30000);
    m_server.setSilent(true);
    AutoUpdate update;
    update.setReplyTimeout(500);
    QElapsedTimer clock;
    clock.start();
    update.getVersion();
    QVERIFY(waitForAnswers(1));
    QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(logCount(QStringLiteral("found error ....code: 0 ")), 1);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

void TestUpdateService::successReportOnceAfterAnUpdate()
{
    writeFile(dataFile(QStringLiteral("Version.txt")), "1.0.1");
    writeFile(dataFile(QStringLiteral("UUID.txt")), "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
    m_server.answer(200, "{}");
    {
        AutoUpdate update;
        writeFile(dataFile(QStringLiteral("KV_update.exe")), "download");
        update.getVersion();
        QVERIFY(!QFile::exists(dataFile(QStringLiteral("KV_update.exe"))));
        QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
        QVERIFY(waitForAnswers(1));
    }
    writeFile(dataFile(QStringLiteral("KV_update.exe")), "download");
    AutoUpdate nextStart;
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("KV_update.exe"))));
    nextStart.getVersion();
    QVERIFY(waitForAnswers(2));

    QCOMPARE(m_server.requests().size(), 2);
    const QByteArray report = "{\n"
                              "    \"UUID\": \"%7B3F2504E0-4F89-11D3-9A0C-0305E82C3301%7D\",\n"
                              "    \"command_type\": \"Kv038\",\n"
                              "    \"currentVersion\": \"1.0.1\",\n"
                              "    \"status\": \"ok\",\n"
                              "    \"updateVersion\": \"1.0.2\"\n"
                              "}\n";
    QCOMPARE(m_server.requests()[0].body, "ActiveData=" + report.toBase64());
    QCOMPARE(m_server.requests()[1].body, kVersionQuery);
}

void TestUpdateService::updaterNeverFromWorkingFolderOrPath()
{
    QTemporaryDir workingFolder;
    QTemporaryDir pathFolder;
    const QString inWorkingFolder = workingFolder.filePath(QStringLiteral("veltrima-update"));
    const QString onPath = pathFolder.filePath(QStringLiteral("veltrima-update"));
    writeRecorder(inWorkingFolder);
    writeRecorder(onPath);
    const QByteArray oldPath = qgetenv("PATH");
    const QString oldFolder = QDir::currentPath();
    qputenv("PATH", QFile::encodeName(pathFolder.path()) + ":" + oldPath);
    QDir::setCurrent(workingFolder.path());

    configure(m_server.httpUrl(), QString()); // the default: next to the running program
    m_server.answer(200, answer("002", "1.0.3"));
    AutoUpdate update;
    update.getVersion();
    const bool answered = waitForAnswers(1);
    QDir::setCurrent(oldFolder);
    qputenv("PATH", oldPath);
    QVERIFY(answered);

    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/veltrima-update");
    QCOMPARE(logCount(QStringLiteral("no updater program at ") + expected), 1);
    // So the next start still sees the running version as the one before the update.
    QCOMPARE(fileBytes(dataFile(QStringLiteral("Version.txt"))), QByteArray("1.0.2"));
    QTest::qWait(300);
    QVERIFY(record(inWorkingFolder).isEmpty() && record(onPath).isEmpty());
}

void TestUpdateService::addressWithoutSchemeUsesTls()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS support in this Qt");
    configure(m_server.hostAndPort(), m_recorder);
    m_server.answer(200, answer("002", "1.0.3"));
    AutoUpdate update;
    update.getVersion();
    QVERIFY(waitForAnswers(1));
    // The local service speaks plain HTTP, so the handshake fails and nothing goes in the clear.
    QVERIFY(m_server.requests().isEmpty());
    QCOMPARE(m_server.foreignStart().left(1), QByteArray("\x16")); // a TLS handshake record
    QCOMPARE(logCount(QStringLiteral("found error ....code:")), 1);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

QTEST_MAIN(TestUpdateService)
#include "tst_update_service.moc"
