// Starts the separate updater program, which downloads and installs a new version.
// It is only ever taken from the configured path or the running program's own folder,
// never from the working folder or PATH, and runs detached: nobody waits for it.
#pragma once

#include <QString>

class UpdaterLauncher
{
public:
    static QString defaultProgramName() { return QStringLiteral("veltrima-update"); }

    // The updater's language code for a language number of the settings.
    static QString languageCode(int language);
    // "VELTRIMARGB;DE;1.0.2" for language 3 and version "1.0.2".
    static QString parameters(int language, const QString &version);

    // The program to start: configured as an absolute path, as a path relative to
    // programFolder, or (when empty) the default name in programFolder. Empty when
    // nothing absolute can be made of it.
    static QString resolveProgram(const QString &configured, const QString &programFolder);

    // Starts program with the one argument parameters in programFolder. A missing or
    // not executable program, or a failed start, is logged and gives false.
    static bool start(const QString &program, const QString &parameters, const QString &programFolder);
};
