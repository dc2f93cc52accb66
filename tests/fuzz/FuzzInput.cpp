#include "FuzzInput.h"

#include <QtGlobal>

#include <cstring>

std::uint8_t FuzzInput::byte()
{
    return m_offset < m_size ? m_data[m_offset++] : 0;
}

std::uint32_t FuzzInput::u32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(byte()) << (8 * i);
    return value;
}

std::uint64_t FuzzInput::u64()
{
    const std::uint64_t low = u32();
    return low | (std::uint64_t(u32()) << 32);
}

float FuzzInput::f32()
{
    const std::uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray FuzzInput::bytes(std::size_t maxBytes)
{
    const std::size_t count = qMin(maxBytes, remaining());
    QByteArray copy(reinterpret_cast<const char *>(m_data + m_offset), int(count));
    m_offset += count;
    return copy;
}

void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}
