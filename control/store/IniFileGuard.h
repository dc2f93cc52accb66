// Decides whether QSettings may parse an INI file of the store. QSettings turns a value
// that reads "@Variant(...)" into a deserialised QVariant, so a crafted value in a
// hand-edited file can ask for gigabytes (a list of 2^31 entries) and end the program;
// the store's own values are numbers, switches and plain text, so a file that could hold
// such a value is refused. So is a path that is not a regular file (a FIFO would hold the
// program at start, /dev/zero never ends) and a file far larger than the store ever
// writes (its few kilobytes become seconds and gigabytes when parsed and rewritten at
// every save).
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <QString>

class IniFileGuard
{
public:
    IniFileGuard() = delete;

    // The store's files hold a few kilobytes.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    // False when some value of the INI text could start with a single "@", or an escape
    // sequence anywhere spells one. Errs on the side of refusing.
    static bool isSafe(const QByteArray &text);
    enum class Verdict {
        Parse,   // a regular file of ours to read
        Absent,  // no file (any more): the defaults serve and a save starts a fresh one
        Refused, // a file that may not be parsed and could not be moved aside, or not read
    };
    // Whether the file at path may be parsed. A file that exists and may not is moved
    // aside (path + ".unsafe", ".too-large" or ".not-a-file") with a logged reason.
    static Verdict admit(const QString &path);
    // Moves a refused file aside (path + suffix), replacing an older one.
    static bool moveAside(const QString &path, const QString &suffix);
};
