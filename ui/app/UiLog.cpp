#include "UiLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cstdio>
#include <mutex>

namespace {
constexpr qint64 kMaxDeviceFileBytes = 1024 * 1024;

struct LogFile {
    std::mutex mutex;
    QString path;
};

// Never destroyed: messages can still arrive while static objects are torn down.
LogFile &logFile()
{
    static LogFile *const file = new LogFile;
    return *file;
}

// A message raised while this thread writes one (a warning from the file layer) is
// dropped instead of waiting for the mutex this thread holds.
thread_local bool t_writing = false;

const char *levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "Debug:";
    case QtInfoMsg:
        return "Info:";
    case QtWarningMsg:
        return "Warning:";
    case QtCriticalMsg:
        return "Critical:";
    case QtFatalMsg:
        return "Fatal:";
    default:
        return "";
    }
}
} // namespace

QString UiLog::settingsFolder()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kv"),
                             QStringLiteral("application"));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/VELTRIMARGB");
}

QString UiLog::filePath()
{
    return settingsFolder() + QStringLiteral("/VELTRIMARGB_UI_Log.txt");
}

bool UiLog::debugModeFromDeviceFile()
{
    const QFileInfo device(settingsFolder() + QStringLiteral("/ModuleDevice.ini"));
    // A FIFO or a huge file there must not stall the start.
    if (!device.isFile() || device.size() > kMaxDeviceFileBytes)
        return false;
    const QSettings settings(device.filePath(), QSettings::IniFormat);
    return settings.value(QStringLiteral("DebugMode/isDebugMode"), false).toBool();
}

void UiLog::install(bool debugMode)
{
    if (debugMode)
        return;
    {
        const std::lock_guard<std::mutex> lock(logFile().mutex);
        logFile().path = filePath();
    }
    QDir().mkpath(settingsFolder());
    qInstallMessageHandler(&UiLog::handleMessage);
}

void UiLog::handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString line = QStringLiteral("%1 %2 %3 (%4:%5)\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                  QLatin1String(levelWord(type)), message,
                                  QString::fromUtf8(context.file ? context.file : "?"))
                             .arg(context.line);
    if (type == QtFatalMsg) {
        // The process ends next: the reason belongs where the user sees it.
        std::fprintf(stderr, "%s", line.toLocal8Bit().constData());
    }
    if (t_writing)
        return;
    t_writing = true;
    LogFile &log = logFile();
    {
        const std::lock_guard<std::mutex> lock(log.mutex);
        const QFileInfo info(log.path);
        if (info.size() > kMaxFileBytes) {
            QFile::remove(log.path + QStringLiteral(".old"));
            QFile::rename(log.path, log.path + QStringLiteral(".old"));
        }
        // Opening a FIFO put there for writing would block the program.
        QFile file(log.path);
        if ((!info.exists() || info.isFile())
            && file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            file.write(line.toUtf8());
    }
    t_writing = false;
}
