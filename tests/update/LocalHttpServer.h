// A small HTTP/1.1 server on 127.0.0.1 for the update tests: records every request and
// answers each with the status and body set last; when silent it never answers, like a
// hung service. A connection that does not start with a request line is recorded and
// closed.
#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttpServer : public QObject
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    LocalHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return m_server.isListening(); }
    QString hostAndPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    QString httpUrl() const { return QStringLiteral("http://") + hostAndPort(); }

    void answer(int status, const QByteArray &body)
    {
        m_status = status;
        m_body = body;
    }
    void setSilent(bool silent) { m_silent = silent; }
    void clearRequests()
    {
        m_requests.clear();
        m_foreignStart.clear();
    }
    QList<Request> requests() const { return m_requests; }
    // The first bytes of the last connection that was not HTTP.
    QByteArray foreignStart() const { return m_foreignStart; }

private:
    void readFrom(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.startsWith("POST ")) {
            m_foreignStart = buffer.left(16);
            socket->disconnectFromHost();
            return;
        }
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (const QByteArray &line : lines.mid(1)) {
            const int colon = line.indexOf(':');
            if (colon > 0)
                request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length").toInt();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.clear();
        m_requests.append(request);
        if (m_silent)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nContent-Type: application/json\r\n"
                      "Connection: close\r\nContent-Length: " + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<Request> m_requests;
    QByteArray m_foreignStart;
    int m_status = 200;
    QByteArray m_body;
    bool m_silent = false;
};
