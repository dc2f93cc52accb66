#include "NamedMutex.h"

#include "RuntimeFolder.h"

#include <QThread>

NamedMutex::NamedMutex(const QString &name)
    : m_name(name)
{
}

QString NamedMutex::filePath() const
{
    return RuntimeFolder::filePath(QStringLiteral("mutex-"), m_name, QStringLiteral(".lock"));
}

NamedMutex::Result NamedMutex::tryCreate()
{
    if (isHeld())
        return Result::Created;
    switch (m_lock.tryLock(filePath())) {
    case LockFile::Result::Locked:
        return Result::Created;
    case LockFile::Result::HeldElsewhere:
        return Result::AlreadyExists;
    case LockFile::Result::Failed:
        break;
    }
    return Result::Failed;
}

NamedMutex::Result NamedMutex::acquireOwner(int attempts, int intervalMs)
{
    Result result = tryCreate();
    for (int attempt = 1; attempt < attempts && result == Result::AlreadyExists; ++attempt) {
        QThread::msleep(static_cast<unsigned long>(intervalMs));
        result = tryCreate();
    }
    return result;
}

bool NamedMutex::probe(const QString &name)
{
    NamedMutex mutex(name);
    return mutex.tryCreate() == Result::AlreadyExists;
}
