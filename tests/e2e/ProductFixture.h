// The control program running for real in a test's own folders: the virtual HAL
// registered, the scenario sensors, the channel tool to act as the user interface.
#pragma once

#include "ProgramNames.h"
#include "ProgramRunner.h"
#include "TestEnvironment.h"
#include "VirtualHalState.h"
#include "WindowMessenger.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <csignal>

#include <memory>
#include <optional>

class ProductFixture
{
public:
    ProductFixture()
    {
        registerVirtualHal();
        registerScenarioSensors();
    }

    ~ProductFixture() { stopControl(); }

    const TestEnvironment &environment() const { return m_env; }

    static QString program(const QString &name) { return TestEnvironment::binDir() + QLatin1Char('/') + name; }

    bool startControl()
    {
        m_control = std::make_unique<ProgramRunner>(program(QString::fromLatin1(ProgramNames::kControlExecutable)));
        if (!m_control->start())
            return false;
        return waitUntil([] { return WindowMessenger::findWindow(QString::fromLatin1(ProgramNames::kControlWindowTitle), 500).isValid(); },
                         30000);
    }

    ProgramRunner &control() { return *m_control; }

    void killControl()
    {
        if (!m_control)
            return;
        ::kill(pid_t(m_control->process().processId()), SIGKILL);
        m_control->waitForExit(5000);
    }

    void stopControl()
    {
        if (!m_control || m_control->process().state() == QProcess::NotRunning)
            return;
        WindowMessenger::sendMessage(QString::fromLatin1(ProgramNames::kControlWindowTitle), 0x8301, 1, 1);
        if (!m_control->waitForExit(15000))
            m_control->stop();
    }

    // Runs the channel tool; returns its standard output, or nothing on failure.
    static std::optional<QString> tool(const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(TestEnvironment::processEnvironment());
        process.start(program(QStringLiteral("veltrima-channel")), arguments);
        if (!process.waitForFinished(15000) || process.exitCode() != 0) {
            qWarning() << "veltrima-channel" << arguments << "failed:" << process.readAllStandardError();
            return std::nullopt;
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QJsonObject state()
    {
        const QString text = tool({QStringLiteral("show"), QStringLiteral("--json")}).value_or(QString());
        return QJsonDocument::fromJson(text.toUtf8()).object();
    }

    static std::optional<VirtualHalSnapshot> hal() { return VirtualHalState::read(VirtualHalState::defaultClsid()); }

    QString storeFolder() const { return m_env.configDir() + QStringLiteral("/Kv/VELTRIMARGB"); }
    QString deviceFile() const { return storeFolder() + QStringLiteral("/ModuleDevice.ini"); }
    QString profileFile(int profile) const
    {
        return storeFolder() + QStringLiteral("/VELTRIMA RGB/Profile_%1.ini").arg(profile);
    }

    QVariant profileValue(int profile, const QString &key) const
    {
        return QSettings(profileFile(profile), QSettings::IniFormat).value(key);
    }
    QVariant deviceValue(const QString &key) const
    {
        return QSettings(deviceFile(), QSettings::IniFormat).value(key);
    }

    // Debug mode for the next start: the program's lines then go to its log file.
    void enableDebugMode() const
    {
        QDir().mkpath(storeFolder());
        QSettings(deviceFile(), QSettings::IniFormat).setValue(QStringLiteral("DebugMode/isDebugMode"), 1);
    }
    QString logFile() const { return storeFolder() + QStringLiteral("/VELTRIMARGB_Log.txt"); }
    int logCount(const QString &text) const
    {
        QFile log(logFile());
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).count(text) : 0;
    }

private:
    void registerVirtualHal()
    {
        QProcess process;
        process.setProcessEnvironment(TestEnvironment::processEnvironment());
        process.start(program(QStringLiteral("veltrima-hal-register")),
                      {QStringLiteral("--virtual"), m_env.dataDir() + QStringLiteral("/veltrima/hal-servers")});
        process.waitForFinished(10000);
        if (process.exitCode() != 0)
            qWarning() << "veltrima-hal-register failed:" << process.readAllStandardError();
    }

    void registerScenarioSensors()
    {
        QDir().mkpath(m_env.dataDir() + QStringLiteral("/veltrima"));
        QFile file(m_env.dataDir() + QStringLiteral("/veltrima/sensors"));
        if (file.open(QIODevice::WriteOnly))
            file.write("[Sensors]\nLibrary=veltrima-sensors-scenario.so\nConfig=sensor-scenarios/demo.json\n");
    }

    TestEnvironment m_env;
    std::unique_ptr<ProgramRunner> m_control;
};
