#include "UpdateDataFolder.h"

#include "Profile_RW.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSaveFile>

QString UpdateDataFolder::defaultPath()
{
    return Profile_RW::defaultBaseDirectory();
}

UpdateDataFolder::UpdateDataFolder(const QString &path)
    : m_path(path)
{
}

QString UpdateDataFolder::filePath(const QString &name) const
{
    return m_path + QLatin1Char('/') + name;
}

bool UpdateDataFolder::contains(const QString &name) const
{
    return QFile::exists(filePath(name));
}

bool UpdateDataFolder::create() const
{
    if (QDir().mkpath(m_path))
        return true;
    qWarning().noquote() << "Update: cannot create the data folder" << m_path;
    return false;
}

std::optional<QString> UpdateDataFolder::readText(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Update: cannot read" << file.fileName() << file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        qWarning().noquote() << "Update: refused" << file.fileName() << "of more than" << kMaxFileSize << "bytes";
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

bool UpdateDataFolder::writeLatin1(const QString &name, const QString &text) const
{
    QSaveFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) < 0 || !file.commit()) {
        qWarning().noquote() << "Update: cannot write" << file.fileName() << file.errorString();
        return false;
    }
    return true;
}

bool UpdateDataFolder::remove(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.exists())
        return true;
    if (file.remove())
        return true;
    qWarning().noquote() << "Update: cannot delete" << file.fileName() << file.errorString();
    return false;
}
