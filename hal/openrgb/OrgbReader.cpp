#include "OrgbReader.h"

#include <cstring>

bool OrgbReader::take(std::size_t bytes)
{
    if (m_failed || bytes > m_size - m_pos) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint16_t OrgbReader::u16()
{
    if (!take(2))
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(m_data + m_pos);
    m_pos += 2;
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t OrgbReader::u32()
{
    if (!take(4))
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(m_data + m_pos);
    m_pos += 4;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

std::string OrgbReader::string()
{
    const std::uint16_t length = u16();
    if (!take(length))
        return {};
    const char *start = m_data + m_pos;
    m_pos += length;
    const void *nul = std::memchr(start, 0, length);
    return std::string(start, nul ? std::size_t(static_cast<const char *>(nul) - start) : length);
}

std::size_t OrgbReader::count(std::size_t minElementSize)
{
    const std::uint16_t n = u16();
    return fits(n, minElementSize) ? n : 0;
}

bool OrgbReader::fits(std::size_t count, std::size_t minElementSize)
{
    if (m_failed)
        return false;
    if (minElementSize > 0 && count > remaining() / minElementSize)
        m_failed = true;
    return !m_failed;
}

void OrgbReader::skip(std::size_t bytes)
{
    if (take(bytes))
        m_pos += bytes;
}
