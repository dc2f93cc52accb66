// QSettings turns a value that reads "@Variant(...)" into a deserialised QVariant, so a
// crafted value in a hand-edited file can ask for gigabytes (a list of 2^31 entries)
// and end the program. The store's own values are numbers, switches and plain text, so
// a file that could hold such a value is refused before QSettings parses it.
#pragma once

#include <QByteArray>
#include <QString>

class IniFileGuard
{
public:
    IniFileGuard() = delete;

    // False when some value of the INI text could start with a single "@", or an escape
    // sequence anywhere spells one. Errs on the side of refusing.
    static bool isSafe(const QByteArray &text);
    // A missing file is safe: there is nothing to parse.
    static bool isSafeFile(const QString &path);
    // Moves an unsafe file aside (path + ".unsafe") so that a fresh one can be written.
    static bool moveAside(const QString &path);
};
