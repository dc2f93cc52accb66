// Opening a path that someone outside the program chose (a registry entry, the server it
// names). Such a path may name a FIFO, a device or a huge file; an ordinary open of a
// FIFO waits for a writer for ever. The path is opened without waiting and kept only
// when it is a regular file of a sane size.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class RegularFile
{
public:
    // False, with the reason in `error`, when the path is not a regular file of at most
    // `maxSize` bytes.
    static bool check(const QString &path, qint64 maxSize, QString *error = nullptr);
    // The whole content of such a file.
    static std::optional<QByteArray> read(const QString &path, qint64 maxSize, QString *error = nullptr);
};
