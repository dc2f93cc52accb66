// The engine thread's sleep between frames: until a deadline on the monotonic clock,
// unless woken. One futex call a frame and nothing else: a condition variable costs a
// second system call each time, since the mutex it takes back after a timeout is
// marked contended and its unlock wakes the kernel for nobody.
#pragma once

#include <atomic>
#include <chrono>

class FrameSleeper
{
public:
    using Clock = std::chrono::steady_clock;

    // Take a ticket before checking whether to sleep; a wake() after it ends the sleep
    // that uses it, however early it comes.
    unsigned ticket() const { return m_word.load(std::memory_order_acquire); }
    // Sleeps until `deadline`; false when woken (or when a wake came after `ticket`).
    bool sleepUntil(Clock::time_point deadline, unsigned ticket);
    void wake();

private:
    std::atomic<unsigned> m_word{0};
};
