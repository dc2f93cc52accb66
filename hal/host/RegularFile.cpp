#include "RegularFile.h"

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
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opens without waiting (O_NONBLOCK: a FIFO does not wait for a writer) and checks what
// was opened, so the answer is about the file itself and not about the name.
int openChecked(const QString &path, qint64 maxSize, qint64 *size, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, systemError());
        return -1;
    }
    struct stat info {};
    QString why;
    if (::fstat(fd, &info) != 0)
        why = systemError();
    else if (!S_ISREG(info.st_mode))
        why = QStringLiteral("not a regular file");
    else if (info.st_size > maxSize)
        why = QStringLiteral("%1 bytes, over the bound of %2").arg(qint64(info.st_size)).arg(maxSize);
    if (!why.isEmpty()) {
        ::close(fd);
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return -1;
    }
    *size = info.st_size;
    return fd;
}

} // namespace

bool RegularFile::check(const QString &path, qint64 maxSize, QString *error)
{
    qint64 size = 0;
    const Descriptor fd(openChecked(path, maxSize, &size, error));
    return fd.get() >= 0;
}

std::optional<QByteArray> RegularFile::read(const QString &path, qint64 maxSize, QString *error)
{
    qint64 size = 0;
    const Descriptor fd(openChecked(path, maxSize, &size, error));
    if (fd.get() < 0)
        return std::nullopt;
    // Read up to one byte past the size found, so a file that grew since is noticed.
    QByteArray content(int(size) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < content.size()) {
        const ssize_t n = ::read(fd.get(), content.data() + filled, std::size_t(content.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, systemError());
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxSize) {
        if (error)
            *error = QStringLiteral("%1: grew past the bound of %2 bytes").arg(path).arg(maxSize);
        return std::nullopt;
    }
    content.truncate(int(filled));
    return content;
}
