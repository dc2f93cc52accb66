// Where the window program's diagnostic lines go. In debug mode (the device file's
// DebugMode/isDebugMode, the switch the control program reads too) they reach the
// terminal as Qt writes them. Otherwise the terminal stays quiet and they are appended to
// "VELTRIMARGB_UI_Log.txt" in the settings folder (the per-frame poll lines are off
// unless their category is switched on).
#pragma once

#include <QString>
#include <QtGlobal>

class UiLog
{
public:
    UiLog() = delete;

    static QString settingsFolder();
    static QString filePath();
    // False when the device file is missing, unreadable or not a sane regular file.
    static bool debugModeFromDeviceFile();

    // Call once, first thing in main.
    static void install(bool debugMode);

    // A file that grew past this is moved to "<file>.old" before the next line.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);
};
