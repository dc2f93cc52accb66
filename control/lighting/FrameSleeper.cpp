#include "FrameSleeper.h"

#include <cerrno>
#include <climits>
#include <ctime>

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

static_assert(sizeof(std::atomic<unsigned>) == sizeof(unsigned), "the futex word is the atomic itself");

unsigned *futexWord(std::atomic<unsigned> &word)
{
    return reinterpret_cast<unsigned *>(&word);
}

} // namespace

bool FrameSleeper::sleepUntil(Clock::time_point deadline, unsigned ticket)
{
    // steady_clock is CLOCK_MONOTONIC, the clock of FUTEX_WAIT_BITSET's absolute timeout.
    const auto since = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec at{};
    at.tv_sec = time_t(seconds.count());
    at.tv_nsec = long(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count());
    for (;;) {
        if (m_word.load(std::memory_order_acquire) != ticket)
            return false;
        const long result = syscall(SYS_futex, futexWord(m_word), FUTEX_WAIT_BITSET | FUTEX_PRIVATE_FLAG, ticket, &at,
                                    nullptr, FUTEX_BITSET_MATCH_ANY);
        if (result != 0 && errno == ETIMEDOUT)
            return true;
        // Woken, the word changed before the call (EAGAIN), or a signal (EINTR): look again.
        if (Clock::now() >= deadline)
            return m_word.load(std::memory_order_acquire) == ticket;
    }
}

void FrameSleeper::wake()
{
    m_word.fetch_add(1, std::memory_order_acq_rel);
    syscall(SYS_futex, futexWord(m_word), FUTEX_WAKE | FUTEX_PRIVATE_FLAG, INT_MAX, nullptr, nullptr, 0);
}
