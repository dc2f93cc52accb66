#include "TestHub.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

TestHub::TestHub(const QString &recordPath, QObject *parent)
    : QObject(parent)
    , m_recordPath(recordPath)
    , m_mutex(title())
{
    m_endpoint.setHandler([this](const WindowRequest &request) { return answer(request); });
}

bool TestHub::start()
{
    if (m_mutex.tryCreate() != NamedMutex::Result::Created) {
        qWarning() << "TestHub: the mutex" << title() << "is taken";
        return false;
    }
    return m_endpoint.setTitle(title());
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
