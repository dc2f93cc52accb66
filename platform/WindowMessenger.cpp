#include "WindowMessenger.h"

#include "RuntimeFolder.h"
#include "WindowEndpoint.h"
#include "WindowFrame.h"
#include "WindowRequest.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A connected client socket, closed when it goes out of scope.
class ClientSocket
{
public:
    ClientSocket() = default;
    ~ClientSocket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    ClientSocket(const ClientSocket &) = delete;
    ClientSocket &operator=(const ClientSocket &) = delete;

    // Connects and reports the peer's pid; 0 when there is no endpoint, it is another
    // user's, or the deadline passed (a full backlog refuses until the owner accepts).
    qint64 connectTo(const QString &socketPath, const QDeadlineTimer &deadline)
    {
        const QByteArray native = QFile::encodeName(socketPath);
        struct sockaddr_un address {};
        if (native.isEmpty() || native.size() >= static_cast<int>(sizeof(address.sun_path)))
            return 0;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
        m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return 0;
        for (;;) {
            if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0)
                break;
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN || deadline.hasExpired())
                return 0;
            QThread::msleep(5);
        }
        struct ucred peer {};
        socklen_t length = sizeof(peer);
        if (getsockopt(m_fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0)
            return 0;
        if (peer.uid != geteuid()) {
            qWarning().noquote() << "Window endpoint" << socketPath << "belongs to uid" << peer.uid << "and is refused";
            return 0;
        }
        return peer.pid;
    }

    bool writeAll(const QByteArray &data, const QDeadlineTimer &deadline)
    {
        qint64 written = 0;
        while (written < data.size()) {
            const ssize_t n = send(m_fd, data.constData() + written, static_cast<size_t>(data.size() - written),
                                   MSG_NOSIGNAL);
            if (n > 0) {
                written += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN && waitFor(POLLOUT, deadline))
                continue;
            return false;
        }
        return true;
    }

    QByteArray readReply(const QDeadlineTimer &deadline)
    {
        QByteArray reply;
        char chunk[WindowFrame::ReplySize];
        while (reply.size() < WindowFrame::ReplySize) {
            const ssize_t n = recv(m_fd, chunk, static_cast<size_t>(WindowFrame::ReplySize - reply.size()), 0);
            if (n > 0) {
                reply.append(chunk, static_cast<int>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN && waitFor(POLLIN, deadline))
                continue;
            break;
        }
        return reply;
    }

private:
    bool waitFor(short events, const QDeadlineTimer &deadline)
    {
        for (;;) {
            const qint64 remaining = deadline.remainingTime();
            if (remaining == 0)
                return false;
            struct pollfd entry { m_fd, events, 0 };
            const int rc = poll(&entry, 1, static_cast<int>(qMin<qint64>(remaining, 1000)));
            if (rc > 0)
                return true;
            if (rc < 0 && errno != EINTR)
                return false;
        }
    }

    int m_fd = -1;
};

QDeadlineTimer deadlineAfter(int timeoutMs)
{
    return QDeadlineTimer(qMax(timeoutMs, 0));
}

std::optional<qint64> deliver(const WindowMessenger::Window &window, WindowRequest request, int timeoutMs)
{
    const QString name = window.title.isEmpty() ? window.socketPath : window.title;
    if (window.socketPath.isEmpty())
        return std::nullopt;
    request.senderPid = getpid();

    if (const std::optional<qint64> result = WindowEndpoint::deliverOnThisThread(window.socketPath, request))
        return result;

    const QDeadlineTimer deadline = deadlineAfter(timeoutMs);
    ClientSocket socket;
    if (socket.connectTo(window.socketPath, deadline) == 0) {
        qWarning().noquote() << "Window" << name << "not found for message" << QStringLiteral("0x%1").arg(request.message, 0, 16);
        return std::nullopt;
    }
    qint64 result = 0;
    if (!socket.writeAll(WindowFrame::encodeRequest(request), deadline)
        || !WindowFrame::parseReply(socket.readReply(deadline), &result)) {
        qWarning().noquote() << "Window" << name << "gave no answer to message"
                             << QStringLiteral("0x%1").arg(request.message, 0, 16) << "within" << timeoutMs << "ms";
        return std::nullopt;
    }
    return result;
}

WindowMessenger::Window windowAt(const QString &title, const QString &socketPath, int timeoutMs)
{
    WindowMessenger::Window window;
    if (socketPath.isEmpty())
        return window;
    ClientSocket socket;
    const qint64 pid = socket.connectTo(socketPath, deadlineAfter(timeoutMs));
    if (pid <= 0)
        return window;
    window.title = title;
    window.socketPath = socketPath;
    window.pid = pid;
    return window;
}

} // namespace

WindowMessenger::Window WindowMessenger::findWindow(const QString &title, int timeoutMs)
{
    return windowAt(title, WindowEndpoint::socketPath(title), timeoutMs);
}

qint64 WindowMessenger::windowPid(const QString &title)
{
    return findWindow(title).pid;
}

QList<WindowMessenger::Window> WindowMessenger::windowsOfProcess(qint64 pid)
{
    QList<Window> windows;
    const QString folder = RuntimeFolder::path();
    if (folder.isEmpty() || pid <= 0)
        return windows;
    const QStringList names = QDir(folder).entryList({QStringLiteral("window-*.sock")}, QDir::System | QDir::Files,
                                                     QDir::Name);
    for (const QString &name : names) {
        QString title = name.mid(7, name.size() - 7 - 5);
        title = title.startsWith(QStringLiteral("%h")) ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(title.toUtf8()));
        const Window window = windowAt(title, folder + QLatin1Char('/') + name, 500);
        if (window.pid == pid)
            windows.append(window);
    }
    return windows;
}

std::optional<qint64> WindowMessenger::sendMessage(const QString &title, quint32 message, quint64 wParam, qint64 lParam,
                                                   int timeoutMs)
{
    Window window;
    window.title = title;
    window.socketPath = WindowEndpoint::socketPath(title);
    return sendMessage(window, message, wParam, lParam, timeoutMs);
}

std::optional<qint64> WindowMessenger::sendMessage(const Window &window, quint32 message, quint64 wParam,
                                                   qint64 lParam, int timeoutMs)
{
    WindowRequest request;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    return deliver(window, request, timeoutMs);
}

std::optional<qint64> WindowMessenger::sendCopyData(const QString &title, quint64 senderWindowId, quint64 type,
                                                    const QByteArray &data, int timeoutMs)
{
    Window window;
    window.title = title;
    window.socketPath = WindowEndpoint::socketPath(title);
    return sendCopyData(window, senderWindowId, type, data, timeoutMs);
}

std::optional<qint64> WindowMessenger::sendCopyData(const Window &window, quint64 senderWindowId, quint64 type,
                                                    const QByteArray &data, int timeoutMs)
{
    if (static_cast<quint64>(data.size()) > WindowFrame::MaxCopyDataSize) {
        qWarning().noquote() << "Copy data of" << data.size() << "bytes is too large to send";
        return std::nullopt;
    }
    WindowRequest request;
    request.message = WindowRequest::WM_COPYDATA;
    request.wParam = senderWindowId;
    request.copyDataType = type;
    request.copyData = data;
    return deliver(window, request, timeoutMs);
}
