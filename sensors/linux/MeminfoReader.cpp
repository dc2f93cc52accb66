#include "MeminfoReader.h"

#include "SysfsFile.h"

#include <QList>

namespace {

constexpr qint64 kMaxMeminfoBytes = 256 * 1024;

} // namespace

MeminfoReader::MeminfoReader(const QString &root)
    : m_path(root + QStringLiteral("/proc/meminfo"))
{
}

SensorDevice MeminfoReader::read() const
{
    SensorDevice device;
    device.name = QStringLiteral("System: Memory");

    const QByteArray contents = SysfsFile::readAll(m_path, kMaxMeminfoBytes);
    if (contents.isEmpty())
        return device;
    qint64 totalKB = -1;
    qint64 availableKB = -1;
    for (const QByteArray &line : contents.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2)
            continue;
        bool ok = false;
        const qint64 value = fields.at(1).toLongLong(&ok);
        if (!ok || value < 0)
            continue;
        if (fields.at(0) == "MemTotal:")
            totalKB = value;
        else if (fields.at(0) == "MemAvailable:")
            availableKB = value;
    }
    if (totalKB <= 0 || availableKB < 0 || availableKB > totalKB)
        return device;

    const qint64 usedKB = totalKB - availableKB;
    const QString mb = QStringLiteral("MB");
    device.others.append({QStringLiteral("Physical Memory Used"), usedKB / 1024.0, mb});
    device.others.append({QStringLiteral("Physical Memory Available"), availableKB / 1024.0, mb});
    device.others.append({QStringLiteral("Physical Memory Load"), 100.0 * double(usedKB) / double(totalKB),
                          QStringLiteral("%")});
    return device;
}
