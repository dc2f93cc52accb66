#include "VirtualHalConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr int kDefaultDevices = 4;
constexpr int kDefaultLeds = 5;
constexpr int kMemoryType = 458752;
// More than the record can show is still reported (the host must cope), but not without bound.
constexpr int kMaxDevices = 16;

QStringList dataFolders()
{
    QStringList folders;
    QString home = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    folders << home;
    QString dirs = QString::fromLocal8Bit(qgetenv("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    folders << dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return folders;
}

QString deviceName(int index)
{
    return QStringLiteral("Virtual DIMM %1").arg(index);
}

} // namespace

QString VirtualHalConfig::writableFilePath(const QString &dataHome, const QString &clsid)
{
    return dataHome + QStringLiteral("/veltrima/hal-virtual/") + clsid + QStringLiteral(".ini");
}

QString VirtualHalConfig::filePath(const QString &clsid)
{
    for (const QString &folder : dataFolders()) {
        const QString path = writableFilePath(folder, clsid);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

VirtualHalConfig VirtualHalConfig::load(const QString &clsid)
{
    const QString path = filePath(clsid);
    return path.isEmpty() ? defaults() : fromFile(path);
}

VirtualHalConfig VirtualHalConfig::defaults()
{
    VirtualHalConfig config;
    for (int i = 0; i < kDefaultDevices; ++i)
        config.devices.append({deviceName(i), kMemoryType, kDefaultLeds});
    return config;
}

VirtualHalConfig VirtualHalConfig::fromFile(const QString &path)
{
    QSettings ini(path, QSettings::IniFormat);
    const int count = qBound(0, ini.value(QStringLiteral("server/devices"), kDefaultDevices).toInt(), kMaxDevices);
    const int leds = ini.value(QStringLiteral("server/ledCount"), kDefaultLeds).toInt();
    const int type = ini.value(QStringLiteral("server/type"), kMemoryType).toInt();

    VirtualHalConfig config;
    for (int i = 0; i < count; ++i) {
        const QString group = QStringLiteral("device%1/").arg(i);
        VirtualHalDeviceConfig device;
        device.name = ini.value(group + QStringLiteral("name"), deviceName(i)).toString();
        device.type = ini.value(group + QStringLiteral("type"), type).toInt();
        device.ledCount = ini.value(group + QStringLiteral("ledCount"), leds).toInt();
        config.devices.append(device);
    }
    return config;
}
