#include "ChannelSegment.h"

#include "ChannelLog.h"
#include "RuntimeFolder.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

namespace {
const char kSegmentFileName[] = "lighting.shm";
constexpr int kLockTimeoutSeconds = 1;

class FileLock
{
public:
    explicit FileLock(int fd) : m_fd(fd)
    {
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() { flock(m_fd, LOCK_UN); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

private:
    int m_fd;
};

bool initialiseMutex(pthread_mutex_t &mutex)
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    const int rc = pthread_mutex_init(&mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    return rc == 0;
}

long futex(std::uint32_t *word, int operation, std::uint32_t value, const timespec *timeout)
{
    // Without FUTEX_PRIVATE_FLAG: the word is shared with other processes.
    return syscall(SYS_futex, word, operation, value, timeout, nullptr, 0);
}
} // namespace

ChannelSegment *ChannelSegment::instance(bool retryAfterFailure)
{
    // Never destroyed: the listener thread and the pointers handed out may outlive
    // the static destructors at exit.
    static ChannelSegment *const segment = new ChannelSegment;
    if (segment->m_layout.load(std::memory_order_acquire))
        return segment;
    std::lock_guard<std::mutex> guard(segment->m_openMutex);
    if (segment->m_layout.load(std::memory_order_acquire))
        return segment;
    if (segment->m_failed && !retryAfterFailure)
        return nullptr;
    segment->m_failed = !segment->open();
    return segment->m_failed ? nullptr : segment;
}

bool ChannelSegment::open()
{
    const int folder = RuntimeFolder::open();
    if (folder < 0)
        return false;
    const int fd = openat(folder, kSegmentFileName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    const int openError = errno;
    close(folder);
    if (fd < 0) {
        logChannel("cannot open the shared state: %s", std::strerror(openError));
        return false;
    }

    ChannelLayout *layout = mapLocked(fd);
    close(fd);
    if (!layout)
        return false;
    m_layout.store(layout, std::memory_order_release);
    return true;
}

// Maps and, when needed, rebuilds the segment while holding the file's lock. The
// lock must be released before the descriptor is closed: the mapping keeps the open
// file alive, and with it a lock that nobody could release any more.
ChannelLayout *ChannelSegment::mapLocked(int fd)
{
    const FileLock fileLock(fd);
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        logChannel("refusing the shared state file: not a file of ours");
        return nullptr;
    }
    if ((info.st_mode & 0777) != 0600)
        fchmod(fd, 0600);

    const std::size_t size = sizeof(ChannelLayout);
    bool rebuild = std::size_t(info.st_size) != size;
    if (rebuild && (ftruncate(fd, 0) != 0 || ftruncate(fd, off_t(size)) != 0)) {
        logChannel("cannot size the shared state: %s", std::strerror(errno));
        return nullptr;
    }
    void *address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int mapError = errno;
    if (address == MAP_FAILED) {
        logChannel("cannot map the shared state: %s", std::strerror(mapError));
        return nullptr;
    }
    auto *layout = static_cast<ChannelLayout *>(address);
    if (!rebuild && !isOurs(*layout)) {
        logChannel("the shared state has a foreign or unfinished layout; rebuilding it");
        rebuild = true;
    }
    if (rebuild) {
        std::memset(layout, 0, size);
        if (!initialiseMutex(layout->mutex)) {
            logChannel("cannot create the shared lock");
            munmap(address, size);
            return nullptr;
        }
        initialiseState(*layout);
        // The header goes last: a creator that dies before this leaves a segment
        // that the next opener rebuilds.
        layout->version = kChannelLayoutVersion;
        layout->size = size;
        __atomic_store_n(&layout->magic, kChannelMagic, __ATOMIC_RELEASE);
    }
    return layout;
}

bool ChannelSegment::isOurs(const ChannelLayout &layout)
{
    return __atomic_load_n(&layout.magic, __ATOMIC_ACQUIRE) == kChannelMagic
        && layout.version == kChannelLayoutVersion && layout.size == sizeof(ChannelLayout);
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

bool ChannelSegment::lock()
{
    pthread_mutex_t &mutex = m_layout.load(std::memory_order_relaxed)->mutex;
    // A free lock, or a dead holder's, is taken at once. Only this call also tells
    // ThreadSanitizer that a dead holder's lock is now ours.
    int rc = pthread_mutex_trylock(&mutex);
    if (rc == EBUSY) {
        // Every holder keeps the lock for a copy of a few kilobytes, so a wait this long
        // means a holder that hangs or was stopped; the caller must not hang with it.
        timespec deadline {};
        clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += kLockTimeoutSeconds;
        rc = pthread_mutex_timedlock(&mutex, &deadline);
    }
    if (rc == 0)
        return true;
    if (rc == EOWNERDEAD) {
        // A process died holding the lock; what it wrote is plain data, so the state
        // stays usable as it is.
        logChannel("a process died holding the shared lock; recovering it");
        pthread_mutex_consistent(&mutex);
        return true;
    }
    if (rc == ETIMEDOUT)
        logChannel("another process holds the shared lock too long; giving up");
    else
        logChannel("cannot take the shared lock: %s", std::strerror(rc));
    return false;
}

void ChannelSegment::unlock()
{
    pthread_mutex_unlock(&m_layout.load(std::memory_order_relaxed)->mutex);
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

std::uint32_t ChannelSegment::sequence() const
{
    return __atomic_load_n(&m_layout.load(std::memory_order_relaxed)->sequence, __ATOMIC_ACQUIRE);
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
        logChannel("listener fell behind; %u events were overwritten", pending - kChannelRingSize);
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
