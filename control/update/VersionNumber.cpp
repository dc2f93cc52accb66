#include "VersionNumber.h"

#include <QStringList>

#include <limits>

namespace {

qint64 numericPart(const QString &part)
{
    if (part.isEmpty())
        return 0;
    for (const QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    bool ok = false;
    const qint64 value = part.toLongLong(&ok);
    return ok ? value : 0;
}

int intPart(const QString &part)
{
    const qint64 value = numericPart(part);
    return value <= std::numeric_limits<int>::max() ? int(value) : 0;
}

qint64 scaled(qint64 value, int digits)
{
    for (int d = digits; d < 3; ++d)
        value *= 10;
    for (int d = digits; d > 3 && value > 0; --d)
        value /= 10;
    return value;
}

} // namespace

VersionNumber VersionNumber::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    const QString patch = parts.value(2).trimmed();

    VersionNumber version;
    version.major = intPart(parts.value(0).trimmed());
    version.minor = intPart(parts.value(1).trimmed());
    version.patchDigits = patch.size();
    version.scaledPatch = scaled(numericPart(patch), version.patchDigits);
    return version;
}
