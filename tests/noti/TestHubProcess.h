// The test hub as a separate process for a test: started in the test's folders, ended
// with the test, its record read back.
#pragma once

#include "ProgramRunner.h"
#include "TestHub.h"

class TestHubProcess
{
public:
    explicit TestHubProcess(const QString &recordPath)
        : m_recordPath(recordPath)
        , m_runner(TestEnvironment::binDir() + QStringLiteral("/veltrima-test-hub"),
                   {QStringLiteral("--record"), recordPath})
    {
    }

    bool start() { return m_runner.start() && m_runner.waitForOutput(QStringLiteral("ready"), 15000); }
    void stop() { m_runner.stop(); }
    QList<WindowRequest> messages() const { return TestHub::readRecord(m_recordPath); }

private:
    QString m_recordPath;
    ProgramRunner m_runner;
};
