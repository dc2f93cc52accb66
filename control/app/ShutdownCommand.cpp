#include "ShutdownCommand.h"

#include <QDebug>
#include <QProcess>
#include <QTimer>

#include <memory>

ShutdownCommand::ShutdownCommand(QObject *parent)
    : QObject(parent)
{
}

bool ShutdownCommand::run(const QString &commandLine)
{
    if (m_running)
        return false;
    m_running = true;
    qInfo() << "ShutdownCommand: running" << commandLine;

    auto *process = new QProcess(this);
    auto *limit = new QTimer(process);
    limit->setSingleShot(true);
    // Each of the three ways out ends the run once; the others then find it done.
    auto done = std::make_shared<bool>(false);
    const auto end = [this, process, commandLine, done](bool ok, const QString &detail) {
        if (*done)
            return;
        *done = true;
        process->deleteLater();
        finish(commandLine, ok, detail);
    };
    connect(process, &QProcess::errorOccurred, this, [process, end](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(false, QStringLiteral("could not be started: ") + process->errorString());
    });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [end](int code, QProcess::ExitStatus status) {
                if (status != QProcess::NormalExit)
                    end(false, QStringLiteral("ended abnormally"));
                else if (code != 0)
                    end(false, QStringLiteral("exited with status %1").arg(code));
                else
                    end(true, QString());
            });
    connect(limit, &QTimer::timeout, this, [process, end] {
        end(false, QStringLiteral("did not finish within %1 seconds").arg(kTimeLimitMs / 1000));
        process->kill();
    });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
    limit->start(kTimeLimitMs);
    return true;
}

void ShutdownCommand::finish(const QString &commandLine, bool ok, const QString &detail)
{
    m_running = false;
    if (ok)
        qInfo() << "ShutdownCommand:" << commandLine << "done";
    else
        qWarning() << "ShutdownCommand:" << commandLine << detail;
    emit finished(commandLine, ok, detail);
}
