#include "WeatherAnalysis.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace {
const QString kSys = QStringLiteral("sys");
const QString kWeather = QStringLiteral("weather");
const QString kCity = QStringLiteral("city");
const QString kCountry = QStringLiteral("country");
} // namespace

WeatherAnalysis::WeatherAnalysis(const QByteArray &body, const Place &place, const SunTimes &sun)
    : m_sun(sun)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qDebug().noquote() << "===> please check the string " << QString::fromUtf8(body);
    const QJsonObject answer = document.object();
    qDebug() << "result:" << answer.keys();

    if (answer.contains(kSys))
        readSun(answer.value(kSys).toObject());
    if (answer.contains(kWeather)) {
        readWeather(answer.value(kWeather), place);
        return;
    }
    if (answer.contains(kCity))
        readPlace(answer);
}

int WeatherAnalysis::weatherTypeOf(const QString &word)
{
    static const QHash<QString, int> types{
        {QStringLiteral("rain"), 1},   {QStringLiteral("clear"), 2},   {QStringLiteral("thunderstorm"), 3},
        {QStringLiteral("clouds"), 4}, {QStringLiteral("drizzle"), 5}, {QStringLiteral("snow"), 6},
    };
    return types.value(word, 0);
}

void WeatherAnalysis::readSun(const QJsonObject &sys)
{
    if (sys.contains(QStringLiteral("sunrise"))) {
        if (const std::optional<int> sunrise = wholeNumber(sys.value(QStringLiteral("sunrise"))))
            m_sun.sunrise = *sunrise;
        qDebug() << "日出時間" << m_sun.sunrise;
    }
    if (sys.contains(QStringLiteral("sunset"))) {
        if (const std::optional<int> sunset = wholeNumber(sys.value(QStringLiteral("sunset"))))
            m_sun.sunset = *sunset;
        qDebug() << "日落時間" << m_sun.sunset;
    }
    // The sky divides by the day's length: a day that ends before it begins is no day.
    if (m_sun.sunrise > 0 && m_sun.sunset > m_sun.sunrise)
        m_day = m_sun;
    else
        qDebug() << "WeatherAnalysis: no usable day in the answer; sunrise" << m_sun.sunrise << "sunset"
                 << m_sun.sunset;
}

void WeatherAnalysis::readWeather(const QJsonValue &weather, const Place &known)
{
    const QJsonArray entries = weather.toArray();
    if (entries.isEmpty()) {
        qDebug() << "WeatherAnalysis: the answer names no weather; the weather type stays";
        return;
    }
    const QString main = entries.first().toObject().value(QStringLiteral("main")).toString();
    qDebug().noquote() << "The country" << known.country << ", City is " << known.city << " weather = " << main;
    const QString word = main.toLower();
    qDebug().noquote() << "aaa = " << word;
    m_weatherType = weatherTypeOf(word);
}

void WeatherAnalysis::readPlace(const QJsonObject &answer)
{
    for (const char *key : {"city", "latitude", "longitude", "country"})
        qDebug().noquote() << key + QStringLiteral(":") << answer.value(QLatin1String(key)).toVariant().toString();
    const Place place{answer.value(kCity).toString().trimmed(), answer.value(kCountry).toString().trimmed()};
    // Asking the weather for no place would only ask for the place again, for ever.
    if (place.city.isEmpty() || place.country.isEmpty()) {
        qDebug() << "WeatherAnalysis: the location answer names no city or no country; no weather is asked";
        return;
    }
    m_place = place;
}

std::optional<int> WeatherAnalysis::wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble()) {
        qDebug() << "WeatherAnalysis: refused a time that is not a number:" << value;
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::trunc(number) || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max()) {
        qDebug() << "WeatherAnalysis: refused a time out of range:" << number;
        return std::nullopt;
    }
    return int(number);
}
