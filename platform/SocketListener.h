// The listening side of a Unix stream socket that never gives its socket up. QLocalServer
// closes itself, and removes its socket file, when one accept() fails, and it fails as soon
// as the process runs out of file descriptors (EMFILE, ENFILE): a burst of connections
// would cut the owner off for the rest of its run. Here a failed accept pauses accepting
// for a moment and then tries again; connections wait in the kernel's queue meanwhile.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

class SocketListener : public QObject
{
    Q_OBJECT

public:
    // How long accepting pauses after accept() failed for want of descriptors or memory.
    static constexpr int RetryAfterMs = 100;

    explicit SocketListener(QObject *parent = nullptr);
    ~SocketListener() override;

    // Binds a socket at path (which must not exist; the owner removes a stale one) with
    // access for this user only. False with errorString() when it cannot.
    bool listen(const QString &path);
    // Stops listening and removes the socket file.
    void close();
    bool isListening() const { return m_fd >= 0; }
    QString errorString() const { return m_error; }

    // While false, connections stay queued in the kernel; the owner bounds its peers so.
    void setAccepting(bool accepting);

signals:
    // A connected, non-blocking, close-on-exec descriptor; the receiver owns it.
    void newConnection(int fd);

private:
    void acceptPending();
    void pauseAfterFailure(int error);
    void updateNotifier();

    int m_fd = -1;
    QString m_path;
    QString m_error;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_retry = nullptr;
    bool m_accepting = true;
    bool m_failureLogged = false;
};
