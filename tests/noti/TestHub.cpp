#include "TestHub.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

TestHub::TestHub(const QString &recordPath, const QString &windowTitle, QObject *parent)
    : QObject(parent)
    , m_recordPath(recordPath)
    , m_title(windowTitle)
    , m_mutex(windowTitle)
{
    m_endpoint.setHandler([this](const WindowRequest &request) { return answer(request); });
}

bool TestHub::start()
{
    if (m_title == title() && m_mutex.tryCreate() != NamedMutex::Result::Created) {
        qWarning() << "TestHub: the mutex" << title() << "is taken";
        return false;
    }
    return m_endpoint.setTitle(m_title);
}

qint64 TestHub::answer(const WindowRequest &request)
{
    record(request);
    const auto reply = m_replies.constFind(request.message);
    return reply == m_replies.constEnd() ? 0 : (*reply)(request);
}

void TestHub::record(const WindowRequest &request)
{
    const QJsonObject line{
        {QStringLiteral("message"), double(request.message)},
        {QStringLiteral("wParam"), double(request.wParam)},
        {QStringLiteral("lParam"), double(request.lParam)},
        {QStringLiteral("copyDataType"), double(request.copyDataType)},
        {QStringLiteral("copyData"), QString::fromLatin1(request.copyData.toBase64())},
        {QStringLiteral("senderPid"), double(request.senderPid)},
    };
    QFile file(m_recordPath);
    if (!file.open(QIODevice::Append)) {
        qWarning() << "TestHub: cannot write" << m_recordPath;
        return;
    }
    file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}

QList<WindowRequest> TestHub::readRecord(const QString &recordPath)
{
    QList<WindowRequest> requests;
    QFile file(recordPath);
    if (!file.open(QIODevice::ReadOnly))
        return requests;
    for (const QByteArray &text : file.readAll().split('\n')) {
        const QJsonObject line = QJsonDocument::fromJson(text).object();
        if (line.isEmpty())
            continue;
        WindowRequest request;
        request.message = quint32(line.value(QStringLiteral("message")).toDouble());
        request.wParam = quint64(line.value(QStringLiteral("wParam")).toDouble());
        request.lParam = qint64(line.value(QStringLiteral("lParam")).toDouble());
        request.copyDataType = quint64(line.value(QStringLiteral("copyDataType")).toDouble());
        request.copyData = QByteArray::fromBase64(line.value(QStringLiteral("copyData")).toString().toLatin1());
        request.senderPid = qint64(line.value(QStringLiteral("senderPid")).toDouble());
        requests << request;
    }
    return requests;
}

QByteArray TestHub::readSyncRecord(const QString &syncPath)
{
    QFile file(syncPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<quint32> TestHub::readSyncWord(const QString &syncPath, int offset)
{
    const QByteArray bytes = readSyncRecord(syncPath);
    if (offset < 0 || offset + 4 > bytes.size())
        return std::nullopt;
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

bool TestHub::writeAnimationChoice(const QString &syncPath, qint32 choice)
{
    QFile file(syncPath);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(776))
        return false;
    const qint32 word = qToLittleEndian(choice);
    return file.write(reinterpret_cast<const char *>(&word), 4) == 4;
}
