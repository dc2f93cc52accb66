#include "SysfsFile.h"

#include "BoundedFile.h"

#include <QDebug>

QString SysfsFile::readLine(const QString &path)
{
    const QByteArray contents = readAll(path, MaxAttributeBytes);
    const int end = contents.indexOf('\n');
    return QString::fromUtf8(end < 0 ? contents : contents.left(end)).trimmed();
}

QByteArray SysfsFile::readAll(const QString &path, qint64 maxBytes)
{
    const BoundedFile file = BoundedFile::read(path, maxBytes);
    switch (file.status()) {
    case BoundedFile::Status::Ok:
        return file.contents();
    case BoundedFile::Status::NotRegularFile:
    case BoundedFile::Status::TooLarge:
        qWarning() << "Linux sensors: file refused:" << path << file.reason();
        return QByteArray();
    case BoundedFile::Status::Missing:
    case BoundedFile::Status::Unreadable:
        return QByteArray();
    }
    return QByteArray();
}
