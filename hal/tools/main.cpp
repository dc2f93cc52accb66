// Registers the virtual DIMM HAL server: writes its registry entry into a folder and, when
// none exists yet, a default set-up of four memory modules with five LEDs each.
#include "HalGuid.h"
#include "HalRegistry.h"
#include "VirtualHalState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veltrima-hal-register"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Registers the virtual DIMM HAL server."));
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
    parser.addOptions({virtualOption, clsidOption, devicesOption, ledsOption});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(virtualOption)) {
        err << "usage: veltrima-hal-register --virtual <folder> [--clsid id] [--devices n] [--leds n]\n";
        return 2;
    }
    const QString clsid = parser.value(clsidOption);
    if (!HalGuid::fromString(clsid)) {
        err << "not a server id: " << clsid << '\n';
        return 2;
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

    // The set-up lives beside the registry folder: <data>/veltrima/hal-virtual/<clsid>.ini.
    QDir setupDir(folder);
    setupDir.cdUp();
    const QString setup = setupDir.filePath(QStringLiteral("hal-virtual/") + clsid + QStringLiteral(".ini"));
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
