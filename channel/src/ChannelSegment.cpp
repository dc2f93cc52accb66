#include "ChannelSegment.h"

#include "ChannelLog.h"
#include "LogThrottle.h"
#include "RuntimeFolder.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
constexpr auto kLockTimeout = std::chrono::seconds(1);
// After a failed open or replacement, calls fail at once for this long instead of
// each trying (and logging) again.
constexpr auto kRetryPause = std::chrono::seconds(1);
constexpr std::size_t kSegmentSize = sizeof(ChannelLayout);
constexpr std::uint32_t kRebuildSequenceJump = 0x10000;

ChannelSegment *g_segment = nullptr;

LogThrottle g_busyLog(std::chrono::seconds(10));
LogThrottle g_replaceLog(std::chrono::seconds(10));
LogThrottle g_damageLog(std::chrono::seconds(10));
LogThrottle g_behindLog(std::chrono::seconds(10));

void logThrottled(LogThrottle &throttle, const char *line)
{
    unsigned suppressed = 0;
    if (!throttle.allow(suppressed))
        return;
    if (suppressed > 0)
        logChannel("%s (%u more times since the last report)", line, suppressed);
    else
        logChannel("%s", line);
}

long futex(std::uint32_t *word, int operation, std::uint32_t value, const timespec *timeout)
{
    // Without FUTEX_PRIVATE_FLAG: the word is shared with other processes.
    return syscall(SYS_futex, word, operation, value, timeout, nullptr, 0);
}

ChannelLayout *mapFile(int fd)
{
    void *address = mmap(nullptr, kSegmentSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address != MAP_FAILED)
        return static_cast<ChannelLayout *>(address);
    logChannel("cannot map the shared state: %s", std::strerror(errno));
    return nullptr;
}
} // namespace

ChannelSegment *ChannelSegment::instance(bool retryAfterFailure)
{
    // Never destroyed: the listener thread and the pointers handed out may outlive
    // the static destructors at exit.
    static ChannelSegment *const segment = [] {
        g_segment = new ChannelSegment;
        pthread_atfork(nullptr, nullptr, [] { g_segment->m_forked.store(true, std::memory_order_relaxed); });
        return g_segment;
    }();
    if (segment->m_layout.load(std::memory_order_acquire))
        return segment;
    std::lock_guard<std::mutex> guard(segment->m_openMutex);
    if (segment->m_layout.load(std::memory_order_acquire))
        return segment;
    if (segment->m_failed && !retryAfterFailure)
        return nullptr;
    if (!retryAfterFailure && std::chrono::steady_clock::now() < segment->m_openRetryAfter)
        return nullptr;
    const Outcome outcome = segment->open();
    segment->m_failed = outcome == Outcome::Failed;
    if (outcome == Outcome::Busy)
        segment->m_openRetryAfter = std::chrono::steady_clock::now() + kRetryPause;
    return outcome == Outcome::Ok ? segment : nullptr;
}

ChannelSegment::Outcome ChannelSegment::open()
{
    const int fd = openFile();
    if (fd < 0)
        return Outcome::Failed;
    ChannelLayout *layout = nullptr;
    const Outcome outcome = attach(fd, std::chrono::steady_clock::now() + kLockTimeout, layout);
    if (outcome != Outcome::Ok) {
        close(fd);
        return outcome;
    }
    m_fd = fd;
    m_layout.store(layout, std::memory_order_release);
    return Outcome::Ok;
}

int ChannelSegment::openFile()
{
    const int folder = RuntimeFolder::open();
    if (folder < 0)
        return -1;
    // Non-blocking: whatever sits under the name, opening it must not wait.
    const int fd = openat(folder, channelSegmentFileName().c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    const int openError = errno;
    close(folder);
    if (fd < 0)
        logChannel("cannot open the shared state: %s", std::strerror(openError));
    return fd;
}

// Maps the segment of fd, making or rebuilding it under the lock when it is not a
// whole segment of ours. A segment is only ever grown, never shrunk, since other
// processes may map it.
ChannelSegment::Outcome ChannelSegment::attach(int fd, Deadline deadline, ChannelLayout *&layout)
{
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        logChannel("refusing the shared state file: not a file of ours");
        return Outcome::Failed;
    }
    if ((info.st_mode & 0777) != 0600)
        fchmod(fd, 0600);

    layout = nullptr;
    if (std::size_t(info.st_size) >= kSegmentSize) {
        layout = mapFile(fd);
        if (!layout)
            return Outcome::Failed;
        // A finished segment is joined without the lock: whoever holds it may be
        // stopped, and joining must not wait for it. Each operation checks again.
        if (isOurs(*layout))
            return Outcome::Ok;
    }
    if (!SegmentFileLock::acquire(fd, deadline)) {
        logThrottled(g_busyLog, "another process holds the shared lock too long; giving up");
        if (layout)
            munmap(layout, kSegmentSize);
        layout = nullptr;
        return Outcome::Busy;
    }
    Outcome outcome = Outcome::Ok;
    // A short file lost what lay past its end, even if its header survived.
    const bool grown = fstat(fd, &info) == 0 && std::size_t(info.st_size) < kSegmentSize;
    if (grown && ftruncate(fd, off_t(kSegmentSize)) != 0) {
        logChannel("cannot size the shared state: %s", std::strerror(errno));
        outcome = Outcome::Failed;
    }
    if (outcome == Outcome::Ok && !layout && !(layout = mapFile(fd)))
        outcome = Outcome::Failed;
    if (outcome == Outcome::Ok && (grown || !isOurs(*layout))) {
        if (info.st_size > 0)
            logChannel("the shared state has a foreign, damaged or unfinished layout; rebuilding it");
        rebuild(*layout);
    }
    SegmentFileLock::release(fd);
    if (outcome != Outcome::Ok && layout) {
        munmap(layout, kSegmentSize);
        layout = nullptr;
    }
    return outcome;
}

bool ChannelSegment::isOurs(const ChannelLayout &layout)
{
    return __atomic_load_n(&layout.magic, __ATOMIC_ACQUIRE) == kChannelMagic
        && layout.version == kChannelLayoutVersion && layout.size == kSegmentSize;
}

void ChannelSegment::rebuild(ChannelLayout &layout)
{
    // Listeners that mapped the old state remember how many events they saw. Starting
    // the count at 0 again would let the first few new events match a remembered
    // count and go unnoticed; a jump far past it makes them read the ring afresh.
    const std::uint32_t sequence = __atomic_load_n(&layout.sequence, __ATOMIC_RELAXED) + kRebuildSequenceJump;
    std::memset(static_cast<void *>(&layout), 0, kSegmentSize);
    initialiseState(layout);
    layout.sequence = sequence;
    // The header goes last: a creator that dies before this leaves a segment that
    // the next opener rebuilds.
    layout.version = kChannelLayoutVersion;
    layout.size = kSegmentSize;
    __atomic_store_n(&layout.magic, kChannelMagic, __ATOMIC_RELEASE);
}

HWData ChannelSegment::initialHWData()
{
    // The documented defaults; ledNum 0 means "not counted yet", as in a new record,
    // and the timestamp 0 makes the state stale so the control program loads its files.
    HWData data = makeZeroHWData();
    data.reset();
    for (MemoryModuleData &module : data.memoryData)
        module.ledNum = 0;
    data.dataTimestamp = 0;
    data.selectProfile = 0;
    return data;
}

void ChannelSegment::initialiseState(ChannelLayout &layout)
{
    layout.hwData = initialHWData();
    for (COLORREF &colour : layout.syncRGB)
        colour = 0;
}

bool ChannelSegment::lockThreads(Deadline deadline)
{
    if (m_threadLock.try_lock())
        return true;
    // A wait against the system clock becomes pthread_mutex_timedlock, which every
    // sanitizer knows; the steady clock's variant is not seen by ThreadSanitizer.
    const auto left = deadline - std::chrono::steady_clock::now();
    return m_threadLock.try_lock_until(std::chrono::system_clock::now() + left);
}

bool ChannelSegment::lock()
{
    // One deadline for both waits: no call waits much more than a second in all.
    const Deadline deadline = std::chrono::steady_clock::now() + kLockTimeout;
    if (!lockThreads(deadline)) {
        logThrottled(g_busyLog, "another thread of this process holds the shared lock too long; giving up");
        return false;
    }
    if (m_forked.exchange(false, std::memory_order_relaxed))
        adoptOwnDescription();
    if (!SegmentFileLock::acquire(m_fd, deadline)) {
        m_threadLock.unlock();
        logThrottled(g_busyLog, "another process holds the shared lock too long; giving up");
        return false;
    }
    // Checked again after every replacement: the file lock is let go while the file is
    // replaced, and a peer may shrink the new file before we hold the lock again.
    while (!intact()) {
        SegmentFileLock::release(m_fd);
        m_replacing = true;
        const bool replaced = replaceFile(deadline);
        m_replacing = false;
        if (!replaced || !SegmentFileLock::acquire(m_fd, deadline)) {
            m_threadLock.unlock();
            return false;
        }
    }
    ChannelLayout &shared = layout();
    if (!isOurs(shared)) {
        // Stray writes into the mapping: what is there cannot be trusted.
        logThrottled(g_damageLog, "the shared state's header was overwritten; rebuilding it");
        rebuild(shared);
    }
    m_fileLocked = true;
    return true;
}

bool ChannelSegment::lockForPreview()
{
    if (!lockThreads(std::chrono::steady_clock::now() + kLockTimeout)) {
        logThrottled(g_busyLog, "another thread of this process holds the shared lock too long; giving up");
        return false;
    }
    if (!m_forked.load(std::memory_order_relaxed) && intact() && !m_replacing && isOurs(layout())) {
        m_fileLocked = false;
        return true;
    }
    m_threadLock.unlock();
    return lock();
}

void ChannelSegment::unlock()
{
    if (m_fileLocked)
        SegmentFileLock::release(m_fd);
    m_threadLock.unlock();
}

bool ChannelSegment::usable()
{
    if (intact() && !m_replacing)
        return true;
    if (!lock())
        return false;
    unlock();
    return true;
}

// One fstat per operation keeps a shrunk file from being touched (which would raise
// SIGBUS); a removed file is left for the one that now has its name.
bool ChannelSegment::intact() const
{
    struct stat info {};
    return fstat(m_fd, &info) == 0 && std::size_t(info.st_size) >= kSegmentSize && info.st_nlink > 0;
}

// Maps the file that now has the segment's name at the old address and moves its
// description onto m_fd, so that pointers handed out and the descriptor number stay
// valid. Called with m_threadLock held and the file lock released.
bool ChannelSegment::replaceFile(Deadline deadline)
{
    if (std::chrono::steady_clock::now() < m_replaceRetryAfter)
        return false;
    logThrottled(g_replaceLog, "the shared state file shrank or was removed; mapping the current one");
    const int fd = openFile();
    ChannelLayout *fresh = nullptr;
    if (fd < 0 || attach(fd, deadline, fresh) != Outcome::Ok) {
        if (fd >= 0)
            close(fd);
        m_replaceRetryAfter = std::chrono::steady_clock::now() + kRetryPause;
        return false;
    }
    munmap(fresh, kSegmentSize);
    void *address = mmap(m_layout.load(std::memory_order_relaxed), kSegmentSize, PROT_READ | PROT_WRITE,
                         MAP_SHARED | MAP_FIXED, fd, 0);
    if (address == MAP_FAILED || dup3(fd, m_fd, O_CLOEXEC) < 0) {
        logChannel("cannot map the current shared state file: %s", std::strerror(errno));
        close(fd);
        m_replaceRetryAfter = std::chrono::steady_clock::now() + kRetryPause;
        return false;
    }
    close(fd);
    return true;
}

// A forked child shares its parent's open description, and with it the lock: the
// two would not exclude each other. The child opens a description of its own.
void ChannelSegment::adoptOwnDescription()
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", m_fd);
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    void *address = mmap(m_layout.load(std::memory_order_relaxed), kSegmentSize, PROT_READ | PROT_WRITE,
                         MAP_SHARED | MAP_FIXED, fd, 0);
    if (address != MAP_FAILED)
        dup3(fd, m_fd, O_CLOEXEC);
    close(fd);
}

void ChannelSegment::appendEvent(ChannelEventKind kind, int argument, const NotiEventData &notiEvent)
{
    ChannelLayout &shared = layout();
    const std::uint32_t sequence = shared.sequence;
    ChannelEvent &event = shared.ring[sequence % kChannelRingSize];
    event.sequence = sequence;
    event.kind = kind;
    event.argument = argument;
    event.originPid = getpid();
    event.notiEvent = notiEvent;
    __atomic_store_n(&shared.sequence, sequence + 1, __ATOMIC_RELEASE);
}

void ChannelSegment::wake()
{
    futex(&layout().sequence, FUTEX_WAKE, INT_MAX, nullptr);
}

bool ChannelSegment::readSequence(std::uint32_t &sequence) const
{
    std::uint32_t value = 0;
    if (pread(m_fd, &value, sizeof value, off_t(offsetof(ChannelLayout, sequence))) != ssize_t(sizeof value))
        return false;
    sequence = value;
    return true;
}

void ChannelSegment::waitForChange(std::uint32_t seen, int timeoutMs) const
{
    const timespec timeout{timeoutMs / 1000, long(timeoutMs % 1000) * 1000000L};
    futex(&m_layout.load(std::memory_order_relaxed)->sequence, FUTEX_WAIT, seen, &timeout);
}

std::vector<ChannelEvent> ChannelSegment::eventsSince(std::uint32_t &seen)
{
    std::vector<ChannelEvent> events;
    if (!lock())
        return events;
    const ChannelLayout &shared = layout();
    const std::uint32_t current = shared.sequence;
    const std::uint32_t pending = current - seen;
    if (pending > std::uint32_t(kChannelRingSize)) {
        logThrottled(g_behindLog, "listener missed events (it fell behind, or the state was rebuilt)");
        seen = current - kChannelRingSize;
    }
    events.reserve(current - seen);
    for (std::uint32_t s = seen; s != current; ++s) {
        const ChannelEvent &event = shared.ring[s % kChannelRingSize];
        if (event.sequence == s)
            events.push_back(event);
    }
    unlock();
    seen = current;
    return events;
}
