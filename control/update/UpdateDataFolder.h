// The update check's working files in the settings folder ("Version.txt", "UUID.txt",
// "fileUrl.txt", "KV_update.exe"): whole-file plain text without a line end, written as
// Latin-1 and read as UTF-8. Every call opens and closes its file.
#pragma once

#include <QString>

#include <optional>

class UpdateDataFolder
{
public:
    // A working file is a few dozen bytes; anything this big is not one of ours.
    static constexpr qint64 kMaxFileSize = 64 * 1024;

    // The settings folder of "Kv" followed by "/VELTRIMARGB".
    static QString defaultPath();

    explicit UpdateDataFolder(const QString &path = defaultPath());

    QString path() const { return m_path; }
    QString filePath(const QString &name) const;

    bool contains(const QString &name) const;
    bool create() const;

    // The whole file as UTF-8; nothing when it is missing, unreadable or too big (the
    // last two logged).
    std::optional<QString> readText(const QString &name) const;
    // Replaces the whole file; false (logged) when it could not be written.
    bool writeLatin1(const QString &name, const QString &text) const;
    // True when the file is gone afterwards.
    bool remove(const QString &name) const;

private:
    QString m_path;
};
