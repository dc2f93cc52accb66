#include "ChannelToolRunner.h"

#include "TestEnvironment.h"

ChannelToolRunner::~ChannelToolRunner()
{
    for (const auto &process : m_processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(kWaitMs);
        }
    }
}

QString ChannelToolRunner::toolPath()
{
    return TestEnvironment::binDir() + QStringLiteral("/veltrima-channel");
}

ToolResult ChannelToolRunner::run(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(TestEnvironment::processEnvironment());
    process.start(toolPath(), arguments);
    ToolResult result;
    if (!process.waitForStarted(kWaitMs))
        return result;
    result.finished = process.waitForFinished(kWaitMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(kWaitMs);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QProcess *ChannelToolRunner::startWatch(const QStringList &arguments)
{
    m_processes.push_back(std::make_unique<QProcess>());
    QProcess *process = m_processes.back().get();
    process->setProcessEnvironment(TestEnvironment::processEnvironment());
    process->start(toolPath(), QStringList{QStringLiteral("watch")} + arguments);
    if (!process->waitForStarted(kWaitMs))
        return nullptr;
    // The tool says "watching" on standard error once its callbacks are registered.
    process->setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("watching")) {
        if (!process->waitForReadyRead(kWaitMs))
            return nullptr;
        err += process->readAllStandardError();
    }
    process->setReadChannel(QProcess::StandardOutput);
    return process;
}

ToolResult ChannelToolRunner::finish(QProcess *process)
{
    ToolResult result;
    result.finished = process->waitForFinished(kWaitMs);
    result.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    result.out = process->readAllStandardOutput();
    result.err = process->readAllStandardError();
    return result;
}
