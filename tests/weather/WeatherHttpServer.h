// Stands in for the location and weather services: an HTTP/1.1 server on 127.0.0.1 that
// answers each GET by the path it asks for and records every request target (path and
// query, as sent). A silent route never answers, like a hung service.
#pragma once

#include <QMap>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class WeatherHttpServer : public QObject
{
public:
    static constexpr const char *kLocationPath = "/json/";
    static constexpr const char *kWeatherPath = "/data/2.5/weather";

    WeatherHttpServer()
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
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    // Points both services of the Services.ini at configDir at this server.
    void configure(const QString &configDir, const QString &key = QStringLiteral("testkey")) const
    {
        QSettings services(configDir + QStringLiteral("/Kv/VELTRIMARGB/Services.ini"), QSettings::IniFormat);
        services.setValue(QStringLiteral("Location/Url"), url());
        services.setValue(QStringLiteral("Weather/Url"), url());
        services.setValue(QStringLiteral("Weather/Key"), key);
    }

    void answer(const QByteArray &path, int status, const QByteArray &body)
    {
        Route &route = m_routes[path];
        route.status = status;
        route.body = body;
        route.silent = false;
    }
    void setSilent(const QByteArray &path) { m_routes[path].silent = true; }
    // Answers on this path come that much later.
    void setDelay(const QByteArray &path, int milliseconds) { m_routes[path].delayMs = milliseconds; }
    // How many answers were sent in full.
    int answered() const { return m_answered; }

    QList<QByteArray> targets() const { return m_targets; }
    int count(const QByteArray &path) const
    {
        int n = 0;
        for (const QByteArray &target : m_targets)
            n += target.startsWith(path) ? 1 : 0;
        return n;
    }
    void clear() { m_targets.clear(); }

    static QByteArray location(const QByteArray &city, const QByteArray &country)
    {
        return "{\"ip\":\"127.0.0.1\",\"city\":\"" + city + "\",\"country\":\"" + country
            + "\",\"latitude\":25.05,\"longitude\":121.53}";
    }
    static QByteArray weather(const QByteArray &main, qint64 sunrise, qint64 sunset)
    {
        return "{\"weather\":[{\"id\":800,\"main\":\"" + main + "\",\"description\":\"x\"}],\"sys\":{\"country\":"
               "\"TW\",\"sunrise\":" + QByteArray::number(sunrise) + ",\"sunset\":" + QByteArray::number(sunset)
            + "},\"name\":\"Taipei\"}";
    }

private:
    struct Route
    {
        int status = 404;
        QByteArray body;
        bool silent = false;
        int delayMs = 0;
    };

    void readFrom(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QByteArray target = buffer.left(buffer.indexOf("\r\n")).split(' ').value(1);
        buffer.clear();
        m_targets.append(target);
        const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        const Route route = m_routes.value(path);
        if (route.silent)
            return;
        QTimer::singleShot(route.delayMs, socket, [this, socket, route] {
            socket->write("HTTP/1.1 " + QByteArray::number(route.status) + " X\r\nContent-Type: application/json\r\n"
                          "Connection: close\r\nContent-Length: " + QByteArray::number(route.body.size())
                          + "\r\n\r\n" + route.body);
            socket->disconnectFromHost();
            ++m_answered;
        });
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QMap<QByteArray, Route> m_routes;
    QList<QByteArray> m_targets;
    int m_answered = 0;
};
