#include "SocketListener.h"

#include <QDebug>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Accepted per wake-up, so a flood of connections cannot starve the event loop.
constexpr int MaxAcceptsPerWakeUp = 64;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

SocketListener::SocketListener(QObject *parent)
    : QObject(parent)
    , m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(RetryAfterMs);
    connect(m_retry, &QTimer::timeout, this, [this] {
        updateNotifier();
        if (m_accepting)
            acceptPending();
    });
}

SocketListener::~SocketListener()
{
    close();
}

bool SocketListener::listen(const QString &path)
{
    close();
    m_error.clear();
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof(address.sun_path)) {
        m_error = QStringLiteral("the socket path is empty or too long");
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));

    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_error = systemError(errno);
        return false;
    }
    if (bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        m_error = systemError(errno);
        ::close(fd);
        return false;
    }
    if (chmod(native.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        m_error = systemError(errno);
        ::close(fd);
        unlink(native.constData());
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_failureLogged = false;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SocketListener::acceptPending);
    updateNotifier();
    return true;
}

void SocketListener::close()
{
    m_retry->stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    unlink(QFile::encodeName(m_path).constData());
    m_path.clear();
}

void SocketListener::setAccepting(bool accepting)
{
    if (accepting == m_accepting)
        return;
    m_accepting = accepting;
    updateNotifier();
}

void SocketListener::updateNotifier()
{
    if (m_notifier)
        m_notifier->setEnabled(m_accepting && !m_retry->isActive());
}

void SocketListener::acceptPending()
{
    for (int i = 0; i < MaxAcceptsPerWakeUp && m_fd >= 0 && m_accepting; ++i) {
        const int fd = accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            emit newConnection(fd);
            continue;
        }
        const int error = errno;
        switch (error) {
        case EINTR:
        case ECONNABORTED:
        case EPROTO:
            continue; // that one connection is gone; the others are not
        case EAGAIN:
            m_failureLogged = false; // the queue is empty: a shortage from now on is a new one
            return;
        default:
            pauseAfterFailure(error);
            return;
        }
    }
}

void SocketListener::pauseAfterFailure(int error)
{
    // The connection stays queued; the notifier would fire at once again. The plain
    // format call, not a stream: with no descriptor left, even a sanitizer's own checks
    // of a stream object can fail.
    if (!m_failureLogged) {
        qWarning("Socket %s cannot accept a connection now, retrying: %s", qUtf8Printable(m_path),
                 qUtf8Printable(systemError(error)));
        m_failureLogged = true;
    }
    m_retry->start();
    updateNotifier();
}
