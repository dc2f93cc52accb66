#include "LockFile.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

LockFile::~LockFile()
{
    unlock();
}

LockFile::Result LockFile::tryLock(const QString &filePath)
{
    unlock();
    if (filePath.isEmpty())
        return Result::Failed;
    const QByteArray native = QFile::encodeName(filePath);
    const int fd = open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        qWarning().noquote() << "Lock file" << filePath << "cannot be opened:" << strerror(errno);
        return Result::Failed;
    }
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldElsewhere;
        qWarning().noquote() << "Lock file" << filePath << "cannot be locked:" << strerror(error);
        return Result::Failed;
    }
    m_fd = fd;
    m_filePath = filePath;
    return Result::Locked;
}

void LockFile::unlock()
{
    if (m_fd < 0)
        return;
    close(m_fd);
    m_fd = -1;
    m_filePath.clear();
}
