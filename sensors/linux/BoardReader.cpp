#include "BoardReader.h"

#include "SysfsFile.h"

#include <QDir>

namespace {

bool readHex(const QString &path, uint &value)
{
    bool ok = false;
    value = SysfsFile::readLine(path).toUInt(&ok, 16);
    return ok;
}

} // namespace

BoardReader::BoardReader(const QString &root)
    : m_root(root)
{
}

QString BoardReader::boardText() const
{
    const QString folder = m_root + QStringLiteral("/sys/class/dmi/id/");
    const QString text = (SysfsFile::readLine(folder + QStringLiteral("board_vendor")) + QLatin1Char(' ')
                          + SysfsFile::readLine(folder + QStringLiteral("board_name"))).trimmed();
    return text.isEmpty() ? QString() : text;
}

QString BoardReader::chipset() const
{
    const QString devicesFolder = m_root + QStringLiteral("/sys/bus/pci/devices");
    const QStringList devices = QDir(devicesFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    constexpr uint kIsaBridge = 0x060100;
    constexpr uint kHostBridge = 0x060000;
    QString bridge;
    for (uint wanted : {kIsaBridge, kHostBridge}) {
        for (const QString &device : devices) {
            uint pciClass = 0;
            if (readHex(devicesFolder + QLatin1Char('/') + device + QStringLiteral("/class"), pciClass)
                && (pciClass & 0xFFFF00) == wanted) {
                bridge = devicesFolder + QLatin1Char('/') + device;
                break;
            }
        }
        if (!bridge.isEmpty())
            break;
    }
    uint vendor = 0;
    uint device = 0;
    if (bridge.isEmpty() || !readHex(bridge + QStringLiteral("/vendor"), vendor)
        || !readHex(bridge + QStringLiteral("/device"), device))
        return QString();
    for (const char *database : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
        // The database is about 1.5 MB today.
        constexpr qint64 maxBytes = 64 * 1024 * 1024;
        const QByteArray ids = SysfsFile::readAll(m_root + QLatin1String(database), maxBytes);
        if (ids.isEmpty())
            continue;
        const QString name = pciDeviceName(ids, quint16(vendor), quint16(device));
        if (!name.isNull())
            return name;
    }
    return QString();
}

QString BoardReader::pciDeviceName(const QByteArray &pciIds, quint16 vendor, quint16 device)
{
    const QByteArray vendorKey = QByteArray::number(vendor, 16).rightJustified(4, '0');
    const QByteArray deviceKey = QByteArray::number(device, 16).rightJustified(4, '0');
    bool inVendor = false;
    for (const QByteArray &line : pciIds.split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.at(0) != '\t') {
            inVendor = line.startsWith(vendorKey + "  ");
            continue;
        }
        if (inVendor && line.size() > 7 && line.at(1) != '\t' && line.mid(1, 4) == deviceKey)
            return QString::fromUtf8(line.mid(5).trimmed());
    }
    return QString();
}
