// Runs platform_test_helper as a second process and ends it when the test is done.
#pragma once

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <csignal>

class HelperProcess
{
public:
    HelperProcess() = default;
    ~HelperProcess() { kill(); }
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    static QString helperPath()
    {
        const QString dir = TestEnvironment::binDir().isEmpty() ? QCoreApplication::applicationDirPath()
                                                                : TestEnvironment::binDir();
        return dir + QStringLiteral("/platform_test_helper");
    }

    // Starts the helper (or program, a copy of it) and waits for its first line.
    QByteArray start(const QStringList &arguments, const QString &program = helperPath())
    {
        m_process.setProcessEnvironment(TestEnvironment::processEnvironment());
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(10000))
            return QByteArray();
        return readLine();
    }

    QByteArray readLine(int timeoutMs = 20000)
    {
        while (!m_process.canReadLine()) {
            if (m_process.state() == QProcess::NotRunning || !m_process.waitForReadyRead(timeoutMs))
                return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
        }
        return m_process.readLine().trimmed();
    }

    qint64 pid() const { return m_process.processId(); }
    QProcess &process() { return m_process; }

    // SIGKILL, as a crash would end it: nothing of its own clean-up runs.
    void kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
};
