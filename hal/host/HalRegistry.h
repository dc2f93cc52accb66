// The folders in which HAL servers are registered: one file per server, named by the
// server's CLSID in brace form, holding the path of the server's shared object.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct HalRegistryEntry {
    QString name;       // the file name: the server's CLSID string
    QString serverPath; // the file's content, trimmed
};

class HalRegistry
{
public:
    // $XDG_DATA_HOME/veltrima/hal-servers/, then each $XDG_DATA_DIRS entry + /veltrima/hal-servers/.
    static QStringList folders();
    // Every entry of every folder, each folder's entries in sorted name order. A name
    // registered twice is kept only where it is found first.
    static QVector<HalRegistryEntry> entries();
    static QVector<HalRegistryEntry> entries(const QStringList &folders);
    // Writes (or replaces) an entry; false when the folder or file cannot be written.
    static bool registerServer(const QString &folder, const QString &clsid, const QString &serverPath);
};
