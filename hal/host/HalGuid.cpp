#include "HalGuid.h"

#include <cstring>

namespace {

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `pos`; false when one of them is not a hex digit.
bool readHex(const QString &text, int pos, int digits, std::uint64_t &value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int v = hexValue(text.at(pos + i));
        if (v < 0)
            return false;
        value = value << 4 | std::uint64_t(v);
    }
    return true;
}

} // namespace

std::optional<VeltrimaHalGuid> HalGuid::fromString(const QString &text)
{
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (text.size() != 38 || text.at(0) != QLatin1Char('{') || text.at(37) != QLatin1Char('}'))
        return std::nullopt;
    for (int dash : {9, 14, 19, 24}) {
        if (text.at(dash) != QLatin1Char('-'))
            return std::nullopt;
    }
    VeltrimaHalGuid guid{};
    std::uint64_t v = 0;
    if (!readHex(text, 1, 8, v))
        return std::nullopt;
    guid.data1 = std::uint32_t(v);
    if (!readHex(text, 10, 4, v))
        return std::nullopt;
    guid.data2 = std::uint16_t(v);
    if (!readHex(text, 15, 4, v))
        return std::nullopt;
    guid.data3 = std::uint16_t(v);
    static const int bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!readHex(text, bytePos[i], 2, v))
            return std::nullopt;
        guid.data4[i] = std::uint8_t(v);
    }
    return guid;
}

QString HalGuid::toString(const VeltrimaHalGuid &guid)
{
    QString text = QStringLiteral("{%1-%2-%3-")
                       .arg(guid.data1, 8, 16, QLatin1Char('0'))
                       .arg(guid.data2, 4, 16, QLatin1Char('0'))
                       .arg(guid.data3, 4, 16, QLatin1Char('0'));
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            text += QLatin1Char('-');
        text += QStringLiteral("%1").arg(guid.data4[i], 2, 16, QLatin1Char('0'));
    }
    text += QLatin1Char('}');
    return text.toUpper();
}

bool HalGuid::equal(const VeltrimaHalGuid &a, const VeltrimaHalGuid &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

VeltrimaHalGuid HalGuid::halInterfaceId()
{
    return *fromString(QStringLiteral(VELTRIMA_HAL_IID_TEXT));
}
