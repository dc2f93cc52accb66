// The delays from a frame handed to the HAL to its packet leaving the socket, kept as a
// histogram of 10 µs steps so that recording costs no allocation. One thread records;
// report() is read after it ended.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

class OrgbLatency
{
public:
    void record(std::chrono::nanoseconds delay);
    std::uint64_t count() const { return m_count; }
    // The delay below which `fraction` of the frames were sent, in microseconds.
    double percentileUs(double fraction) const;
    std::string report() const;

private:
    static constexpr int kStepUs = 10;
    std::array<std::uint32_t, 10000> m_buckets{}; // the last one holds everything from 100 ms
    std::uint64_t m_count = 0;
    std::int64_t m_maxUs = 0;
};
