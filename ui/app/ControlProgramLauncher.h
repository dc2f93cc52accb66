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

    Outcome start();

private:
    QString m_folder;
};
