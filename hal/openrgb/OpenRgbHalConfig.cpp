#include "OpenRgbHalConfig.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QStringList dataFolders()
{
    QString home = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    QString dirs = QString::fromLocal8Bit(qgetenv("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    return QStringList{home} + dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

} // namespace

QString OpenRgbHalConfig::writableFilePath(const QString &dataHome, const QString &clsid)
{
    return dataHome + QStringLiteral("/veltrima/hal-openrgb/") + clsid + QStringLiteral(".ini");
}

OpenRgbHalConfig OpenRgbHalConfig::load(const QString &clsid)
{
    for (const QString &folder : dataFolders()) {
        const QString path = writableFilePath(folder, clsid);
        if (QFileInfo::exists(path))
            return fromFile(path);
    }
    return {};
}

OpenRgbHalConfig OpenRgbHalConfig::fromFile(const QString &path)
{
    QSettings ini(path, QSettings::IniFormat);
    OpenRgbHalConfig config;
    const QString address = ini.value(QStringLiteral("server/address")).toString();
    if (!address.isEmpty()) {
        if (const std::optional<OpenRgbAddress> parsed = parseAddress(address)) {
            config.host = parsed->host;
            config.port = parsed->port;
        } else {
            qWarning().noquote() << "OpenRGB HAL:" << path << "has no usable address" << address
                                 << "; using 127.0.0.1:6742";
        }
    }
    const QStringList types = ini.value(QStringLiteral("server/deviceTypes")).toStringList();
    for (const QString &type : types) {
        bool ok = false;
        const int value = type.trimmed().toInt(&ok);
        if (ok && value >= 0 && !config.deviceTypes.contains(value))
            config.deviceTypes.append(value);
        else if (!ok)
            qWarning().noquote() << "OpenRGB HAL: device type" << type << "in" << path << "is not a number";
    }
    config.latencyReport = ini.value(QStringLiteral("server/latencyReport")).toString();
    return config;
}

std::optional<OpenRgbAddress> OpenRgbHalConfig::parseAddress(const QString &text)
{
    QString host = text.trimmed();
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const int close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        const QString rest = host.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return std::nullopt;
        port = rest.mid(1);
        host = host.mid(1, close - 1);
    } else if (host.count(QLatin1Char(':')) == 1) {
        port = host.section(QLatin1Char(':'), 1);
        host = host.section(QLatin1Char(':'), 0, 0);
    }
    if (host.isEmpty() || host.contains(QLatin1Char(' ')))
        return std::nullopt;
    OpenRgbAddress address{host, kDefaultPort};
    if (!port.isEmpty()) {
        bool ok = false;
        const uint value = port.toUInt(&ok);
        if (!ok || value == 0 || value > 65535)
            return std::nullopt;
        address.port = quint16(value);
    }
    return address;
}
