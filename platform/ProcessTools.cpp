#include "ProcessTools.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString linkBaseName(const QString &processFolder)
{
    const QString target = QFile::symLinkTarget(processFolder + QStringLiteral("/exe"));
    return target.isEmpty() ? QString() : ProcessTools::baseName(target);
}

QString commandBaseName(const QString &processFolder)
{
    QFile cmdline(processFolder + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    return ProcessTools::baseName(QFile::decodeName(cmdline.read(4096).split('\0').value(0)));
}

// The executable's own name, or the name it was started by (through a link, or with an
// argv[0] of its own), which is all there is when the link belongs to another user.
bool matches(const QString &processFolder, const QString &name)
{
    return linkBaseName(processFolder) == name || commandBaseName(processFolder) == name;
}

bool ownedByUs(const QString &processFolder)
{
    struct stat info {};
    return ::stat(QFile::encodeName(processFolder).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

} // namespace

bool ProcessTools::startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                                 qint64 *pid)
{
    qint64 started = 0;
    const bool ok = QProcess::startDetached(program, arguments, workingFolder, &started);
    if (!ok)
        qWarning().noquote() << "Cannot start" << program << "in" << workingFolder;
    if (pid)
        *pid = ok ? started : 0;
    return ok;
}

QString ProcessTools::baseName(QString path)
{
    const QString deleted = QStringLiteral(" (deleted)");
    if (path.endsWith(deleted))
        path.chop(deleted.size());
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

QList<qint64> ProcessTools::findProcesses(const QString &executableName, Owner owner)
{
    QList<qint64> pids;
    if (executableName.isEmpty())
        return pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid <= 0)
            continue;
        const QString folder = QStringLiteral("/proc/") + entry;
        if ((owner == Owner::AnyUser || ownedByUs(folder)) && matches(folder, executableName))
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

int ProcessTools::runShellCommand(const QString &command)
{
    qInfo().noquote() << "Running" << command;
    const int status = std::system(command.toLocal8Bit().constData());
    if (status == -1 || !WIFEXITED(status)) {
        qWarning().noquote() << "Command" << command << "could not be run, status" << status;
        return -1;
    }
    return WEXITSTATUS(status);
}
