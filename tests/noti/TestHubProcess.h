// The test hub as a separate process for a test: started in the test's folders, ended
// with the test, its record read back.
#pragma once

#include "ProgramRunner.h"
#include "TestHub.h"

class TestHubProcess
{
public:
    // program: another copy of the test hub, to play a process of another name.
    explicit TestHubProcess(const QString &recordPath, const QString &program = defaultProgram(),
                            const QStringList &extraArguments = {})
        : m_recordPath(recordPath)
        , m_runner(program, QStringList{QStringLiteral("--record"), recordPath} + extraArguments)
    {
    }

    static QString defaultProgram() { return TestEnvironment::binDir() + QStringLiteral("/veltrima-test-hub"); }

    bool start() { return m_runner.start() && m_runner.waitForOutput(QStringLiteral("ready"), 15000); }
    void stop() { m_runner.stop(); }
    QList<WindowRequest> messages() const { return TestHub::readRecord(m_recordPath); }

private:
    QString m_recordPath;
    ProgramRunner m_runner;
};
