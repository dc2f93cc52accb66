#include "DiagnosticLog.h"

#include "Profile_RW.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

struct LogState {
    std::mutex mutex;
    QString filePath;
    bool installed = false;
    // Read without the mutex: a nested message arrives while this thread holds it.
    std::atomic<QtMessageHandler> previous{nullptr};
};

// Never destroyed: messages can still arrive while static objects are torn down.
LogState &state()
{
    static LogState *const instance = new LogState;
    return *instance;
}

// A message raised while this thread is already writing one (a warning from the file
// layer, say) must not wait for the mutex this thread holds.
thread_local bool t_writing = false;

class WritingGuard
{
public:
    WritingGuard() { t_writing = true; }
    ~WritingGuard() { t_writing = false; }
    WritingGuard(const WritingGuard &) = delete;
    WritingGuard &operator=(const WritingGuard &) = delete;
};

void writeToStandardError(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray text = qFormatLogMessage(type, context, message).toLocal8Bit();
    std::fprintf(stderr, "%s\n", text.constData());
    std::fflush(stderr);
}

} // namespace

QString DiagnosticLog::defaultFilePath()
{
    return Profile_RW::defaultBaseDirectory() + QStringLiteral("/VELTRIMARGB_Log.txt");
}

void DiagnosticLog::configure(bool debugMode)
{
    if (!debugMode) {
        // A disabled category costs nothing at the call site, not even the formatting.
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
        return;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("veltrima.lighting.effects.debug=true"));
    install();
    writeStartLine();
}

void DiagnosticLog::install(const QString &filePath)
{
    LogState &log = state();
    {
        const std::lock_guard<std::mutex> lock(log.mutex);
        log.filePath = filePath;
        if (log.installed)
            return;
        log.installed = true;
    }
    if (!filePath.isEmpty())
        QDir().mkpath(QFileInfo(filePath).absolutePath());
    log.previous = qInstallMessageHandler(&DiagnosticLog::handleMessage);
}

void DiagnosticLog::uninstall()
{
    LogState &log = state();
    {
        const std::lock_guard<std::mutex> lock(log.mutex);
        if (!log.installed)
            return;
        log.installed = false;
    }
    qInstallMessageHandler(log.previous.exchange(nullptr));
}

bool DiagnosticLog::isInstalled()
{
    LogState &log = state();
    const std::lock_guard<std::mutex> lock(log.mutex);
    return log.installed;
}

QString DiagnosticLog::startLine()
{
    return QStringLiteral("======================START======================================");
}

void DiagnosticLog::writeStartLine()
{
    qDebug().noquote() << startLine();
}

QString DiagnosticLog::levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("Debug:");
    case QtWarningMsg:
        return QStringLiteral("Warning:");
    case QtCriticalMsg:
        return QStringLiteral("Critical:");
    case QtFatalMsg:
        return QStringLiteral("Fatal:");
    case QtInfoMsg:
        return QStringLiteral("Info:");
    }
    return QString();
}

QString DiagnosticLog::formatLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                                  const QDateTime &when)
{
    // Each format is filled in one pass, so a "%1" or "%2" inside the message or the
    // file name stays as it is.
    const QString place = QStringLiteral("File:(%1) Line:(%2)")
                              .arg(QString::fromUtf8(context.file), QString::number(context.line));
    return QStringLiteral("\u3010%1\u3011%2 %3 %4")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), levelWord(type), message, place);
}

void DiagnosticLog::handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    LogState &log = state();
    if (t_writing) {
        const QtMessageHandler previous = log.previous.load();
        if (previous)
            previous(type, context, message);
        else
            writeToStandardError(type, context, message);
        return;
    }
    const WritingGuard guard;

    const std::lock_guard<std::mutex> lock(log.mutex);
    const QByteArray line = (formatLine(type, context, message, QDateTime::currentDateTime())
                             + QStringLiteral("\r\n")).toUtf8();
    QFile file(log.filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line);
    file.close();
}
