#include "WindowEndpoint.h"

#include "RuntimeFolder.h"
#include "SocketListener.h"
#include "WindowFrame.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <memory>
#include <mutex>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int MaxSocketPathBytes = 107;

QString endpointBase(const QString &title)
{
    const QString readable = RuntimeFolder::filePath(QStringLiteral("window-"), title, QString());
    if (readable.isEmpty())
        return QString();
    if (QFile::encodeName(readable + QStringLiteral(".sock")).size() <= MaxSocketPathBytes)
        return readable;
    // A safe name never holds '%' followed by 'h', so a hashed name cannot meet a readable one.
    const QByteArray hash = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return RuntimeFolder::path() + QStringLiteral("/window-%h") + QString::fromLatin1(hash);
}

struct Connection
{
    QByteArray buffer;
    bool answered = false;
};

} // namespace

std::mutex WindowEndpoint::s_registryMutex;
QHash<QString, WindowEndpoint *> WindowEndpoint::s_registry;

WindowEndpoint::WindowEndpoint(QObject *parent)
    : QObject(parent)
    , m_listener(new SocketListener(this))
{
    qRegisterMetaType<WindowRequest>("WindowRequest");
    connect(m_listener, &SocketListener::newConnection, this, &WindowEndpoint::acceptConnection);
}

WindowEndpoint::WindowEndpoint(const QString &title, QObject *parent)
    : WindowEndpoint(parent)
{
    setTitle(title);
}

WindowEndpoint::~WindowEndpoint()
{
    stopServing();
}

QString WindowEndpoint::socketPath(const QString &title)
{
    const QString base = endpointBase(title);
    return base.isEmpty() ? QString() : base + QStringLiteral(".sock");
}

QString WindowEndpoint::lockPath(const QString &title)
{
    const QString base = endpointBase(title);
    return base.isEmpty() ? QString() : base + QStringLiteral(".lock");
}

bool WindowEndpoint::isListening() const
{
    return m_listener->isListening();
}

bool WindowEndpoint::setTitle(const QString &title)
{
    if (title == m_title && (isListening() || title.isEmpty()))
        return true;
    stopServing();
    m_title = title;
    if (title.isEmpty())
        return true;

    const QString socket = socketPath(title);
    if (socket.isEmpty()) {
        qWarning().noquote() << "Window" << title << "gets no message endpoint: no runtime folder";
        return false;
    }
    switch (m_lock.tryLock(lockPath(title))) {
    case LockFile::Result::Locked:
        break;
    case LockFile::Result::HeldElsewhere:
        qWarning().noquote() << "Window" << title << "gets no message endpoint: another window has the title";
        return false;
    case LockFile::Result::Failed:
        qWarning().noquote() << "Window" << title << "gets no message endpoint: its lock cannot be taken";
        return false;
    }
    // Holding the lock, any socket file left is a dead owner's.
    QFile::remove(socket);
    if (!m_listener->listen(socket)) {
        qWarning().noquote() << "Window" << title << "gets no message endpoint:" << m_listener->errorString();
        m_lock.unlock();
        return false;
    }
    m_socketPath = socket;
    std::lock_guard<std::mutex> locker(s_registryMutex);
    s_registry.insert(m_socketPath, this);
    return true;
}

void WindowEndpoint::stopServing()
{
    if (!m_socketPath.isEmpty()) {
        std::lock_guard<std::mutex> locker(s_registryMutex);
        if (s_registry.value(m_socketPath) == this)
            s_registry.remove(m_socketPath);
    }
    // Closing removes the socket file; the lock is still ours while that happens.
    m_listener->close();
    m_socketPath.clear();
    m_lock.unlock();
}

void WindowEndpoint::acceptConnection(int fd)
{
    struct ucred peer {};
    socklen_t length = sizeof(peer);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.uid != geteuid()) {
        qWarning().noquote() << "Window" << m_title << "refused a sender of another user, uid" << peer.uid << "pid"
                             << peer.pid;
        ::close(fd);
        return;
    }
    auto *socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        qWarning().noquote() << "Window" << m_title << "cannot serve a sender:" << socket->errorString();
        ::close(fd);
        delete socket;
        return;
    }
    socket->setProperty("peerPid", static_cast<qint64>(peer.pid));
    ++m_peers;
    m_listener->setAccepting(m_peers < MaxPeers);
    connect(socket, &QObject::destroyed, this, &WindowEndpoint::peerFinished);
    serve(socket);
}

void WindowEndpoint::peerFinished()
{
    --m_peers;
    m_listener->setAccepting(m_peers < MaxPeers);
}

void WindowEndpoint::serve(QLocalSocket *socket)
{
    auto connection = std::make_shared<Connection>();
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, connection] {
        // A sender that only looks the window up connects and leaves without a byte.
        if (!connection->answered && !connection->buffer.isEmpty())
            qWarning().noquote() << "Window" << m_title << "refused a short request of" << connection->buffer.size()
                                 << "bytes from pid" << socket->property("peerPid").toLongLong();
        connection->answered = true;
        socket->deleteLater();
    });
    QTimer::singleShot(RequestTimeoutMs, socket, [this, socket, connection] {
        if (!connection->answered)
            qWarning().noquote() << "Window" << m_title << "dropped a sender that did not finish its request, pid"
                                 << socket->property("peerPid").toLongLong();
        // Answered or not, a peer still here holds a place that another sender needs.
        connection->answered = true;
        socket->abort();
        socket->deleteLater();
    });
    const auto readRequest = [this, socket, connection] {
        if (connection->answered) {
            socket->readAll(); // one request per connection; the rest is ignored
            return;
        }
        connection->buffer.append(socket->readAll());
        WindowRequest request;
        int consumed = 0;
        QString error;
        switch (WindowFrame::parseRequest(connection->buffer, &request, &consumed, &error)) {
        case WindowFrame::Parse::NeedMore:
            return;
        case WindowFrame::Parse::Malformed:
            qWarning().noquote() << "Window" << m_title << "refused a malformed request from pid"
                                 << socket->property("peerPid").toLongLong() << ":" << error;
            connection->answered = true;
            connection->buffer.clear();
            socket->abort();
            return;
        case WindowFrame::Parse::Complete:
            break;
        }
        connection->answered = true;
        connection->buffer.clear();
        request.senderPid = socket->property("peerPid").toLongLong();
        const qint64 result = answer(request);
        socket->write(WindowFrame::encodeReply(result));
        socket->flush();
        socket->disconnectFromServer();
        announce(request, result);
    };
    connect(socket, &QLocalSocket::readyRead, this, readRequest);
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(socket, readRequest, Qt::QueuedConnection);
}

qint64 WindowEndpoint::answer(const WindowRequest &request)
{
    return m_handler ? m_handler(request) : 0;
}

void WindowEndpoint::announce(const WindowRequest &request, qint64 result)
{
    QMetaObject::invokeMethod(
        this, [this, request, result] { emit messageReceived(request, result); }, Qt::QueuedConnection);
}

std::optional<qint64> WindowEndpoint::deliverOnThisThread(const QString &socketPath, const WindowRequest &request)
{
    WindowEndpoint *endpoint = nullptr;
    {
        std::lock_guard<std::mutex> locker(s_registryMutex);
        endpoint = s_registry.value(socketPath, nullptr);
        // Only an endpoint of this thread may be used: it cannot be destroyed meanwhile.
        if (!endpoint || endpoint->thread() != QThread::currentThread())
            return std::nullopt;
    }
    const qint64 result = endpoint->answer(request);
    endpoint->announce(request, result);
    return result;
}
