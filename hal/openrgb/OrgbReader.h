// Reads the little-endian fields of an OpenRGB SDK payload one by one. A read past the
// end marks the reader failed and yields zeros, so a decoder can read on and check once;
// nothing it returns is ever sized from the data beyond what the data holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class OrgbReader
{
public:
    OrgbReader(const char *data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint16_t u16();
    std::uint32_t u32();
    std::int32_t i32() { return std::int32_t(u32()); }
    // A length-prefixed string, cut at its first NUL.
    std::string string();
    // A list count, refused (reader failed, 0 returned) when `count` elements of at
    // least `minElementSize` bytes each cannot fit in what is left.
    std::size_t count(std::size_t minElementSize);
    // The same check for a count read earlier (a mode count is separated from its list).
    bool fits(std::size_t count, std::size_t minElementSize);
    void skip(std::size_t bytes);

    bool failed() const { return m_failed; }
    std::size_t remaining() const { return m_failed ? 0 : m_size - m_pos; }

private:
    bool take(std::size_t bytes);

    const char *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_failed = false;
};
