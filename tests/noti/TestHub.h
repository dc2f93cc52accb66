// Plays the maker's hub program "Spectra Hub" for tests: holds its mutex, serves its
// window endpoint and appends every message it receives to a record file, one JSON
// object a line, so that a test in another process can read what arrived. Replies are 0
// unless a reply is set for the message number; later duties of the hub (the shared
// record, its own messages) grow here.
#pragma once

#include "NamedMutex.h"
#include "WindowEndpoint.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class TestHub : public QObject
{
    Q_OBJECT
public:
    using Reply = std::function<qint64(const WindowRequest &)>;

    static QString title() { return QStringLiteral("Spectra Hub"); }

    explicit TestHub(const QString &recordPath, QObject *parent = nullptr);

    // Takes the mutex and serves the window; false (logged) when either is refused.
    bool start();
    void setReply(quint32 message, Reply reply) { m_replies.insert(message, std::move(reply)); }

    // The record file's lines as the hub wrote them.
    static QList<WindowRequest> readRecord(const QString &recordPath);

private:
    qint64 answer(const WindowRequest &request);
    void record(const WindowRequest &request);

    QString m_recordPath;
    NamedMutex m_mutex;
    WindowEndpoint m_endpoint;
    QHash<quint32, Reply> m_replies;
};
