#include "RuntimeFolder.h"

#include <QDebug>
#include <QDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString baseFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && runtime.startsWith('/'))
        return QDir::cleanPath(QString::fromLocal8Bit(runtime)) + QStringLiteral("/veltrima");
    return QStringLiteral("/tmp/veltrima-%1").arg(geteuid());
}

// Opens the folder without following a link and checks that only we can use it.
// A folder we have just made gets its mode set explicitly, since the umask may have
// narrowed it.
bool checkFolder(const QByteArray &path, bool created)
{
    const int fd = open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        qWarning().noquote() << "Runtime folder" << path << "refused:" << strerror(errno);
        return false;
    }
    struct stat info {};
    bool usable = false;
    if (fstat(fd, &info) != 0) {
        qWarning().noquote() << "Runtime folder" << path << "refused:" << strerror(errno);
    } else if (!S_ISDIR(info.st_mode)) {
        qWarning().noquote() << "Runtime folder" << path << "refused: not a directory";
    } else if (info.st_uid != geteuid()) {
        qWarning().noquote() << "Runtime folder" << path << "refused: owned by uid" << info.st_uid;
    } else if (created && fchmod(fd, S_IRWXU) != 0) {
        qWarning().noquote() << "Runtime folder" << path << "refused: chmod failed:" << strerror(errno);
    } else if (!created && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        qWarning().noquote() << "Runtime folder" << path << "refused: open to others, mode"
                             << QString::number(info.st_mode & 07777, 8);
    } else {
        usable = true;
    }
    close(fd);
    return usable;
}

} // namespace

QString RuntimeFolder::path()
{
    const QString folder = baseFolder();
    const QByteArray native = QFile::encodeName(folder);
    bool created = false;
    if (mkdir(native.constData(), S_IRWXU) == 0) {
        created = true;
    } else if (errno != EEXIST) {
        qWarning().noquote() << "Runtime folder" << folder << "cannot be created:" << strerror(errno);
        return QString();
    }
    return checkFolder(native, created) ? folder : QString();
}

QString RuntimeFolder::filePath(const QString &prefix, const QString &name, const QString &suffix)
{
    const QString folder = path();
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + prefix + safeName(name) + suffix;
}

QString RuntimeFolder::safeName(const QString &name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        const ushort code = c.unicode();
        if (c == QLatin1Char('/') || c == QLatin1Char('%') || code < 0x20 || code == 0x7f)
            safe += QStringLiteral("%%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        else
            safe += c;
    }
    return safe;
}
