// The first line of a small kernel file (sysfs, procfs), trimmed; empty when unreadable.
#pragma once

#include <QString>

class SysfsFile
{
public:
    static QString readLine(const QString &path);
};
