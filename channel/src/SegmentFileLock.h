#pragma once

#include <chrono>

// The exclusive lock of the segment, held by the kernel on the segment file's open
// description (flock): writes into the mapping cannot damage it, and the kernel
// releases it when its holder dies. flock has no time limit of its own, so a wait
// polls with a growing pause until the deadline. Threads sharing one description
// share the lock, so callers serialise their own threads first.
class SegmentFileLock
{
public:
    using Deadline = std::chrono::steady_clock::time_point;

    // False when the lock is still held by someone else at the deadline.
    static bool acquire(int fd, Deadline deadline);
    static void release(int fd);
};
