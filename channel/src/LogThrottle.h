#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

// Lets one kind of log line through at most once per interval, so that a fault met
// on every call (a busy or vanished channel polled 25 times a second) leaves a few
// lines, not thousands. Counts what it held back, for the next line that passes.
class LogThrottle
{
public:
    explicit LogThrottle(std::chrono::seconds interval) : m_interval(interval) {}

    // True when the line may be written; suppressed is then what was held back since.
    bool allow(unsigned &suppressed);

private:
    const std::chrono::seconds m_interval;
    std::atomic<std::int64_t> m_nextNs{0};
    std::atomic<unsigned> m_suppressed{0};
};
