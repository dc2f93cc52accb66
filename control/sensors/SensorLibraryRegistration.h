// Which sensor library the reader loads.
//
// The file $XDG_DATA_HOME/veltrima/sensors (an INI file) may register one:
//
//     [Sensors]
//     Library=veltrima-sensors-scenario.so
//     Config=sensor-scenarios/demo.json
//
// Relative paths are taken from the program's folder. Config is handed to the library
// before it is initialised (the scenario library: the scenario file; the Linux library:
// a root folder standing for "/", empty for the real one). Without the file, or without
// a Library key, the reader loads veltrima-sensors-linux.so from the program's folder:
// this machine's real readings.
#pragma once

#include <QString>

class SensorLibraryRegistration
{
public:
    static SensorLibraryRegistration find(const QString &programFolder);

    // Where the registration is read from.
    static QString registrationFile();
    static QString defaultLibraryName() { return QStringLiteral("veltrima-sensors-linux.so"); }

    QString libraryPath() const { return m_libraryPath; }
    QString config() const { return m_config; }

private:
    QString m_libraryPath;
    QString m_config;
};
