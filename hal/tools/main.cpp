// Registers a HAL server: the virtual DIMM server (its registry entry and, when none exists
// yet, a default set-up of four memory modules with five LEDs each), or the server that
// drives devices through OpenRGB's SDK server (its entry and the server's address).
#include "HalGuid.h"
#include "HalRegistry.h"
#include "OpenRgbHalConfig.h"
#include "VirtualHalState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

namespace {

// The CLSID under which the OpenRGB server is registered by default.
const char kOpenRgbClsid[] = "{8E3B6F1A-2C47-4D95-B0E8-61F4A7C9D213}";

QString defaultRegistryFolder()
{
    QString home = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    return home + QStringLiteral("/veltrima/hal-servers");
}

// The set-up of a server lives beside the registry folder: <data>/veltrima/<kind>/<clsid>.ini.
QString setupPath(const QString &registryFolder, const QString &kind, const QString &clsid)
{
    QDir dir(registryFolder);
    dir.cdUp();
    return dir.filePath(kind + QLatin1Char('/') + clsid + QStringLiteral(".ini"));
}

int registerOpenRgb(const QCommandLineParser &parser, const QString &clsid, const QString &folder,
                    const QString &types)
{
    QTextStream err(stderr);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        err << "usage: veltrima-hal-register --openrgb [HOST:PORT] [--folder f] [--types 4,0]\n";
        return 2;
    }
    const QString addressText = positional.value(0, QStringLiteral("127.0.0.1:6742"));
    const std::optional<OpenRgbAddress> address = OpenRgbHalConfig::parseAddress(addressText);
    if (!address) {
        err << "not a HOST:PORT address: " << addressText << '\n';
        return 2;
    }
    const QString server = QCoreApplication::applicationDirPath() + QStringLiteral("/veltrima-hal-openrgb.so");
    if (!QFileInfo::exists(server)) {
        err << "server not found: " << server << '\n';
        return 1;
    }
    if (!HalRegistry::registerServer(folder, clsid, server)) {
        err << "cannot write the registry entry in " << folder << '\n';
        return 1;
    }
    const QString setup = setupPath(folder, QStringLiteral("hal-openrgb"), clsid);
    QDir().mkpath(QFileInfo(setup).absolutePath());
    QSettings ini(setup, QSettings::IniFormat);
    const QString host = address->host.contains(QLatin1Char(':')) ? QLatin1Char('[') + address->host + QLatin1Char(']')
                                                                  : address->host;
    ini.setValue(QStringLiteral("server/address"), host + QLatin1Char(':') + QString::number(address->port));
    if (!types.isNull())
        ini.setValue(QStringLiteral("server/deviceTypes"), types.split(QLatin1Char(','), Qt::SkipEmptyParts));
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        err << "cannot write " << setup << '\n';
        return 1;
    }
    QTextStream(stdout) << "registered " << clsid << " -> " << server << " (OpenRGB SDK server " << host << ':'
                        << address->port << ")\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltrima-hal-register"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Registers the virtual DIMM HAL server, or the OpenRGB one."));
    parser.addHelpOption();
    const QCommandLineOption virtualOption(QStringLiteral("virtual"),
                                           QStringLiteral("Register the virtual server in <folder>."),
                                           QStringLiteral("folder"));
    const QCommandLineOption clsidOption(QStringLiteral("clsid"), QStringLiteral("Server id (brace form)."),
                                         QStringLiteral("clsid"), VirtualHalState::defaultClsid());
    const QCommandLineOption devicesOption(QStringLiteral("devices"), QStringLiteral("Modules reported (default 4)."),
                                           QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption ledsOption(QStringLiteral("leds"), QStringLiteral("LEDs per module (default 5)."),
                                        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption openRgbOption(
        QStringLiteral("openrgb"), QStringLiteral("Register the server that drives devices through OpenRGB's SDK "
                                                  "server at HOST:PORT (default 127.0.0.1:6742)."));
    const QCommandLineOption folderOption(QStringLiteral("folder"),
                                          QStringLiteral("Registry folder for --openrgb (default: the user's)."),
                                          QStringLiteral("folder"), defaultRegistryFolder());
    const QCommandLineOption typesOption(QStringLiteral("types"),
                                         QStringLiteral("OpenRGB device types driven besides memory, e.g. 4,0."),
                                         QStringLiteral("list"));
    parser.addOptions({virtualOption, clsidOption, devicesOption, ledsOption, openRgbOption, folderOption, typesOption});
    parser.addPositionalArgument(QStringLiteral("HOST:PORT"), QStringLiteral("With --openrgb: the SDK server."),
                                 QStringLiteral("[HOST:PORT]"));
    parser.process(app);

    QTextStream err(stderr);
    if (parser.isSet(virtualOption) == parser.isSet(openRgbOption)) {
        err << "usage: veltrima-hal-register --virtual <folder> [--clsid id] [--devices n] [--leds n]\n"
               "       veltrima-hal-register --openrgb [HOST:PORT] [--folder f] [--clsid id] [--types 4,0]\n";
        return 2;
    }
    const QString clsid = parser.isSet(openRgbOption) && !parser.isSet(clsidOption)
        ? QString::fromLatin1(kOpenRgbClsid)
        : parser.value(clsidOption);
    if (!HalGuid::fromString(clsid)) {
        err << "not a server id: " << clsid << '\n';
        return 2;
    }
    if (parser.isSet(openRgbOption)) {
        return registerOpenRgb(parser, clsid, QDir(parser.value(folderOption)).absolutePath(),
                               parser.isSet(typesOption) ? parser.value(typesOption) : QString());
    }
    const QString server = QCoreApplication::applicationDirPath() + QStringLiteral("/veltrima-hal-virtual.so");
    if (!QFileInfo::exists(server)) {
        err << "server not found: " << server << '\n';
        return 1;
    }
    const QString folder = QDir(parser.value(virtualOption)).absolutePath();
    if (!HalRegistry::registerServer(folder, clsid, server)) {
        err << "cannot write the registry entry in " << folder << '\n';
        return 1;
    }

    const QString setup = setupPath(folder, QStringLiteral("hal-virtual"), clsid);
    if (!QFileInfo::exists(setup) || parser.isSet(devicesOption) || parser.isSet(ledsOption)) {
        QDir().mkpath(QFileInfo(setup).absolutePath());
        QSettings ini(setup, QSettings::IniFormat);
        ini.setValue(QStringLiteral("server/devices"), parser.value(devicesOption).toInt());
        ini.setValue(QStringLiteral("server/ledCount"), parser.value(ledsOption).toInt());
        ini.setValue(QStringLiteral("server/type"), 458752);
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            err << "cannot write " << setup << '\n';
            return 1;
        }
    }
    QTextStream(stdout) << "registered " << clsid << " -> " << server << '\n';
    return 0;
}
