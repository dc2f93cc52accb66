#include "BoundedFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

BoundedFile::BoundedFile(Status status, qint64 maxBytes, int error)
    : m_status(status)
    , m_maxBytes(maxBytes)
    , m_error(error)
{
}

BoundedFile BoundedFile::check(const QString &path, qint64 maxBytes)
{
    if (path.isEmpty())
        return BoundedFile(Status::Missing, maxBytes);
    struct stat info {};
    // stat, not open: opening a FIFO or a device may wait or act.
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        const int error = errno;
        return BoundedFile(error == ENOENT || error == ENOTDIR ? Status::Missing : Status::Unreadable, maxBytes, error);
    }
    if (!S_ISREG(info.st_mode))
        return BoundedFile(Status::NotRegularFile, maxBytes);
    if (info.st_size > maxBytes)
        return BoundedFile(Status::TooLarge, maxBytes);
    return BoundedFile(Status::Ok, maxBytes);
}

BoundedFile BoundedFile::read(const QString &path, qint64 maxBytes)
{
    BoundedFile checked = check(path, maxBytes);
    if (!checked.isOk())
        return checked;

    // The path may have changed since the check: the open cannot wait (O_NONBLOCK), and
    // what was opened is checked once more.
    const Descriptor fd(open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return BoundedFile(errno == ENOENT ? Status::Missing : Status::Unreadable, maxBytes, errno);
    struct stat info {};
    if (fstat(fd.get(), &info) != 0)
        return BoundedFile(Status::Unreadable, maxBytes, errno);
    if (!S_ISREG(info.st_mode))
        return BoundedFile(Status::NotRegularFile, maxBytes);
    if (info.st_size > maxBytes)
        return BoundedFile(Status::TooLarge, maxBytes);

    // One byte past the bound tells a file that grew, or a kernel file that reports no
    // size, from one that fits.
    QByteArray contents;
    contents.resize(int(qMin<qint64>(qMax<qint64>(info.st_size, 4096), maxBytes + 1)));
    qint64 filled = 0;
    for (;;) {
        if (filled == contents.size()) {
            if (filled > maxBytes)
                return BoundedFile(Status::TooLarge, maxBytes);
            contents.resize(int(qMin<qint64>(qint64(contents.size()) * 2, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd.get(), contents.data() + filled, size_t(contents.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return BoundedFile(Status::Unreadable, maxBytes, errno);
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxBytes)
        return BoundedFile(Status::TooLarge, maxBytes);
    contents.truncate(int(filled));
    BoundedFile result(Status::Ok, maxBytes);
    result.m_contents = contents;
    return result;
}

QString BoundedFile::reason() const
{
    switch (m_status) {
    case Status::Ok:
        return QString();
    case Status::Missing:
        return QStringLiteral("no such file");
    case Status::NotRegularFile:
        return QStringLiteral("not a regular file");
    case Status::TooLarge:
        return QStringLiteral("larger than %1 bytes").arg(m_maxBytes);
    case Status::Unreadable:
        return QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(m_error)));
    }
    return QString();
}
