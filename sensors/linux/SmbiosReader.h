// The memory devices of the SMBIOS table (type 17), in table order, which is the order
// of the board's slots. Empty slots are kept (size 0) so that a module's index is its slot.
#pragma once

#include "SensorMachine.h"

#include <QMap>

class SmbiosReader
{
public:
    struct Slot {
        MemoryModule module;
        int configuredSpeedMTs = 0;
    };

    explicit SmbiosReader(const QString &root);

    // From <root>/sys/firmware/dmi/tables/DMI when it is readable (root only), else, on
    // the real root, from udev's MEMORY_DEVICE_<n>_* properties of the DMI device.
    QVector<Slot> read() const;

    // The raw table; a damaged structure ends the walk, never a read past the data.
    static QVector<Slot> parseTable(const QByteArray &table);
    static QVector<Slot> parseUdevProperties(const QMap<QString, QString> &properties);

private:
    static QMap<QString, QString> udevDmiProperties();

    QString m_root;
};
