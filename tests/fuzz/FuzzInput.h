// Reads typed values off a fuzzer's bytes, front to back; past the end every value is 0,
// so a target never needs to check what is left.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_offset >= m_size; }
    std::size_t remaining() const { return m_size - m_offset; }

    std::uint8_t byte();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint64_t u64();
    float f32();
    // Up to maxBytes of what follows, as a copy.
    QByteArray bytes(std::size_t maxBytes);
    QByteArray rest() { return bytes(remaining()); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

// Silences Qt's message output: every refusal is logged, and printing millions of them
// would be most of a fuzzer's time.
void silenceQtMessages();
