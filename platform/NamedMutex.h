// A named mutex shared by the processes of one user, used as a single-instance guard and
// as a probe of whether another program runs: an flock on
// "<runtime folder>/mutex-<name>.lock". The mutex "exists" while some process holds it;
// this object holds it from a successful create until release() or destruction.
#pragma once

#include "LockFile.h"

#include <QString>

class NamedMutex
{
public:
    enum class Result { Created, AlreadyExists, Failed };

    explicit NamedMutex(const QString &name);

    // Creates (takes) the mutex. AlreadyExists: another holder has it. Failed: the runtime
    // folder or the lock file cannot be used (logged); callers carry on as if it did
    // not exist, the way a failed create is treated.
    Result tryCreate();

    // For a program's own single-instance guard. Another program probing this guard holds
    // it for a moment, so a single refusal does not prove a second copy: retry for about
    // 100 ms before reporting AlreadyExists.
    Result acquireOwner(int attempts = 6, int intervalMs = 20);

    bool isHeld() const { return m_lock.isLocked(); }
    void release() { m_lock.unlock(); }
    QString name() const { return m_name; }
    QString filePath() const;

    // Create and release at once: true when another holder has the mutex.
    static bool probe(const QString &name);

private:
    QString m_name;
    LockFile m_lock;
};
