#pragma once

#include "ChannelLayout.h"

#include <atomic>
#include <mutex>
#include <vector>

// The process's mapping of the user's shared channel state. The mapping is made
// once and kept for the life of the process, so pointers into it stay valid.
class ChannelSegment
{
public:
    // The mapped segment, opened on first use; nullptr when it cannot be opened.
    // After a failed attempt only an explicit retry tries again, so a process
    // without a channel does not log a failure on every call.
    static ChannelSegment *instance(bool retryAfterFailure = false);

    ChannelLayout &layout() const { return *m_layout; }

    // Takes the process-shared lock; recovers it when its holder died. False when
    // the lock cannot be had within a second (a holder that hangs), in which case
    // nothing may be read or written.
    bool lock();
    void unlock();

    // Appends an event to the ring; call with the lock held, then wake() after unlocking.
    void appendEvent(ChannelEventKind kind, int argument, const NotiEventData &notiEvent);
    void wake();

    std::uint32_t sequence() const;
    // Blocks until the sequence differs from seen or timeoutMs passes.
    void waitForChange(std::uint32_t seen, int timeoutMs) const;
    // The events after seen that are still in the ring, oldest first; advances seen.
    std::vector<ChannelEvent> eventsSince(std::uint32_t &seen);

    // The state of a new segment.
    static HWData initialHWData();
    static void initialiseState(ChannelLayout &layout);

private:
    ChannelSegment() = default;
    bool open();
    static ChannelLayout *mapLocked(int fd);
    static bool isOurs(const ChannelLayout &layout);

    std::atomic<ChannelLayout *> m_layout{nullptr};
    std::mutex m_openMutex;
    bool m_failed = false;
};
