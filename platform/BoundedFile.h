// Files that come from outside the programs (hand-edited settings, registrations, sensor
// configurations, kernel files under a configurable root) are only read when they are
// regular files of a sane size. A FIFO would hold the reader until a writer appears, a
// device such as /dev/zero never ends, and a file of gigabytes costs seconds and memory
// at every read; each is refused without ever being opened in a way that can wait.
#pragma once

#include <QByteArray>
#include <QString>

class BoundedFile
{
public:
    enum class Status { Ok, Missing, NotRegularFile, TooLarge, Unreadable };

    // Whether path names a regular file of at most maxBytes, without opening it.
    static BoundedFile check(const QString &path, qint64 maxBytes);
    // The whole file when it is regular and holds at most maxBytes. Kernel files that
    // report size 0 are read up to the bound as well.
    static BoundedFile read(const QString &path, qint64 maxBytes);

    Status status() const { return m_status; }
    bool isOk() const { return m_status == Status::Ok; }
    // Empty unless read() succeeded.
    const QByteArray &contents() const { return m_contents; }
    // Why the file was refused, for log lines; empty when it was not.
    QString reason() const;

private:
    BoundedFile(Status status, qint64 maxBytes, int error = 0);

    Status m_status;
    qint64 m_maxBytes;
    int m_error;
    QByteArray m_contents;
};
