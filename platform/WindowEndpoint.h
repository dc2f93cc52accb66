// The message endpoint of one top-level window: other processes of the same user find the
// window by its title and send it messages through a Unix stream socket
// "<runtime folder>/window-<title>.sock". A title whose socket path would pass the 107 bytes
// a socket address holds is served as "window-%h<first 16 hex digits of its SHA-1>.sock";
// senders compute the same name. The window's lock "<same base name>.lock" is taken first,
// so a socket file left by a killed owner can be removed safely. The owner's pid needs no
// record of its own: the kernel gives it to every sender that connects (SO_PEERCRED), and
// the endpoint learns each sender's pid and uid the same way, serving only its own user.
//
// Each request is answered before anything it triggers runs: the handler computes the
// result and must neither send window messages nor block; only after the reply has been
// written is messageReceived() emitted (queued), and that is where work that may itself
// send messages belongs. So two processes that message each other from their handlers
// can never wait on each other.
//
// A burst of connections never costs the endpoint its socket: at most MaxPeers senders
// are served at once (the rest wait in the kernel's queue), a sender that does not finish
// its request within RequestTimeoutMs is dropped, and running out of file descriptors only
// pauses accepting (SocketListener).
#pragma once

#include "LockFile.h"
#include "WindowRequest.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

class QLocalSocket;
class SocketListener;

class WindowEndpoint : public QObject
{
    Q_OBJECT

public:
    // Computes the reply to a request; unknown messages should return 0.
    using Handler = std::function<qint64(const WindowRequest &)>;

    // A sender that connects but does not finish its request within this time is dropped.
    static constexpr int RequestTimeoutMs = 3000;
    // Senders served at once; more wait until one of them is done.
    static constexpr int MaxPeers = 32;

    explicit WindowEndpoint(QObject *parent = nullptr);
    explicit WindowEndpoint(const QString &title, QObject *parent = nullptr);
    ~WindowEndpoint() override;

    // Serves the window under a new title (an empty title stops serving). False, with
    // the reason logged, when the endpoint cannot listen under it, for instance because
    // a live window of another process already has the title.
    bool setTitle(const QString &title);
    QString title() const { return m_title; }
    bool isListening() const;

    void setHandler(Handler handler) { m_handler = std::move(handler); }

    static QString socketPath(const QString &title);
    static QString lockPath(const QString &title);

    // Delivers request to the endpoint at socketPath when the calling thread serves it
    // (it could not serve it while waiting for the reply); nothing when no such endpoint.
    static std::optional<qint64> deliverOnThisThread(const QString &socketPath, const WindowRequest &request);

signals:
    // Emitted after the reply has gone out, with the result the handler gave.
    void messageReceived(const WindowRequest &request, qint64 result);

private:
    void stopServing();
    void acceptConnection(int fd);
    void serve(QLocalSocket *socket);
    void peerFinished();
    qint64 answer(const WindowRequest &request);
    void announce(const WindowRequest &request, qint64 result);

    // Endpoints of this process by socket path. std::mutex rather than QMutex:
    // ThreadSanitizer sees its hand-over.
    static std::mutex s_registryMutex;
    static QHash<QString, WindowEndpoint *> s_registry;

    SocketListener *m_listener = nullptr;
    int m_peers = 0;
    QString m_title;
    QString m_socketPath;
    LockFile m_lock;
    Handler m_handler;
};
