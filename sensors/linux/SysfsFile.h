// Small kernel files (sysfs, procfs) under the library's root folder. The root is
// configurable, so each file is read only when it is a regular file within a bound: a
// FIFO or a device put there must not hold or flood the scan.
#pragma once

#include <QByteArray>
#include <QString>

class SysfsFile
{
public:
    // A kernel attribute never comes near this.
    static constexpr qint64 MaxAttributeBytes = 64 * 1024;

    // The first line, trimmed; empty when unreadable or refused.
    static QString readLine(const QString &path);
    // The whole file, empty when unreadable or refused (refusals are logged).
    static QByteArray readAll(const QString &path, qint64 maxBytes);
};
