// Plays the maker's hub program "Spectra Hub" for tests: holds its mutex, serves its
// window endpoint and appends every message it receives to a record file, one JSON
// object a line, so that a test in another process can read what arrived. Replies are 0
// unless a reply is set for the message number. Under another title it plays a window
// of another outside program (no mutex is taken then), such as the one of
// "KV RGB Memory.exe" that receives the whole record. The static helpers read and write
// the hub's shared record as the hub does.
#pragma once

#include "NamedMutex.h"
#include "WindowEndpoint.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class TestHub : public QObject
{
    Q_OBJECT
public:
    using Reply = std::function<qint64(const WindowRequest &)>;

    static QString title() { return QStringLiteral("Spectra Hub"); }

    explicit TestHub(const QString &recordPath, const QString &windowTitle = title(), QObject *parent = nullptr);

    // Takes the mutex and serves the window; false (logged) when either is refused.
    bool start();
    void setReply(quint32 message, Reply reply) { m_replies.insert(message, std::move(reply)); }

    // The record file's lines as the hub wrote them.
    static QList<WindowRequest> readRecord(const QString &recordPath);

    // The shared record's 32-bit little-endian word at a byte offset; nothing when the
    // file is missing or short.
    static std::optional<quint32> readSyncWord(const QString &syncPath, int offset);
    static QByteArray readSyncRecord(const QString &syncPath);
    // The hub's one field in the shared record: its choice of animation.
    static bool writeAnimationChoice(const QString &syncPath, qint32 choice);

private:
    qint64 answer(const WindowRequest &request);
    void record(const WindowRequest &request);

    QString m_recordPath;
    QString m_title;
    NamedMutex m_mutex;
    WindowEndpoint m_endpoint;
    QHash<quint32, Reply> m_replies;
};
