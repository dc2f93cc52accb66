#include "DiagnosticLog.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <thread>
#include <vector>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The lines of the log, each checked for its "\r\n" end.
QStringList logLines(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    if (bytes.isEmpty())
        return {};
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("<no CRLF at the end>")};
    QStringList lines = QString::fromUtf8(bytes.left(bytes.size() - 2)).split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            return {QStringLiteral("<stray line end>")};
    }
    return lines;
}

QStringList s_recorded;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    s_recorded << message;
}

const QString kBracketOpen = QString(QChar(0x3010));
const QString kBracketClose = QString(QChar(0x3011));

} // namespace

class TestDiagnosticLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lineFormat();
    void levelWords();
    void placeholdersInTheMessageStay();
    void defaultFileIsBesideTheStore();
    void messagesBecomeCrlfLinesInUtf8();
    void utf8WhateverTheLocale();
    void fileIsClosedAfterEachMessage();
    void nestedMessageDoesNotDeadlock();
    void threadsNeverInterleaveWithinALine();
    void debugLinesGoToTheFileOrNowhere();

private:
    TestEnvironment m_environment;
    QScopedPointer<QTemporaryDir> m_dir;
    QString logPath() const { return m_dir->path() + QStringLiteral("/VELTRIMARGB/VELTRIMARGB_Log.txt"); }
};

void TestDiagnosticLog::init()
{
    m_dir.reset(new QTemporaryDir(m_environment.root() + QStringLiteral("/log-XXXXXX")));
    QVERIFY(m_dir->isValid());
}

void TestDiagnosticLog::cleanup()
{
    DiagnosticLog::uninstall();
    QVERIFY(!DiagnosticLog::isInstalled());
}

void TestDiagnosticLog::lineFormat()
{
    const QMessageLogContext context("src/Lighting_Control.cpp", 123, "void f()", "default");
    const QDateTime when(QDate(2024, 1, 2), QTime(3, 4, 5));
    QCOMPARE(DiagnosticLog::formatLine(QtWarningMsg, context, QStringLiteral("Memory_Number : 2"), when),
             kBracketOpen + QStringLiteral("2024-01-02 03:04:05") + kBracketClose
                 + QStringLiteral("Warning: Memory_Number : 2 File:(src/Lighting_Control.cpp) Line:(123)"));

    // A message without a source place still gives a whole line.
    const QMessageLogContext empty;
    QCOMPARE(DiagnosticLog::formatLine(QtDebugMsg, empty, QStringLiteral("x"), when),
             kBracketOpen + QStringLiteral("2024-01-02 03:04:05") + kBracketClose + QStringLiteral("Debug: x File:() Line:(0)"));
}

void TestDiagnosticLog::levelWords()
{
    QCOMPARE(DiagnosticLog::levelWord(QtDebugMsg), QStringLiteral("Debug:"));
    QCOMPARE(DiagnosticLog::levelWord(QtWarningMsg), QStringLiteral("Warning:"));
    QCOMPARE(DiagnosticLog::levelWord(QtCriticalMsg), QStringLiteral("Critical:"));
    QCOMPARE(DiagnosticLog::levelWord(QtFatalMsg), QStringLiteral("Fatal:"));
    QCOMPARE(DiagnosticLog::levelWord(QtInfoMsg), QStringLiteral("Info:"));
    QCOMPARE(DiagnosticLog::levelWord(QtMsgType(42)), QString());
}

void TestDiagnosticLog::placeholdersInTheMessageStay()
{
    const QMessageLogContext context("dir/%1%2.cpp", 7, "f", "default");
    const QDateTime when(QDate(2024, 5, 6), QTime(7, 8, 9));
    const QString line = DiagnosticLog::formatLine(QtInfoMsg, context, QStringLiteral("value %2 then %1 and %4 %L1"), when);
    QCOMPARE(line, kBracketOpen + QStringLiteral("2024-05-06 07:08:09") + kBracketClose
                       + QStringLiteral("Info: value %2 then %1 and %4 %L1 File:(dir/%1%2.cpp) Line:(7)"));
}

void TestDiagnosticLog::defaultFileIsBesideTheStore()
{
    QCOMPARE(DiagnosticLog::defaultFilePath(),
             m_environment.configDir() + QStringLiteral("/Kv/VELTRIMARGB/VELTRIMARGB_Log.txt"));
}

void TestDiagnosticLog::messagesBecomeCrlfLinesInUtf8()
{
    DiagnosticLog::install(logPath());
    QVERIFY(DiagnosticLog::isInstalled());
    DiagnosticLog::writeStartLine();
    const int line = __LINE__ + 1;
    qWarning("warning %d", 1);
    qDebug() << "debug";
    qInfo("info");
    qCritical("critical %%2");
    DiagnosticLog::uninstall();
    qWarning("after uninstall, not in the file");

    const QByteArray bytes = fileBytes(logPath());
    QVERIFY(bytes.startsWith("\xE3\x80\x90")); // U+3010 in UTF-8
    QCOMPARE(bytes.count("\xE3\x80\x91"), 5);  // U+3011
    QCOMPARE(bytes.count("\r\n"), 5);

    const QStringList lines = logLines(logPath());
    QCOMPARE(lines.size(), 5);
    const QRegularExpression shape(QStringLiteral("^\u3010\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\u3011(.*) File:\\((.*)\\) Line:\\((\\d+)\\)$"));
    QStringList bodies;
    for (const QString &text : lines) {
        const QRegularExpressionMatch match = shape.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        bodies << match.captured(1);
    }
    QCOMPARE(bodies.at(0), QStringLiteral("Debug: ") + DiagnosticLog::startLine());
    QCOMPARE(DiagnosticLog::startLine(), QStringLiteral("======================START======================================"));
    QCOMPARE(bodies.at(1), QStringLiteral("Warning: warning 1"));
    QCOMPARE(bodies.at(2), QStringLiteral("Debug: debug"));
    QCOMPARE(bodies.at(3), QStringLiteral("Info: info"));
    QCOMPARE(bodies.at(4), QStringLiteral("Critical: critical %2"));
    QVERIFY2(lines.at(1).endsWith(QStringLiteral("tst_DiagnosticLog.cpp) Line:(%1)").arg(line)), qPrintable(lines.at(1)));
}

void TestDiagnosticLog::utf8WhateverTheLocale()
{
    QTextCodec *const original = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    DiagnosticLog::install(logPath());
    qWarning() << QStringLiteral("Gr\u00FC\u00DFe \u6E29\u5EA6");
    DiagnosticLog::uninstall();
    QTextCodec::setCodecForLocale(original);

    const QByteArray bytes = fileBytes(logPath());
    QVERIFY(bytes.startsWith("\xE3\x80\x90"));
    QVERIFY(bytes.contains("Gr\xC3\xBC\xC3\x9F" "e \xE6\xB8\xA9\xE5\xBA\xA6"));
}

void TestDiagnosticLog::fileIsClosedAfterEachMessage()
{
    DiagnosticLog::install(logPath());
    qDebug("one");
    QCOMPARE(logLines(logPath()).size(), 1);
    // Were the file still open, the next line would go to the removed file.
    QVERIFY(QFile::remove(logPath()));
    qDebug("two");
    const QStringList lines = logLines(logPath());
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.at(0).contains(QStringLiteral("Debug: two ")));
}

void TestDiagnosticLog::nestedMessageDoesNotDeadlock()
{
    // An empty file name makes the file layer warn while the handler is writing; that
    // warning must neither wait for the log's mutex nor come back into the log.
    const QtMessageHandler testHandler = qInstallMessageHandler(&recordMessage);
    DiagnosticLog::install(QString());
    qWarning("outer");
    DiagnosticLog::uninstall();
    qInstallMessageHandler(testHandler);
    QVERIFY(s_recorded.isEmpty());

    // The guard is released: a later message is logged normally.
    DiagnosticLog::install(logPath());
    qWarning("after");
    QCOMPARE(logLines(logPath()).size(), 1);
}

void TestDiagnosticLog::threadsNeverInterleaveWithinALine()
{
    DiagnosticLog::install(logPath());
    constexpr int kThreads = 4;
    constexpr int kMessages = 200;
    const QString padding(300, QLatin1Char('x'));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kMessages; ++i)
                qDebug().noquote() << QStringLiteral("thread %1 message %2 %3").arg(t).arg(i).arg(padding);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    DiagnosticLog::uninstall();

    const QStringList lines = logLines(logPath());
    QCOMPARE(lines.size(), kThreads * kMessages);
    const QRegularExpression shape(QStringLiteral("^\u3010[^\u3010\u3011]+\u3011Debug: thread (\\d) message (\\d+) x{300} File:\\([^()]*\\) Line:\\(\\d+\\)$"));
    int next[kThreads] = {};
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = shape.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line.left(120)));
        const int t = match.captured(1).toInt();
        QCOMPARE(match.captured(2).toInt(), next[t]++);
    }
}

// Without debug mode the program's debug lines reach nobody, while info and warnings
// still reach the terminal; in debug mode every line goes to the file instead.
void TestDiagnosticLog::debugLinesGoToTheFileOrNowhere()
{
    s_recorded.clear();
    const QtMessageHandler terminal = qInstallMessageHandler(recordMessage);
    DiagnosticLog::configure(false);
    qDebug("a debug line");
    qInfo("an info line");
    qWarning("a warning");
    QCOMPARE(s_recorded, (QStringList{QStringLiteral("an info line"), QStringLiteral("a warning")}));

    s_recorded.clear();
    DiagnosticLog::configure(true);
    qDebug("debugging now");
    qWarning("warned in the file");
    DiagnosticLog::uninstall();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(terminal);
    QVERIFY2(s_recorded.isEmpty(), qPrintable(s_recorded.join(QLatin1Char('|'))));
    const QStringList lines = logLines(DiagnosticLog::defaultFilePath());
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).contains(DiagnosticLog::startLine()));
    QVERIFY(lines.at(1).contains(QStringLiteral("Debug: debugging now")));
    QVERIFY(lines.at(2).contains(QStringLiteral("Warning: warned in the file")));
}

QTEST_GUILESS_MAIN(TestDiagnosticLog)
#include "tst_DiagnosticLog.moc"
