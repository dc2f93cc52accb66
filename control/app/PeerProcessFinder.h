// Finds the running processes of this user by executable name, the way a program run
// under Wine shows it too: the base name after the last '/' or '\' of the executable's
// link or, failing that, of the first word of its command line.
#pragma once

#include <QList>
#include <QString>

class PeerProcessFinder
{
public:
    // Sorted pids; processes of other users are never listed.
    static QList<qint64> find(const QString &executableName);
    static QString baseName(const QString &path);
};
