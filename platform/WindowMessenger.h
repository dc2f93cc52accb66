// The sending side of window messages: finds a window of this user by title (or the
// windows of a process) and sends it a message or a copy-data block, waiting a bounded
// time for the reply, so a hung window never hangs the sender. Senders and windows must
// belong to the same user; an endpoint of another user is refused.
//
// Callable from any thread. A message to a window served by the calling thread itself is
// delivered directly, as the thread could not serve it while it waits.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class WindowMessenger
{
public:
    static constexpr int DefaultTimeoutMs = 2000;

    // What FindWindow yields: a window that accepted a connection, and its owner's pid as
    // the kernel reports it.
    struct Window
    {
        QString title;
        QString socketPath;
        qint64 pid = 0;
        bool isValid() const { return pid > 0; }
    };

    static Window findWindow(const QString &title, int timeoutMs = DefaultTimeoutMs);
    // The pid of the process that owns the window, 0 when there is no such window.
    static qint64 windowPid(const QString &title);
    // The windows the process serves, in file-name order; a hashed title comes back empty.
    static QList<Window> windowsOfProcess(qint64 pid);

    // The handler's result, or nothing when the window is missing, refused the request or
    // did not answer in time (each logged).
    static std::optional<qint64> sendMessage(const QString &title, quint32 message, quint64 wParam, qint64 lParam,
                                             int timeoutMs = DefaultTimeoutMs);
    static std::optional<qint64> sendMessage(const Window &window, quint32 message, quint64 wParam, qint64 lParam,
                                             int timeoutMs = DefaultTimeoutMs);

    // WM_COPYDATA: senderWindowId is the sender's window id, which is its pid.
    static std::optional<qint64> sendCopyData(const QString &title, quint64 senderWindowId, quint64 type,
                                              const QByteArray &data, int timeoutMs = DefaultTimeoutMs);
    static std::optional<qint64> sendCopyData(const Window &window, quint64 senderWindowId, quint64 type,
                                              const QByteArray &data, int timeoutMs = DefaultTimeoutMs);
};
