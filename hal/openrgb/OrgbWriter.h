// Builds an OpenRGB SDK payload: little-endian fields appended in order, no padding.
#pragma once

#include <cstdint>
#include <string>

class OrgbWriter
{
public:
    OrgbWriter &u16(std::uint16_t value);
    OrgbWriter &u32(std::uint32_t value);
    OrgbWriter &i32(std::int32_t value) { return u32(std::uint32_t(value)); }
    // Length-prefixed, the length counting the NUL that follows the text.
    OrgbWriter &string(const std::string &text);
    OrgbWriter &bytes(const std::string &raw);

    const std::string &data() const { return m_data; }
    std::size_t size() const { return m_data.size(); }
    // Writes `value` over the four bytes at `offset` (a size known only at the end).
    void patchU32(std::size_t offset, std::uint32_t value);

private:
    std::string m_data;
};
