// An exclusive flock() on a file. The kernel drops the lock when its holder dies, so a
// crash never leaves a stale lock behind. The file itself is never removed: removing it
// would let two processes lock two different files of the same name.
#pragma once

#include <QString>

class LockFile
{
public:
    enum class Result { Locked, HeldElsewhere, Failed };

    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    // Takes the lock without waiting. HeldElsewhere also covers a holder in this process
    // that uses another LockFile object, as flock locks belong to the open file.
    Result tryLock(const QString &filePath);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    QString filePath() const { return m_filePath; }

private:
    int m_fd = -1;
    QString m_filePath;
};
