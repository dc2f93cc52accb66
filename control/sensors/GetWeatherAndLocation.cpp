#include "GetWeatherAndLocation.h"

#include "ServiceSettings.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {
const QString kLocationPath = QStringLiteral("/json/");
const QString kWeatherPath = QStringLiteral("/data/2.5/weather");
} // namespace

GetWeatherAndLocation::GetWeatherAndLocation(QObject *parent)
    : QThread(parent)
{
    connect(this, &GetWeatherAndLocation::finishedLocation, this, &GetWeatherAndLocation::receiveFinishedLocation);
}

GetWeatherAndLocation::~GetWeatherAndLocation() = default;

QUrl GetWeatherAndLocation::locationUrl(const QUrl &base)
{
    return ServiceSettings::endpoint(base, kLocationPath);
}

QUrl GetWeatherAndLocation::weatherUrl(const QUrl &base, const QString &city, const QString &country,
                                       const QString &key)
{
    QUrl url = ServiceSettings::endpoint(base, kWeatherPath);
    if (url.isEmpty())
        return url;
    const QByteArray query = "q=" + QUrl::toPercentEncoding(city) + ',' + QUrl::toPercentEncoding(country)
        + "&appid=" + QUrl::toPercentEncoding(key);
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

QNetworkAccessManager *GetWeatherAndLocation::manager()
{
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        connect(m_manager, &QNetworkAccessManager::finished, this, &GetWeatherAndLocation::managerFinished);
    }
    return m_manager;
}

void GetWeatherAndLocation::getLocation()
{
    if (m_locationReply) {
        qDebug() << "GetWeatherAndLocation: a location request is under way; not asked again";
        return;
    }
    const ServiceSettings services;
    const QUrl url = locationUrl(services.locationBaseUrl());
    if (url.isEmpty()) {
        qWarning().noquote() << "GetWeatherAndLocation: no location service in" << services.filePath();
        return;
    }
    m_locationReply = send(url, QStringLiteral("location"));
}

void GetWeatherAndLocation::getWeather()
{
    qDebug() << "GetWeatcather";
    if (m_place.city.isEmpty() || m_place.country.isEmpty()) {
        qDebug() << "沒有城市名稱";
        getLocation();
        return;
    }
    if (m_weatherReply) {
        qDebug() << "GetWeatherAndLocation: a weather request is under way; not asked again";
        return;
    }
    const ServiceSettings services;
    const QUrl url = weatherUrl(services.weatherBaseUrl(), m_place.city, m_place.country, services.weatherKey());
    if (url.isEmpty()) {
        qWarning().noquote() << "GetWeatherAndLocation: no weather service in" << services.filePath();
        return;
    }
    m_weatherReply = send(url, QStringLiteral("weather"));
}

QNetworkReply *GetWeatherAndLocation::send(const QUrl &url, const QString &service)
{
    m_request.setUrl(url);
    QNetworkReply *reply = manager()->get(m_request);
    // The abort ends in managerFinished as an error; the timer goes with the reply.
    QTimer::singleShot(m_answerTimeoutMs, reply, [reply, service, ms = m_answerTimeoutMs] {
        qWarning().noquote() << "GetWeatherAndLocation: the" << service << "service did not answer within" << ms
                             << "ms";
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, service](qint64 received, qint64 total) {
        if (received <= kMaxAnswerBytes && total <= kMaxAnswerBytes)
            return;
        qWarning().noquote() << "GetWeatherAndLocation: the" << service << "answer is too long; dropped";
        reply->abort();
    });
    return reply;
}

void GetWeatherAndLocation::managerFinished(QNetworkReply *reply)
{
    if (!reply)
        return;
    reply->deleteLater();
    if (reply == m_locationReply)
        m_locationReply = nullptr;
    if (reply == m_weatherReply)
        m_weatherReply = nullptr;
    if (reply->error() != QNetworkReply::NoError) {
        qWarning().noquote() << "GetWeatherAndLocation:" << reply->url().toDisplayString(QUrl::RemoveQuery)
                             << reply->errorString();
        return;
    }
    const QByteArray body = reply->readAll();
    qDebug().noquote() << "Data::" << QString::fromUtf8(body);
    analysisData(body);
}

void GetWeatherAndLocation::analysisData(const QByteArray &body)
{
    const WeatherAnalysis answer(body, m_place, m_sun);
    m_sun = answer.sun();
    // The sky takes the day first, so the new weather starts on the right light.
    if (const auto day = answer.day())
        emit sendSun(day->sunrise, day->sunset);
    if (const auto type = answer.weatherType())
        emit sendWeather(*type);
    if (const auto place = answer.place()) {
        m_place = *place;
        emit finishedLocation();
    }
}

void GetWeatherAndLocation::receiveFinishedLocation()
{
    qDebug() << "GetWeatherAndLocation::receiveFinishedLocation";
    getWeather();
}

void GetWeatherAndLocation::stop()
{
    // Aborting runs managerFinished, which releases each reply.
    if (m_locationReply)
        m_locationReply->abort();
    if (m_weatherReply)
        m_weatherReply->abort();
    delete m_manager;
    m_manager = nullptr;
}
