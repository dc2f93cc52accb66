#include "OrgbWriter.h"

#include <algorithm>

OrgbWriter &OrgbWriter::u16(std::uint16_t value)
{
    m_data += char(value & 0xff);
    m_data += char(value >> 8);
    return *this;
}

OrgbWriter &OrgbWriter::u32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_data += char((value >> shift) & 0xff);
    return *this;
}

OrgbWriter &OrgbWriter::string(const std::string &text)
{
    // A name longer than a u16 can count is cut, never sent with a length that lies.
    const std::size_t kept = std::min<std::size_t>(text.size(), 0xfffe);
    u16(std::uint16_t(kept + 1));
    m_data.append(text, 0, kept);
    m_data += '\0';
    return *this;
}

OrgbWriter &OrgbWriter::bytes(const std::string &raw)
{
    m_data += raw;
    return *this;
}

void OrgbWriter::patchU32(std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        m_data[offset + std::size_t(i)] = char((value >> (8 * i)) & 0xff);
}
