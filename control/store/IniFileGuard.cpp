#include "IniFileGuard.h"

#include "BoundedFile.h"

#include <QDebug>
#include <QFile>

#include <cstdio>

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// One past the escape sequence that starts with the backslash at `at`: hexadecimal
// ("\x" and any number of digits), octal (any number of digits) or one character.
int escapeEnd(const QByteArray &text, int at)
{
    const int size = text.size();
    int i = at + 1;
    if (i < size && (text.at(i) == 'x' || text.at(i) == 'X')) {
        for (++i; i < size && hexDigit(text.at(i)) >= 0; ++i) {
        }
        return i;
    }
    if (i < size && isOctalDigit(text.at(i))) {
        for (; i < size && isOctalDigit(text.at(i)); ++i) {
        }
        return i;
    }
    return qMin(i + 1, size);
}

// The UTF-16 unit that a numeric escape spells (the reader keeps the low 16 bits);
// 0 for the one-character escapes, which never spell "@".
uint escapedCharacter(const QByteArray &text, int at, int end)
{
    uint value = 0;
    const char kind = at + 1 < end ? text.at(at + 1) : '\0';
    if (kind == 'x' || kind == 'X') {
        for (int i = at + 2; i < end; ++i)
            value = (value * 16 + uint(hexDigit(text.at(i)))) & 0xFFFFu;
        return value;
    }
    if (isOctalDigit(kind)) {
        for (int i = at + 1; i < end; ++i)
            value = (value * 8 + uint(text.at(i) - '0')) & 0xFFFFu;
        return value;
    }
    return 0;
}

} // namespace

// Follows the INI reader closely enough to know where a value or list element begins:
// after the line start, an unquoted "=" or ",", past blanks and empty quotes.
bool IniFileGuard::isSafe(const QByteArray &text)
{
    bool inQuotes = false;
    bool atStart = true;
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        const char c = text.at(i);
        const char next = i + 1 < size ? text.at(i + 1) : '\n';
        if (isLineEnd(c)) {
            inQuotes = false;
            atStart = true;
            continue;
        }
        if (c == '\\') {
            // A backslash at the line end joins the next line to the value.
            if (isLineEnd(next))
                return false;
            const int end = escapeEnd(text, i);
            if (escapedCharacter(text, i, end) == '@')
                return false;
            i = end - 1;
            atStart = false;
            continue;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && (c == '=' || c == ',')) {
            atStart = true;
            continue;
        }
        if (!inQuotes && isBlank(c))
            continue;
        if (c == '@' && atStart) {
            if (next != '@')
                return false;
            ++i; // "@@" is a literal "@"
        }
        atStart = false;
    }
    return true;
}

IniFileGuard::Verdict IniFileGuard::admit(const QString &path)
{
    const BoundedFile file = BoundedFile::read(path, MaxFileBytes);
    QString suffix;
    switch (file.status()) {
    case BoundedFile::Status::Ok:
        if (isSafe(file.contents()))
            return Verdict::Parse;
        qWarning() << "IniFileGuard: file refused, it holds a value that is not plain text:" << path;
        suffix = QStringLiteral(".unsafe");
        break;
    case BoundedFile::Status::Missing:
        return Verdict::Absent;
    case BoundedFile::Status::Unreadable:
        qWarning() << "IniFileGuard: file not read," << file.reason() << path;
        return Verdict::Refused;
    case BoundedFile::Status::NotRegularFile:
        qWarning() << "IniFileGuard: file refused, it is" << file.reason() << path;
        suffix = QStringLiteral(".not-a-file");
        break;
    case BoundedFile::Status::TooLarge:
        qWarning() << "IniFileGuard: file refused, it is" << file.reason() << path;
        suffix = QStringLiteral(".too-large");
        break;
    }
    return moveAside(path, suffix) ? Verdict::Absent : Verdict::Refused;
}

bool IniFileGuard::moveAside(const QString &path, const QString &suffix)
{
    // rename(2) rather than QFile: it also moves a FIFO, a link or a directory, and
    // replaces an older file set aside.
    const QString aside = path + suffix;
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0) {
        qWarning() << "IniFileGuard: moved aside to" << aside;
        return true;
    }
    qWarning() << "IniFileGuard: could not move aside" << path;
    return false;
}
