#include "LogThrottle.h"

bool LogThrottle::allow(unsigned &suppressed)
{
    using namespace std::chrono;
    const std::int64_t now = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    std::int64_t next = m_nextNs.load(std::memory_order_relaxed);
    const std::int64_t following = now + duration_cast<nanoseconds>(m_interval).count();
    if (now < next || !m_nextNs.compare_exchange_strong(next, following, std::memory_order_relaxed)) {
        m_suppressed.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    suppressed = m_suppressed.exchange(0, std::memory_order_relaxed);
    return true;
}
