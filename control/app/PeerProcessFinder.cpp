#include "PeerProcessFinder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ownedByUs(const QString &processFolder)
{
    struct stat info {};
    return ::stat(QFile::encodeName(processFolder).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

QString commandName(const QString &processFolder)
{
    QFile cmdline(processFolder + QStringLiteral("/cmdline"));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    return QFile::decodeName(cmdline.read(4096).split('\0').value(0));
}

} // namespace

QString PeerProcessFinder::baseName(const QString &path)
{
    QString name = path;
    const QString deleted = QStringLiteral(" (deleted)");
    if (name.endsWith(deleted))
        name.chop(deleted.size());
    const int cut = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    return name.mid(cut + 1);
}

QList<qint64> PeerProcessFinder::find(const QString &executableName)
{
    QList<qint64> pids;
    if (executableName.isEmpty())
        return pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        const QString folder = QStringLiteral("/proc/") + entry;
        if (!numeric || pid <= 0 || !ownedByUs(folder))
            continue;
        const QString link = QFile::symLinkTarget(folder + QStringLiteral("/exe"));
        if (baseName(link) == executableName || baseName(commandName(folder)) == executableName)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}
