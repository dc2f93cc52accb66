// Starts one of the built programs as a real process in the test's own folders and
// makes sure it is gone when the test ends.
#pragma once

#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <memory>

class ProgramRunner
{
public:
    explicit ProgramRunner(const QString &program, const QStringList &arguments = {})
        : m_process(std::make_unique<QProcess>())
    {
        m_process->setProgram(program);
        m_process->setArguments(arguments);
        m_process->setProcessEnvironment(TestEnvironment::processEnvironment());
        m_process->setProcessChannelMode(QProcess::SeparateChannels);
    }

    ~ProgramRunner() { stop(); }

    QProcess &process() { return *m_process; }

    bool start(int timeoutMs = 10000)
    {
        m_process->start();
        return m_process->waitForStarted(timeoutMs);
    }

    void stop()
    {
        if (m_process->state() == QProcess::NotRunning)
            return;
        m_process->kill();
        m_process->waitForFinished(5000);
    }

    bool waitForExit(int timeoutMs) { return m_process->waitForFinished(timeoutMs); }

    // What the program wrote so far on both channels.
    QString output()
    {
        m_stdout += m_process->readAllStandardOutput();
        m_stderr += m_process->readAllStandardError();
        return QString::fromUtf8(m_stdout + m_stderr);
    }

    // Waits, keeping the event loop going, until the output holds the text.
    bool waitForOutput(const QString &text, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output().contains(text)) {
            if (timer.elapsed() > timeoutMs || m_process->state() == QProcess::NotRunning)
                return output().contains(text);
            QTest::qWait(50);
        }
        return true;
    }

private:
    std::unique_ptr<QProcess> m_process;
    QByteArray m_stdout;
    QByteArray m_stderr;
};

// Polls a condition with the event loop running; true once it holds.
template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return condition();
        QTest::qWait(50);
    }
    return true;
}
