// A private PulseAudio server for one test: runs in the test's own XDG_RUNTIME_DIR and
// HOME (create the TestEnvironment first), with null sinks that play into nothing, and
// ends with the test. Works as root too: the per-user server only warns about it.
#pragma once

#include "ProgramRunner.h"

#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <memory>

class PulseServer
{
public:
    ~PulseServer() { stop(); }

    // Leaves nothing pointing at the user's own server.
    static void isolate()
    {
        for (const char *name : {"PULSE_SERVER", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "PULSE_CONFIG_PATH",
                                 "PULSE_COOKIE", "PULSE_SINK", "PULSE_SOURCE", "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(name);
    }

    // Starts the server with one null sink per name (the first becomes the default);
    // false with the reason when it cannot run here.
    bool start(const QStringList &sinks, QString *why)
    {
        isolate();
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("paplay")).isEmpty()) {
            *why = QStringLiteral("pulseaudio, pactl or paplay is not installed");
            return false;
        }
        QStringList arguments{QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                              QStringLiteral("-n"), QStringLiteral("--use-pid-file=no"),
                              QStringLiteral("--log-target=stderr"), QStringLiteral("-L"),
                              QStringLiteral("module-native-protocol-unix")};
        for (const QString &sink : sinks)
            arguments << QStringLiteral("-L") << QStringLiteral("module-null-sink sink_name=%1").arg(sink);
        m_server = std::make_unique<ProgramRunner>(program, arguments);
        if (!m_server->start() || !waitUntil([this] { return pactl({QStringLiteral("info")}) || !isRunning(); }, 20000)
            || !isRunning()) {
            *why = QStringLiteral("pulseaudio did not start: ") + m_server->output().right(2000);
            stop();
            return false;
        }
        return true;
    }

    bool isRunning() const { return m_server && m_server->process().state() == QProcess::Running; }

    void stop()
    {
        if (!isRunning())
            return;
        m_server->process().terminate();
        if (!m_server->waitForExit(10000))
            m_server->stop();
    }

    static bool pactl(const QStringList &arguments, QByteArray *output = nullptr)
    {
        QProcess process;
        process.start(QStringLiteral("pactl"), arguments);
        const bool done = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        if (output)
            *output = process.readAllStandardOutput();
        return done;
    }

    // The new sink's module number, or -1.
    static int addSink(const QString &name)
    {
        QByteArray index;
        if (!pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                    QStringLiteral("sink_name=") + name},
                   &index))
            return -1;
        bool ok = false;
        const int module = index.trimmed().toInt(&ok);
        return ok ? module : -1;
    }

    // Plays a WAV file into the sink; the player ends with the file.
    static std::unique_ptr<ProgramRunner> play(const QString &file, const QString &sink)
    {
        auto player = std::make_unique<ProgramRunner>(
            QStandardPaths::findExecutable(QStringLiteral("paplay")), QStringList{QStringLiteral("--device=") + sink, file});
        if (!player->start())
            return nullptr;
        return player;
    }

    // A sine tone as 16-bit stereo at 48 kHz.
    static bool writeTone(const QString &path, double hertz, double seconds, double amplitude)
    {
        constexpr int rate = 48000;
        const auto frames = quint32(seconds * rate);
        const quint32 dataBytes = frames * 4;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        QDataStream out(&file);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("RIFF", 4);
        out << quint32(36 + dataBytes);
        out.writeRawData("WAVEfmt ", 8);
        out << quint32(16) << quint16(1) << quint16(2) << quint32(rate) << quint32(rate * 4) << quint16(4)
            << quint16(16);
        out.writeRawData("data", 4);
        out << dataBytes;
        for (quint32 i = 0; i < frames; ++i) {
            const auto sample = qint16(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hertz * i / rate)));
            out << sample << sample;
        }
        return out.status() == QDataStream::Ok;
    }

private:
    std::unique_ptr<ProgramRunner> m_server;
};
