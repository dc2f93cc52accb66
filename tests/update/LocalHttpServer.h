// A small HTTP/1.1 server on 127.0.0.1 for the update tests: records every request and
// answers each with the status and body set last. With silence set it takes requests
// and never answers, like a hung service.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class LocalHttpServer : public QObject
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
        // The first bytes as they arrived: a TLS hello where HTTP was expected.
        QByteArray rawStart;
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
    // The address to configure, without a scheme.
    QString hostAndPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    QString httpUrl() const { return QStringLiteral("http://") + hostAndPort(); }

    void answer(int status, const QByteArray &body)
    {
        m_status = status;
        m_body = body;
    }
    void setSilent(bool silent) { m_silent = silent; }

    QList<Request> requests() const { return m_requests; }
    // Connections that sent something other than an HTTP request line.
    int foreignConnections() const { return m_foreign.size(); }
    QByteArray foreignStart(int i) const { return m_foreign.value(i); }

private:
    void readFrom(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.startsWith("POST ") && !buffer.startsWith("GET ")) {
            if (!m_foreignSockets.contains(socket)) {
                m_foreignSockets.append(socket);
                m_foreign.append(buffer.left(16));
            }
            socket->disconnectFromHost();
            return;
        }
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        Request request;
        request.rawStart = buffer.left(16);
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length").toInt();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        m_requests.append(request);
        if (m_silent)
            return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) + " X\r\nContent-Type: application/json\r\n"
                           "Connection: close\r\nContent-Length: " + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<Request> m_requests;
    QList<QTcpSocket *> m_foreignSockets;
    QList<QByteArray> m_foreign;
    int m_status = 200;
    QByteArray m_body;
    bool m_silent = false;
};
