// The update check against a local service: the exact requests, the three kinds of
// answer, the success report after an update, the failures, and where the updater may
// come from. The updater is a stand-in that records how it was started.
#include "AutoUpdate.h"
#include "LocalHttpServer.h"
#include "TestEnvironment.h"
#include "UpdateNoteWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkReply>
#include <QPushButton>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kWaitMs = 20000;

QStringList s_log;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_log << message;
}

int logCount(const QString &part)
{
    return int(std::count_if(s_log.cbegin(), s_log.cend(), [&](const QString &line) { return line.contains(part); }));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A stand-in updater: records its arguments, one a line after their count, and its
// working folder into "<program>.record".
void writeRecorder(const QString &path)
{
    writeFile(path, "#!/bin/sh\n"
                    "out=\"$0.record\"\n"
                    "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; pwd; } > \"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList record(const QString &program)
{
    QFile file(program + QStringLiteral(".record"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray answer(const char *code, const char *version, const QByteArray &url = "https://d.example.org/u.zip",
                  const QByteArray &note = "note")
{
    QJsonObject data{{QStringLiteral("version"), QString::fromLatin1(version)},
                     {QStringLiteral("url"), QString::fromUtf8(url)},
                     {QStringLiteral("note"), QString::fromUtf8(note)}};
    return QJsonDocument(QJsonObject{{QStringLiteral("Result_Code"), QString::fromLatin1(code)},
                                     {QStringLiteral("Data"), data}})
        .toJson();
}

} // namespace

class TestUpdateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void sameVersionShowsTheNoteAsPlainText();
    void newerWithCode002StartsTheUpdater();
    void newerWithCode001NotesTheAddressAndStarts();
    void refusedDownloadAddressStartsNothing();
    void answerThatIsNotJsonDoesNothing();
    void successReportOnceAfterAnUpdate();
    void failuresAreLoggedAndReleased();
    void updaterNeverFromWorkingFolderOrPath();
    void addressWithoutSchemeUsesTls();

private:
    QString dataFile(const QString &name) const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB/") + name; }
    void configure(const QString &url, const QString &updater);
    // Waits until the n-th answer (or failure) has been handled.
    bool waitForAnswers(int n) const;
    // Every answer handled and every reply gone.
    static bool repliesReleased(const AutoUpdate &update) { return update.findChildren<QNetworkReply *>().isEmpty(); }

    TestEnvironment m_env;
    QTemporaryDir m_tools;
    QString m_recorder;
    LocalHttpServer m_server;
    QtMessageHandler m_previousHandler = nullptr;
};

void TestUpdateService::initTestCase()
{
    QVERIFY(m_tools.isValid());
    QVERIFY(m_server.isListening());
    m_recorder = m_tools.filePath(QStringLiteral("record-updater"));
    writeRecorder(m_recorder);
    m_previousHandler = qInstallMessageHandler(recordMessage);
}

void TestUpdateService::cleanupTestCase()
{
    qInstallMessageHandler(m_previousHandler);
}

void TestUpdateService::init()
{
    QDir(m_env.configDir() + QStringLiteral("/Kv")).removeRecursively();
    QDir().mkpath(m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"));
    QFile::remove(m_recorder + QStringLiteral(".record"));
    s_log.clear();
    configure(m_server.httpUrl(), m_recorder);
    m_server.setSilent(false);
}

void TestUpdateService::configure(const QString &url, const QString &updater)
{
    QByteArray ini = "[Update]\nUrl=" + url.toUtf8() + "\n";
    if (!updater.isEmpty())
        ini += "Updater=" + updater.toUtf8() + "\n";
    writeFile(dataFile(QStringLiteral("Services.ini")), ini);
}

bool TestUpdateService::waitForAnswers(int n) const
{
    return QTest::qWaitFor([n] { return logCount(QStringLiteral("finishedSlot----------End")) >= n; }, kWaitMs);
}

void TestUpdateService::sameVersionShowsTheNoteAsPlainText()
{
    const QByteArray note = "<b>Bold</b> & <a href=\"x\">link</a>\nsecond line";
    m_server.answer(200, answer("001", "1.0.2", "https://d.example.org/u.zip", note));
    const int before = m_server.requests().size();

    AutoUpdate update;
    update.getVersion();
    QVERIFY(waitForAnswers(1));

    const QList<LocalHttpServer::Request> requests = m_server.requests().mid(before);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].method, QByteArray("POST"));
    QCOMPARE(requests[0].path, QByteArray("/download/getVersionV1"));
    QCOMPARE(requests[0].headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
    const QByteArray json = "{\n    \"command_type\": \"Kv038\",\n    \"getUrl\": 1\n}\n";
    QCOMPARE(requests[0].body, "ActiveData=" + json.toBase64());
    QCOMPARE(requests[0].body, QByteArray("ActiveData=ewogICAgImNvbW1hbmRfdHlwZSI6ICJLdjAzOCIsCiAgICAiZ2V0VXJsIjogMQp9Cg=="));

    auto *window = update.findChild<UpdateNoteWindow *>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(window->geometry(), QRect(100, 100, 300, 300));
    QCOMPARE(window->noteText(), QString::fromUtf8(note));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("fileUrl.txt"))));
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);

    auto *close = window->findChild<QPushButton *>(QStringLiteral("btn_Close"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!window->isVisible());
}

void TestUpdateService::newerWithCode002StartsTheUpdater()
{
    m_server.answer(200, answer("002", "1.0.3"));
    AutoUpdate update;
    update.setLanguageSource([] { return 3; });
    update.getVersion();
    QVERIFY(waitForAnswers(1));

    QTRY_COMPARE_WITH_TIMEOUT(record(m_recorder),
                              (QStringList{QStringLiteral("1"), QStringLiteral("VELTRIMARGB;DE;1.0.2"),
                                           QCoreApplication::applicationDirPath()}),
                              kWaitMs);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("Version.txt"))), QByteArray("1.0.2"));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("fileUrl.txt"))));
    QVERIFY(!update.findChild<UpdateNoteWindow *>());
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

void TestUpdateService::newerWithCode001NotesTheAddressAndStarts()
{
    m_server.answer(200, answer("001", "1.1.0", "https://d.example.org/VELTRIMA_1.1.0.zip"));
    AutoUpdate update;
    update.setupVersion(QStringLiteral("1.0.9"));
    update.getVersion();
    QVERIFY(waitForAnswers(1));

    QTRY_COMPARE_WITH_TIMEOUT(record(m_recorder).value(1), QStringLiteral("VELTRIMARGB;en;1.0.9"), kWaitMs);
    QCOMPARE(fileBytes(dataFile(QStringLiteral("fileUrl.txt"))), QByteArray("https://d.example.org/VELTRIMA_1.1.0.zip"));
    QCOMPARE(fileBytes(dataFile(QStringLiteral("Version.txt"))), QByteArray("1.0.9"));
    QVERIFY(!update.findChild<UpdateNoteWindow *>());
}

void TestUpdateService::refusedDownloadAddressStartsNothing()
{
    const QList<QByteArray> urls = {"https://d.example.org/a\nhttp://evil.example/b", "file:///etc/passwd",
                                    "https://d.example.org/" + QByteArray(2100, 'a'), ""};
    AutoUpdate update;
    for (int i = 0; i < urls.size(); ++i) {
        m_server.answer(200, answer("001", "1.0.3", urls[i]));
        update.getVersion();
        QVERIFY(waitForAnswers(i + 1));
        QCOMPARE(logCount(QStringLiteral("refused the download address")), i + 1);
    }
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("fileUrl.txt"))));
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
}

void TestUpdateService::answerThatIsNotJsonDoesNothing()
{
    const QList<QByteArray> bodies = {"<html>Service moved</html>", "[\"002\"]",
                                      "{\"Result_Code\": 2, \"Data\": {\"version\": \"9.9.9\"}}",
                                      "{\"Result_Code\": \"002\", \"Data\": \"9.9.9\"}"};
    AutoUpdate update;
    for (int i = 0; i < bodies.size(); ++i) {
        m_server.answer(200, bodies[i]);
        update.getVersion();
        QVERIFY(waitForAnswers(i + 1));
    }
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QVERIFY(!update.findChild<UpdateNoteWindow *>());
    QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

void TestUpdateService::successReportOnceAfterAnUpdate()
{
    writeFile(dataFile(QStringLiteral("KV_update.exe")), "download");
    writeFile(dataFile(QStringLiteral("Version.txt")), "1.0.1");
    writeFile(dataFile(QStringLiteral("UUID.txt")), "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
    m_server.answer(200, "{}");
    const int before = m_server.requests().size();
    {
        AutoUpdate update;
        QVERIFY(!QFile::exists(dataFile(QStringLiteral("KV_update.exe")))); // cleared at construction
        writeFile(dataFile(QStringLiteral("KV_update.exe")), "download");
        update.getVersion();
        QVERIFY(!QFile::exists(dataFile(QStringLiteral("KV_update.exe"))));
        QVERIFY(!QFile::exists(dataFile(QStringLiteral("Version.txt"))));
        QVERIFY(waitForAnswers(1));
    }
    {
        AutoUpdate nextStart;
        nextStart.getVersion();
        QVERIFY(waitForAnswers(2));
    }

    const QList<LocalHttpServer::Request> requests = m_server.requests().mid(before);
    QCOMPARE(requests.size(), 2);
    const QByteArray report = "{\n"
                              "    \"UUID\": \"%7B3F2504E0-4F89-11D3-9A0C-0305E82C3301%7D\",\n"
                              "    \"command_type\": \"Kv038\",\n"
                              "    \"currentVersion\": \"1.0.1\",\n"
                              "    \"status\": \"ok\",\n"
                              "    \"updateVersion\": \"1.0.2\"\n"
                              "}\n";
    QCOMPARE(QByteArray::fromBase64(requests[0].body.mid(11)), report);
    QCOMPARE(requests[0].body, "ActiveData=" + report.toBase64());
    QCOMPARE(requests[1].body, QByteArray("ActiveData=ewogICAgImNvbW1hbmRfdHlwZSI6ICJLdjAzOCIsCiAgICAiZ2V0VXJsIjogMQp9Cg=="));
}

void TestUpdateService::failuresAreLoggedAndReleased()
{
    AutoUpdate update;
    m_server.answer(500, answer("002", "9.9.9"));
    update.getVersion();
    QVERIFY(waitForAnswers(1));
    QCOMPARE(logCount(QStringLiteral("found error ....code: 500 ")), 1);
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);

    // A service that takes the request and never answers.
    m_server.setSilent(true);
    update.setReplyTimeout(500);
    QElapsedTimer clock;
    clock.start();
    update.getVersion();
    QVERIFY(waitForAnswers(2));
    QCOMPARE(logCount(QStringLiteral("found error ....code: 0 ")), 1);
    QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
    QCOMPARE(AutoUpdate::kDefaultReplyTimeoutMs, 30000);
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
    // As the next start sees it: the running version is still the noted one.
    QCOMPARE(fileBytes(dataFile(QStringLiteral("Version.txt"))), QByteArray("1.0.2"));
    QTest::qWait(300);
    QVERIFY(record(inWorkingFolder).isEmpty());
    QVERIFY(record(onPath).isEmpty());
}

void TestUpdateService::addressWithoutSchemeUsesTls()
{
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS support in this Qt");
    configure(m_server.hostAndPort(), m_recorder);
    m_server.answer(200, answer("002", "1.0.3"));
    const int plainRequests = m_server.requests().size();

    AutoUpdate update;
    update.getVersion();
    QVERIFY(waitForAnswers(1));
    // The service here speaks plain HTTP, so the handshake fails: nothing is sent in the clear.
    QCOMPARE(m_server.requests().size(), plainRequests);
    QVERIFY(m_server.foreignConnections() >= 1);
    QCOMPARE(m_server.foreignStart(0).left(1), QByteArray("\x16")); // TLS handshake record
    QCOMPARE(logCount(QStringLiteral("found error ....code:")), 1);
    QCOMPARE(logCount(QStringLiteral("Start update111")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(repliesReleased(update), kWaitMs);
}

QTEST_MAIN(TestUpdateService)
#include "tst_update_service.moc"
