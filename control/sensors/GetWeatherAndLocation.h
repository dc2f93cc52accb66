// Weather and sunrise/sunset for the sky-driven light modes: where the PC is, from a
// geo-IP location service, then the weather there. Its own thread is never started;
// the object lives on a worker thread and answers queued requests. The services come
// from "Services.ini" (ServiceSettings), read afresh for every request.
#pragma once

#include "WeatherAnalysis.h"

#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

class GetWeatherAndLocation : public QThread
{
    Q_OBJECT
public:
    // A service that has not answered by then counts as failed.
    static constexpr int kAnswerTimeoutMs = 15000;
    // Both answers are a few hundred bytes; anything near this is not one of them.
    static constexpr qint64 kMaxAnswerBytes = 256 * 1024;

    explicit GetWeatherAndLocation(QObject *parent = nullptr);
    ~GetWeatherAndLocation() override;

    // Tests wait less for a silent service.
    void setAnswerTimeout(int milliseconds) { m_answerTimeoutMs = milliseconds; }

    static QUrl locationUrl(const QUrl &base);
    // City and country are percent-encoded, so that a comma or an ampersand in a name
    // cannot change the query; the comma between them stays literal.
    static QUrl weatherUrl(const QUrl &base, const QString &city, const QString &country, const QString &key);

signals:
    void finishedLocation();
    void sendWeather(int weatherType);
    void sendSun(int sunrise, int sunset);

public slots:
    void getLocation();
    void getWeather();
    void managerFinished(QNetworkReply *reply);
    void receiveFinishedLocation();
    // Drops what is under way; on the object's own thread, before that thread ends.
    void stop();

private:
    QNetworkAccessManager *manager();
    QNetworkReply *send(const QUrl &url, const QString &service);
    void analysisData(const QByteArray &body);

    QNetworkAccessManager *m_manager = nullptr; // made on the worker thread at first use
    QNetworkRequest m_request;
    // At most one request of each kind is under way.
    QPointer<QNetworkReply> m_locationReply;
    QPointer<QNetworkReply> m_weatherReply;
    WeatherAnalysis::Place m_place;
    WeatherAnalysis::SunTimes m_sun;
    int m_answerTimeoutMs = kAnswerTimeoutMs;
};
