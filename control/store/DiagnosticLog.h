// The control program's diagnostic log in debug mode: every message of the process
// (debug, info, warning, critical, fatal) becomes one line of "VELTRIMARGB_Log.txt",
// written by one thread at a time, the file opened and closed for each message.
#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class DiagnosticLog
{
public:
    DiagnosticLog() = delete;

    // The store's base folder followed by "/VELTRIMARGB_Log.txt".
    static QString defaultFilePath();

    // The program's choice at start. In debug mode every message goes to the log file
    // (and the effects' frame-by-frame lines are switched on), followed by the start
    // line; otherwise debug lines go nowhere, while info, warnings and worse keep
    // reaching standard error.
    static void configure(bool debugMode);

    // Sends every message of the process to filePath from now on.
    static void install(const QString &filePath = defaultFilePath());
    // Gives the messages back to the handler that was in force before install().
    static void uninstall();
    static bool isInstalled();

    // The first entry of each run.
    static void writeStartLine();
    static QString startLine();

    // The level word of a message type; empty for anything unknown.
    static QString levelWord(QtMsgType type);
    // One line as written to the file, without its line end.
    static QString formatLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                              const QDateTime &when);

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);
};
