// Registers a sensor library (and its configuration) for the reader, the way a user
// would: through the registration file in the test's own data folder.
#pragma once

#include "SensorLibraryRegistration.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

class ScenarioFixture
{
public:
    explicit ScenarioFixture(const TestEnvironment &environment)
        : m_folder(environment.root())
    {
    }

    static QString library(const char *name) { return TestEnvironment::binDir() + QLatin1Char('/') + QLatin1String(name); }

    void registerLibrary(const QString &library, const QString &config = QString()) const
    {
        const QString file = SensorLibraryRegistration::registrationFile();
        QDir().mkpath(QFileInfo(file).path());
        QFile::remove(file);
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Sensors/Library"), library);
        if (!config.isEmpty())
            settings.setValue(QStringLiteral("Sensors/Config"), config);
    }

    // Writes the scenario and registers the scenario library with it.
    void play(const QByteArray &json) const
    {
        const QString path = m_folder + QStringLiteral("/scenario.json");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(json);
        file.close();
        registerLibrary(library("veltrima-sensors-scenario.so"), path);
    }

private:
    QString m_folder;
};
