#include "SegmentFileLock.h"

#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <thread>

bool SegmentFileLock::acquire(int fd, Deadline deadline)
{
    // Holders keep the lock for a copy of a few kilobytes, so the first pauses are
    // short; a holder that hangs costs at most one pause of 2 ms past the deadline.
    auto pause = std::chrono::microseconds(20);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(2));
    }
}

void SegmentFileLock::release(int fd)
{
    flock(fd, LOCK_UN);
}
