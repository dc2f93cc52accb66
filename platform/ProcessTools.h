// Starting programs, finding running ones by executable name, and running shell commands.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class ProcessTools
{
public:
    // Starts program detached with workingFolder as its working directory. True when the
    // start succeeded, as QProcess::startDetached reports it; *pid receives the new pid.
    static bool startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                              qint64 *pid = nullptr);

    enum class Owner { AnyUser, CurrentUser };

    // The pids of the running processes whose executable base name is exactly
    // executableName ("VELTRIMA RGB Control.exe" included), judged by /proc/<pid>/exe and,
    // where that link cannot be read, by the first word of the command line. Sorted.
    static QList<qint64> findProcesses(const QString &executableName, Owner owner = Owner::AnyUser);

    // The name after the last '/' or '\' (a program run under Wine shows a Windows
    // path), without the " (deleted)" the kernel adds for a replaced executable.
    static QString baseName(QString path);

    // Runs command through the shell, which resolves the program through PATH. Returns
    // the command's exit status, or -1 when it could not be run.
    static int runShellCommand(const QString &command);
};
