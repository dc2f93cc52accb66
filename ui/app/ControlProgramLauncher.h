// Starts the control program from the user interface's own folder when its
// single-instance mutex shows that it does not run. Never waits on the started process,
// so the window stays responsive at start and at every restart.
#pragma once

#include <QString>

class ControlProgramLauncher
{
public:
    enum class Outcome { AlreadyRunning, Started, StartFailed };

    explicit ControlProgramLauncher(const QString &folder);

    QString folder() const { return m_folder; }
    QString programPath() const;

    // The box for a program that cannot be started comes once per run: the window keeps
    // trying and says on its overlay what fails.
    Outcome start();

    // Whether the control program's single-instance guard is held.
    static bool isRunning();
    // Why the last start failed, for the user; empty after a start that worked.
    QString failureReason() const { return m_failureReason; }

private:
    QString m_folder;
    QString m_failureReason;
    bool m_failureReported = false;
};
