#include "ChannelArguments.h"

namespace {
// Decimal, or hexadecimal after "0x"; a leading zero does not mean octal here.
qlonglong parseNumber(const QString &text, bool *ok)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return trimmed.mid(2).toLongLong(ok, 16);
    return trimmed.toLongLong(ok, 10);
}
} // namespace

std::optional<QString> ChannelArguments::takeOption(const QString &name)
{
    const int at = m_words.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= m_words.size()) {
        fail(QStringLiteral("%1 needs a value").arg(name));
        return std::nullopt;
    }
    const QString value = m_words.at(at + 1);
    m_words.erase(m_words.begin() + at, m_words.begin() + at + 2);
    return value;
}

bool ChannelArguments::takeFlag(const QString &name)
{
    return m_words.removeAll(name) > 0;
}

QStringList ChannelArguments::positional()
{
    for (const QString &word : qAsConst(m_words)) {
        if (word.startsWith(QLatin1String("--")))
            fail(QStringLiteral("unknown option %1").arg(word));
    }
    return m_words;
}

std::optional<int> ChannelArguments::toInt(const QString &text, const QString &what, int minimum, int maximum)
{
    bool ok = false;
    const qlonglong value = parseNumber(text, &ok);
    if (!ok || value < minimum || value > maximum) {
        fail(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"").arg(what).arg(minimum).arg(maximum).arg(text));
        return std::nullopt;
    }
    return int(value);
}

std::optional<COLORREF> ChannelArguments::toColour(const QString &text, const QString &what)
{
    bool ok = false;
    const qlonglong value = parseNumber(text, &ok);
    if (!ok || value < 0 || value > 0xFFFFFF) {
        fail(QStringLiteral("%1 must be a colour 0x00BBGGRR (decimal or 0x hex), not \"%2\"").arg(what, text));
        return std::nullopt;
    }
    return COLORREF(value);
}

std::optional<float> ChannelArguments::toBrightness(const QString &text, const QString &what)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !(value >= 0.0 && value <= 1.0)) {
        fail(QStringLiteral("%1 must be a brightness from 0.0 to 1.0, not \"%2\"").arg(what, text));
        return std::nullopt;
    }
    return float(value);
}

std::optional<bool> ChannelArguments::toSwitch(const QString &text, const QString &what)
{
    if (text == QLatin1String("1") || text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("0") || text == QLatin1String("off"))
        return false;
    fail(QStringLiteral("%1 must be 0 or 1, not \"%2\"").arg(what, text));
    return std::nullopt;
}

std::optional<QVector<COLORREF>> ChannelArguments::toColours(const QString &text, const QString &what, int maximum)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > maximum) {
        fail(QStringLiteral("%1 takes at most %2 colours").arg(what).arg(maximum));
        return std::nullopt;
    }
    QVector<COLORREF> colours;
    for (const QString &part : parts) {
        const std::optional<COLORREF> colour = toColour(part, what);
        if (!colour)
            return std::nullopt;
        colours.append(*colour);
    }
    return colours;
}

void ChannelArguments::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}
