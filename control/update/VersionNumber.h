// A version text "major.minor.patch" as the update service compares it: the patch reads
// like the digits after a decimal point, so "1.0.2" is newer than "1.0.10" and as new
// as "1.0.20".
#pragma once

#include <QString>

struct VersionNumber
{
    int major = 0;
    int minor = 0;
    // The patch scaled to three digits: 2 → 200, 12 → 120, 123 → 123, 1234 → 123.
    qint64 scaledPatch = 0;
    // How many characters the patch was written with; it sets the scale.
    int patchDigits = 0;

    // Missing or non-numeric parts count as 0; parts after the third are ignored.
    static VersionNumber parse(const QString &text);
};
