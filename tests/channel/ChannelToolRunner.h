// Runs the built veltrima-channel tool for a test and ends every process it started.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <memory>
#include <vector>

struct ToolResult {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

class ChannelToolRunner
{
public:
    // Generous: a sanitizer build on a loaded machine starts slowly.
    static constexpr int kWaitMs = 20000;

    ~ChannelToolRunner();

    static QString toolPath();
    ToolResult run(const QStringList &arguments);
    // Starts "watch" and returns once the tool has registered its callbacks.
    QProcess *startWatch(const QStringList &arguments);
    static ToolResult finish(QProcess *process);

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
