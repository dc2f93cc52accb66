// The names by which the programs find each other. Mutex and window names keep the
// system's own texts; the executables carry their Linux file names.
#pragma once

#include <QString>

class ProgramNames
{
public:
    static QString controlMutex() { return QStringLiteral("VELTRIMA Control.exe"); }
    static QString uiMutex() { return QStringLiteral("VELTRIMA RGB.exe"); }
    static QString controlWindow() { return QStringLiteral("VELTRIMA RGB Control"); }
    // A second control program addresses this title, which no window carries.
    static QString controlSecondCopyWindow() { return QStringLiteral("VELTRIMA Control"); }
    static QString uiWindow() { return QStringLiteral("VELTRIMA RGB"); }
    static QString uiBaseWindow() { return QStringLiteral("VELTRIMA"); }
    static QString controlExecutable() { return QStringLiteral("veltrima-rgb-control"); }
    static QString uiExecutable() { return QStringLiteral("veltrima-rgb"); }
};
