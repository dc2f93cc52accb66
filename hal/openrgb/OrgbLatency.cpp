#include "OrgbLatency.h"

#include <algorithm>
#include <cstdio>

void OrgbLatency::record(std::chrono::nanoseconds delay)
{
    const std::int64_t us = std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::microseconds>(delay).count());
    const std::size_t bucket = std::min<std::size_t>(std::size_t(us / kStepUs), m_buckets.size() - 1);
    ++m_buckets[bucket];
    ++m_count;
    m_maxUs = std::max(m_maxUs, us);
}

double OrgbLatency::percentileUs(double fraction) const
{
    if (m_count == 0)
        return 0;
    const auto wanted = std::uint64_t(fraction * double(m_count) + 0.5);
    std::uint64_t seen = 0;
    for (std::size_t i = 0; i < m_buckets.size(); ++i) {
        seen += m_buckets[i];
        if (seen >= std::max<std::uint64_t>(wanted, 1))
            return double((i + 1) * kStepUs);
    }
    return double(m_maxUs);
}

std::string OrgbLatency::report() const
{
    char line[200];
    std::snprintf(line, sizeof line, "frames %llu p50 %.0f us p99 %.0f us max %lld us\n",
                  static_cast<unsigned long long>(m_count), percentileUs(0.5), percentileUs(0.99),
                  static_cast<long long>(m_maxUs));
    return line;
}
