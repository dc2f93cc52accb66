// Runs a shutdown or abort command line through the shell (so `shutdown` is found through
// PATH) without blocking the caller: the result arrives as finished(), after the command
// ended or was killed at the time limit. A command that cannot be started, is killed or
// exits non-zero did not succeed.
#pragma once

#include <QObject>
#include <QString>

class ShutdownCommand : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTimeLimitMs = 15000;

    explicit ShutdownCommand(QObject *parent = nullptr);

    // False, and nothing started, while the previous command still runs.
    bool run(const QString &commandLine);
    bool isRunning() const { return m_running; }

    static QString shutdownCommandLine() { return QStringLiteral("shutdown -h now"); }
    static QString abortCommandLine() { return QStringLiteral("shutdown -c"); }

signals:
    // detail says why a command failed; empty on success.
    void finished(const QString &commandLine, bool ok, const QString &detail);

private:
    void finish(const QString &commandLine, bool ok, const QString &detail);

    bool m_running = false;
};
