#include "HalRegistry.h"

#include "BoundedFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>

namespace {

const char kSubFolder[] = "/veltrima/hal-servers/";
// A registry entry holds one path; anything larger is not ours.
constexpr qint64 kMaxEntrySize = 4096;

QString envFolder(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

} // namespace

QStringList HalRegistry::folders()
{
    QStringList result;
    QString dataHome = envFolder("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    result << dataHome + QLatin1String(kSubFolder);

    QString dataDirs = envFolder("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString &dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString folder = dir + QLatin1String(kSubFolder);
        if (!result.contains(folder))
            result << folder;
    }
    return result;
}

QVector<HalRegistryEntry> HalRegistry::entries()
{
    return entries(folders());
}

QVector<HalRegistryEntry> HalRegistry::entries(const QStringList &folders)
{
    QVector<HalRegistryEntry> result;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QString &name : names) {
            if (seen.contains(name))
                continue;
            seen.insert(name);
            // A failed read gives an empty path, which then fails to load.
            QString path;
            const BoundedFile entry = BoundedFile::read(dir.filePath(name), kMaxEntrySize);
            if (entry.isOk())
                path = QString::fromLocal8Bit(entry.contents()).trimmed();
            else
                qWarning().noquote() << "HAL registry entry refused:" << entry.reason();
            result.append({name, path});
        }
    }
    return result;
}

bool HalRegistry::registerServer(const QString &folder, const QString &clsid, const QString &serverPath)
{
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(QDir(folder).filePath(clsid));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serverPath.toLocal8Bit() + '\n');
    return file.commit();
}
