#pragma once

#include "ChannelLayout.h"
#include "SegmentFileLock.h"

#include <atomic>
#include <mutex>
#include <vector>

// The process's mapping of the user's shared channel state. The mapping keeps its
// address for the life of the process, so pointers into it stay valid: when the
// segment file is shrunk or removed under us, the current file is mapped at the same
// address instead of touching pages that are gone.
class ChannelSegment
{
public:
    // The mapped segment, opened on first use; nullptr when it cannot be opened.
    // After a failure only an explicit retry tries again (a lock that was busy: any
    // call after a pause), so a process without a channel does not log on every call.
    static ChannelSegment *instance(bool retryAfterFailure = false);

    ChannelLayout &layout() const { return *m_layout; }

    // Takes the lock within a second, then makes sure the segment is whole: a file
    // that shrank or was removed is replaced, a damaged header rebuilt. False when the
    // lock cannot be had in time (a holder that hangs or was stopped) or no segment can
    // be reached, in which case nothing may be read or written.
    bool lock();
    // For the preview colours alone, written every frame: excludes the process's own
    // threads and checks the file, but takes the file lock only when the segment needs
    // mending. Another process may see a preview half written, which is harmless, and
    // a frame costs one check instead of three.
    bool lockForPreview();
    void unlock();

    // Without the lock: whether the mapping may be read through, replacing a file that
    // shrank or was removed first. For the pointer getters and the listener.
    bool usable();

    // Appends an event to the ring; call with the lock held, then wake() after unlocking.
    void appendEvent(ChannelEventKind kind, int argument, const NotiEventData &notiEvent);
    void wake();

    // The event count, read through the file (not the mapping), so that a file that
    // shrank cannot fault; false when it could not be read.
    bool readSequence(std::uint32_t &sequence) const;
    // Blocks until the sequence differs from seen or timeoutMs passes.
    void waitForChange(std::uint32_t seen, int timeoutMs) const;
    // The events after seen that are still in the ring, oldest first; advances seen.
    std::vector<ChannelEvent> eventsSince(std::uint32_t &seen);

    // The state of a new segment.
    static HWData initialHWData();
    static void initialiseState(ChannelLayout &layout);

private:
    enum class Outcome { Ok, Busy, Failed };
    using Deadline = SegmentFileLock::Deadline;

    ChannelSegment() = default;
    Outcome open();
    static int openFile();
    static Outcome attach(int fd, Deadline deadline, ChannelLayout *&layout);
    static bool isOurs(const ChannelLayout &layout);
    static void rebuild(ChannelLayout &layout);
    bool lockThreads(Deadline deadline);
    bool intact() const;
    bool replaceFile(Deadline deadline);
    void adoptOwnDescription();

    std::atomic<ChannelLayout *> m_layout{nullptr};
    // Fixed once the layout is published; a replaced file is moved onto this number.
    int m_fd = -1;
    // Threads of one process share the file's lock, so they take turns here first.
    std::timed_mutex m_threadLock;
    bool m_fileLocked = false; // under m_threadLock
    std::mutex m_openMutex;
    bool m_failed = false;
    Deadline m_openRetryAfter{};
    Deadline m_replaceRetryAfter{}; // under m_threadLock
    // Set in a forked child, which shares its parent's open description (and lock).
    std::atomic<bool> m_forked{false};
    // Set while a thread of ours grows and rebuilds a shrunk file: it has its full size
    // again before its content is rebuilt, so the size alone does not make it usable.
    std::atomic<bool> m_replacing{false};
};
